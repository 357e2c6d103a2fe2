#include "repositories/gfilejson.h"

#include "repositories/gcontact.h"
#include "repositories/gdistrict.h"
#include "repositories/gfilefilter.h"
#include "repositories/gjson.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/fileactivity.h"
#include "store/fileinfo.h"
#include "store/filematchtag.h"
#include "store/filemeter.h"
#include "store/filetenant.h"
#include "store/filetoggle.h"
#include "store/hashtag.h"
#include "store/togglefield.h"
#include "store/user.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <set>

namespace UGENERAL {

namespace {

// A file made without toggles points its toggle relation at this id, which no row has.
const obx_id kNoRow = ~obx_id(0);
const int kMaxActivityImages = 3;

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// Trade types 9 to 16 are the archived forms of 1 to 8.
int foldTrade(int tradeType)
{
    return tradeType > 8 ? tradeType - 8 : tradeType;
}

// The child row the relation points at, or else the first row naming the file's server id.
template <class T, class P>
std::unique_ptr<T> childRow(obx::Store &store, obx_id relation, const std::string &fileId, const P &fileIdProperty)
{
    if (relation != 0 && relation != kNoRow)
        if (std::unique_ptr<T> row = obx::Box<T>(store).get(relation))
            return row;
    // An empty server id is shared by every draft, so it names no child row.
    if (fileId.empty())
        return nullptr;
    return obx::Box<T>(store).query(fileIdProperty.equals(fileId)).build().findFirst();
}

struct ToggleText
{
    const char *key;
    std::string FileToggle::*field;
    bool summary;
};

const ToggleText kToggleTexts[] = {
    {"wc", &FileToggle::wc, false},
    {"roof", &FileToggle::roof, false},
    {"wall", &FileToggle::wall, false},
    {"trait", &FileToggle::trait, false},
    {"joints", &FileToggle::joints, true},
    {"points", &FileToggle::points, false},
    {"kitchen", &FileToggle::kitchen, false},
    {"parking", &FileToggle::parking, false},
    {"terrain", &FileToggle::terrain, false},
    {"coverage", &FileToggle::coverage, false},
    {"frontage", &FileToggle::frontage, false},
    {"location", &FileToggle::location, false},
    {"progress", &FileToggle::progress, false},
    {"skeleton", &FileToggle::skeleton, false},
    {"condition", &FileToggle::condition, true},
    {"direction", &FileToggle::direction, false},
    {"heat_cool", &FileToggle::heat_cool, false},
    {"facilities", &FileToggle::facilities, false},
};

} // namespace

GFileJson::GFileJson(const SharedSnapshot &snapshot)
    : snapshot_(snapshot), store_(*snapshot_.store), users_(snapshot_)
{
}

QJsonObject GFileJson::fileToJson(const File &file, bool full, const QSet<QString> *keys)
{
    const auto want = [keys](const QString &key) { return !keys || keys->contains(key); };
    const User &viewer = snapshot_.agent.id != 0 ? snapshot_.agent : snapshot_.user;
    QJsonObject json;
    const std::pair<QString, QJsonValue> scalars[] = {
        {QStringLiteral("id"), int(file.id)},
        {QStringLiteral("_id"), q(file.server_id)},
        {QStringLiteral("user_id"), q(file.user_id)},
        {QStringLiteral("agent_id"), q(file.agent_id)},
        {QStringLiteral("trade_ref"), file.trade_type},
        {QStringLiteral("property_ref"), file.property_type},
        {QStringLiteral("seen"), file.seen},
        {QStringLiteral("select"), false},
        {QStringLiteral("is_archive"), file.trade_type > 8},
    };
    // Keys not asked for are left out.
    for (const auto &scalar : scalars)
        if (want(scalar.first))
            json.insert(scalar.first, scalar.second);

    if (full) {
        if (want(QStringLiteral("trade_name")))
            if (const std::string *title = catalogueTitle("trade", foldTrade(file.trade_type)))
                json.insert(QStringLiteral("trade_name"),
                            (file.trade_type > 8 ? QStringLiteral("بایگانی ") : QString()) + q(*title));
        if (want(QStringLiteral("property_name")))
            if (const std::string *title = catalogueTitle("property", file.property_type))
                json.insert(QStringLiteral("property_name"), q(*title));
    }
    if (want(QStringLiteral("agent")))
        addAgent(file, json);

    if (want(QStringLiteral("code"))) {
        QJsonObject code{{QStringLiteral("auto"), int(file.auto_code)}};
        if (full)
            code.insert(QStringLiteral("manual"), q(file.manual_code));
        json.insert(QStringLiteral("code"), code);
    }

    if (want(QStringLiteral("status"))) {
        const bool pinned = std::find(file.pins.begin(), file.pins.end(), viewer.server_id) != file.pins.end();
        json.insert(QStringLiteral("status"), QJsonObject{
                                                  {QStringLiteral("pin"), pinned},
                                                  {QStringLiteral("delete"), file.deleted},
                                                  {QStringLiteral("is_private"), file.is_private},
                                                  {QStringLiteral("ad_colleague"), file.ad_colleague},
                                                  {QStringLiteral("ad_public"), file.ad_public},
                                              });
    }

    if (want(QStringLiteral("customer")) || want(QStringLiteral("customer_ref"))) {
        const QJsonObject &customerJson = contactOf(file.customer_id);
        if (want(QStringLiteral("customer")))
            json.insert(QStringLiteral("customer"), file.draft && file.customer_id.empty()
                                                        ? draftCustomer(file) : customerJson);
        if (want(QStringLiteral("customer_ref")))
            json.insert(QStringLiteral("customer_ref"), customerJson.value(QStringLiteral("_id")).toString());
    }
    if (full && (want(QStringLiteral("guard")) || want(QStringLiteral("_guard"))))
        addGuard(file, json);

    if (want(QStringLiteral("info")))
        json.insert(QStringLiteral("info"), info(file, full));
    if (want(QStringLiteral("meter")))
        json.insert(QStringLiteral("meter"), meter(file, full));
    if (file.trade_type <= 8 && want(QStringLiteral("match")))
        json.insert(QStringLiteral("match"), matchCount(file));
    if (want(QStringLiteral("price")))
        json.insert(QStringLiteral("price"), QJsonObject{
                                                 {QStringLiteral("price_1"), double(file.price_1)},
                                                 {QStringLiteral("price_2"), double(file.price_2)},
                                                 {QStringLiteral("loan"), double(file.loan)},
                                             });
    if (full && want(QStringLiteral("tenant")))
        addTenant(file, json);

    if (want(QStringLiteral("media_links"))) {
        QJsonArray links;
        for (const std::string &path : file.documents)
            links.append(QJsonObject{{QStringLiteral("path"), q(path)}});
        json.insert(QStringLiteral("media_links"), links);
    }
    if (want(QStringLiteral("map")))
        json.insert(QStringLiteral("map"), QJsonObject{{QStringLiteral("lat"), file.lat}, {QStringLiteral("lng"), file.lng}});
    if (want(QStringLiteral("dates")))
        json.insert(QStringLiteral("dates"), QJsonObject{{QStringLiteral("register"), double(file.date)}});

    if (want(QStringLiteral("district")) || want(QStringLiteral("districts")))
        addDistricts(file, json);
    if (full && (want(QStringLiteral("hashtag")) || want(QStringLiteral("hashtags"))))
        addHashtags(file, json);
    if (want(QStringLiteral("file_tag")))
        json.insert(QStringLiteral("file_tag"), matchTags(file));
    addToggles(file, full, json, keys);
    if (want(QStringLiteral("activity_count")) || want(QStringLiteral("activity_images")))
        addActivities(file, json);
    if (keys) {
        // The parts built in pairs keep only their keys asked for.
        for (const char *paired : {"customer", "customer_ref", "guard", "_guard", "district", "districts", "hashtag",
                                   "hashtags", "activity_count", "activity_images"})
            if (!want(QLatin1String(paired)))
                json.remove(QLatin1String(paired));
    }
    return json;
}

const std::string *GFileJson::catalogueTitle(const std::string &parentKey, int key)
{
    auto found = titles_.find({parentKey, key});
    if (found == titles_.end()) {
        std::unique_ptr<ToggleField> row = obx::Box<ToggleField>(store_)
                                               .query(ToggleField_::parent_key.equals(parentKey))
                                               .with(ToggleField_::key.equals(key))
                                               .build()
                                               .findFirst();
        found = titles_.emplace(std::make_pair(parentKey, key),
                                std::make_pair(bool(row), row ? row->title : std::string()))
                    .first;
    }
    return found->second.first ? &found->second.second : nullptr;
}

void GFileJson::addAgent(const File &file, QJsonObject &json)
{
    if (file.agent_id.empty())
        return;
    auto found = agents_.find(file.agent_id);
    if (found == agents_.end()) {
        QJsonObject agentJson;
        std::unique_ptr<User> row = obx::Box<User>(store_)
                                        .query(User_::server_id.equals(file.agent_id))
                                        .with(User_::parent_id.equals(int64_t(snapshot_.user.id)))
                                        .build()
                                        .findFirst();
        if (row)
            agentJson = users_.getUserAsJson(*row, true);
        found = agents_.emplace(file.agent_id, agentJson).first;
    }
    if (!found->second.isEmpty())
        json.insert(QStringLiteral("agent"), found->second);
}

// The customer a draft keeps as typed, before any contact exists for it.
QJsonObject GFileJson::draftCustomer(const File &file)
{
    QJsonObject json;
    if (!file.customer_name.empty())
        json.insert(QStringLiteral("name_family"), q(file.customer_name));
    if (!file.customer_mobile.empty())
        json.insert(QStringLiteral("mobile_1"), q(file.customer_mobile));
    return json;
}

const QJsonObject &GFileJson::contactOf(const std::string &serverId)
{
    static const QJsonObject none;
    if (serverId.empty())
        return none;
    // Many files of one read name the same customers.
    auto found = contacts_.find(serverId);
    if (found == contacts_.end()) {
        std::unique_ptr<Contact> row =
            obx::Box<Contact>(store_).query(Contact_::server_id.equals(serverId)).build().findFirst();
        found = contacts_.emplace(serverId, row ? GContact::toJson(*row) : QJsonObject()).first;
    }
    return found->second;
}

QString GFileJson::draftGuardText(const QJsonObject &typed)
{
    QJsonObject guard;
    for (const QString &key : {QStringLiteral("name_family"), QStringLiteral("mobile_1")})
        if (!typed.value(key).toString().isEmpty())
            guard.insert(key, typed.value(key).toString());
    return guard.isEmpty() ? QString() : QString::fromUtf8(QJsonDocument(guard).toJson(QJsonDocument::Compact));
}

void GFileJson::addGuard(const File &file, QJsonObject &json)
{
    // A server id is never an object's text: this is a draft's guard as typed, with no contact yet.
    if (file.draft && !file.guard_id.empty() && file.guard_id.front() == '{') {
        json.insert(QStringLiteral("_guard"), QJsonDocument::fromJson(QByteArray::fromStdString(file.guard_id)).object());
        return;
    }
    const QJsonObject &guard = contactOf(file.guard_id);
    if (guard.isEmpty())
        return;
    json.insert(QStringLiteral("guard"), q(file.guard_id));
    json.insert(QStringLiteral("_guard"), guard);
}

QJsonObject GFileJson::info(const File &file, bool full)
{
    QJsonObject json{
        {QStringLiteral("address"), q(file.address)},
        {QStringLiteral("room"), file.room},
    };
    if (full)
        json.insert(QStringLiteral("desc"), q(file.description));
    std::unique_ptr<FileInfo> row = childRow<FileInfo>(store_, file.info_id, file.server_id, FileInfo_::file_id);
    if (!row)
        return json;
    json.insert(QStringLiteral("sahm"), double(row->sahm));
    json.insert(QStringLiteral("dahane"), double(row->dahane));
    json.insert(QStringLiteral("balcony"), double(row->balcony));
    json.insert(QStringLiteral("delivery"), double(row->delivery));
    json.insert(QStringLiteral("unit_all"), row->unit_all);
    json.insert(QStringLiteral("unit_one"), row->unit_one);
    json.insert(QStringLiteral("floor_all"), row->floor_all);
    json.insert(QStringLiteral("floor_one"), row->floor_one);
    json.insert(QStringLiteral("floor_space"), double(row->floor_space));
    json.insert(QStringLiteral("warehouse"), double(row->warehouse));
    json.insert(QStringLiteral("build_year"), row->build_year);
    json.insert(QStringLiteral("num_person"), row->num_person);
    json.insert(QStringLiteral("num_parking"), row->num_parking);
    json.insert(QStringLiteral("grant_amount"), double(row->grant_amount));
    json.insert(QStringLiteral("number_of_owners"), row->number_of_owners);
    json.insert(QStringLiteral("amount_of_interest"), row->amount_of_interest);
    json.insert(QStringLiteral("manufacturer_share"), double(row->manufacturer_share));
    return json;
}

QJsonObject GFileJson::meter(const File &file, bool full)
{
    QJsonObject json{{QStringLiteral("area"), double(file.area)}, {QStringLiteral("home"), double(file.home)}};
    if (!full)
        return json;
    if (std::unique_ptr<FileMeter> row = childRow<FileMeter>(store_, file.meter_id, file.server_id, FileMeter_::file_id)) {
        json.insert(QStringLiteral("building"), double(row->building));
        json.insert(QStringLiteral("crossing"), double(row->crossing));
        json.insert(QStringLiteral("corrective"), double(row->corrective));
        json.insert(QStringLiteral("after_corrective"), double(row->after_corrective));
    }
    return json;
}

void GFileJson::addTenant(const File &file, QJsonObject &json)
{
    if (std::unique_ptr<FileTenant> row = childRow<FileTenant>(store_, file.tenant_id, file.server_id, FileTenant_::file_id))
        json.insert(QStringLiteral("tenant"),
                    QJsonObject{{QStringLiteral("name"), q(row->name)}, {QStringLiteral("phone"), q(row->phone)}});
}

void GFileJson::addToggles(const File &file, bool full, QJsonObject &json, const QSet<QString> *keys)
{
    bool wanted = !keys;
    for (const ToggleText &toggle : kToggleTexts)
        wanted = wanted || ((full || toggle.summary) && keys->contains(QLatin1String(toggle.key)));
    if (!wanted)
        return;
    std::unique_ptr<FileToggle> row = childRow<FileToggle>(store_, file.toggle_id, file.server_id, FileToggle_::file_id);
    if (!row)
        return;
    for (const ToggleText &toggle : kToggleTexts)
        if ((full || toggle.summary) && (!keys || keys->contains(QLatin1String(toggle.key))))
            json.insert(QLatin1String(toggle.key), q((*row).*toggle.field));
}

void GFileJson::addDistricts(const File &file, QJsonObject &json)
{
    QJsonArray objects, ids;
    if (file.draft) {
        // A draft's districts as typed: each title, and the id where it had one.
        const QStringList titles = q(file.district_array).split(q(GFileFilter::districtSeparator()));
        for (std::size_t i = 0; i < file.districts.size() && int(i) < titles.size(); ++i) {
            QJsonObject district{{QStringLiteral("title"), titles.at(int(i))}};
            if (!file.districts[i].empty()) {
                district.insert(QStringLiteral("_id"), q(file.districts[i]));
                ids.append(q(file.districts[i]));
            }
            objects.append(district);
        }
        json.insert(QStringLiteral("district"), objects);
        json.insert(QStringLiteral("districts"), ids);
        return;
    }
    for (const std::string &id : file.districts) {
        auto found = districts_.find(id);
        if (found == districts_.end()) {
            std::unique_ptr<District> row =
                obx::Box<District>(store_).query(District_::server_id.equals(id)).build().findFirst();
            found = districts_.emplace(id, row ? GDistrict::toJson(*row) : QJsonObject()).first;
        }
        if (found->second.isEmpty())
            continue;
        objects.append(found->second);
        ids.append(q(id));
    }
    json.insert(QStringLiteral("district"), objects);
    json.insert(QStringLiteral("districts"), ids);
}

void GFileJson::addHashtags(const File &file, QJsonObject &json)
{
    QJsonArray objects, ids;
    obx::Box<HashTag> hashtags(store_);
    for (const std::string &id : file.hashtags) {
        std::unique_ptr<HashTag> row = hashtags.query(HashTag_::server_id.equals(id)).build().findFirst();
        if (!row)
            continue;
        objects.append(GDistrict::toJson(*row));
        ids.append(q(id));
    }
    json.insert(QStringLiteral("hashtag"), objects);
    json.insert(QStringLiteral("hashtags"), ids);
}

QJsonArray GFileJson::matchTags(const File &file)
{
    QJsonArray tags;
    if (file.server_id.empty())
        return tags;
    const bool offer = foldTrade(file.trade_type) <= 4;
    obx::Box<FileMatchTag> box(store_);
    const auto rows = offer ? box.query(FileMatchTag_::file_id.equals(file.server_id)).build().find()
                            : box.query(FileMatchTag_::request_id.equals(file.server_id)).build().find();
    for (const auto &row : rows)
        tags.append(QJsonObject{{QStringLiteral("file_id"), q(offer ? row->request_id : row->file_id)},
                                {QStringLiteral("status"), row->tag}});
    return tags;
}

int GFileJson::matchCount(const File &file)
{
    const int trade = file.trade_type;
    const int counterpart = (trade == 2 || trade == 6) ? 8 - trade : (trade <= 4 ? trade + 4 : trade - 4);
    const bool rent = trade == 2 || trade == 6;
    const double reference = double(rent ? file.full_rent_price : file.price_2);
    const qint64 low = GJson::toInt64(reference * 0.9);
    const qint64 high = GJson::toInt64(reference * 1.1);

    obx::QueryBuilder<File> builder = obx::Box<File>(store_).query();
    builder.with(File_::user_id.equals(snapshot_.user.server_id));
    builder.with(rent ? File_::full_rent_price.between(low, high) : File_::price_2.between(low, high));
    builder.with(File_::deleted.equals(false));
    builder.with(File_::draft.equals(false));
    builder.with(File_::trade_type.equals(counterpart));
    builder.with(File_::property_type.equals(file.property_type));
    return int(builder.build().count());
}

void GFileJson::addActivities(const File &file, QJsonObject &json)
{
    QJsonArray images;
    int count = 0;
    // Activities with an empty file id belong to no file, least of all to every draft.
    if (!file.server_id.empty()) {
        const auto activities =
            obx::Box<FileActivity>(store_).query(FileActivity_::file_id.equals(file.server_id)).build().find();
        count = int(activities.size());
        std::set<obx_id> met;
        obx::Box<User> users(store_);
        for (const auto &activity : activities) {
            if (int(met.size()) == kMaxActivityImages)
                break;
            auto author = authors_.find(activity->user_id);
            if (author == authors_.end()) {
                std::unique_ptr<User> row = users.query(User_::server_id.equals(activity->user_id)).build().findFirst();
                author = authors_.emplace(activity->user_id,
                                          row ? std::make_pair(row->id, row->image) : std::make_pair(obx_id(0), std::string()))
                             .first;
            }
            if (author->second.first == 0 || !met.insert(author->second.first).second)
                continue;
            images.append(QJsonObject{{QStringLiteral("path"), q(author->second.second)}});
        }
    }
    json.insert(QStringLiteral("activity_count"), count);
    json.insert(QStringLiteral("activity_images"), images);
}

} // namespace UGENERAL
