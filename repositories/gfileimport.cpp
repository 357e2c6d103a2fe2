#include "repositories/gfileimport.h"

#include "repositories/gdistrict.h"
#include "repositories/gfile.h"
#include "repositories/gfilefilter.h"
#include "repositories/gfilejson.h"
#include "repositories/gjson.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/fileinfo.h"
#include "store/filematchtag.h"
#include "store/filemeter.h"
#include "store/filetenant.h"
#include "store/filetoggle.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

namespace UGENERAL {

namespace {

// A file made without toggles points its toggle relation at this id, which no row has.
const obx_id kNoToggles = ~obx_id(0);
// Monthly rent per 1,000,000 of deposit.
const double kRentPerMillion = 30000.0;

// The server's value readers. "integer" takes only a JSON number that is a whole number
// within 32 bits; the conversions from reals are clamped, never undefined.
std::string text(const QJsonObject &o, const QString &key)
{
    return o.value(key).toString().toStdString();
}

int32_t integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double d = value.toDouble();
    if (d != std::trunc(d) || d < double(std::numeric_limits<int32_t>::min())
        || d > double(std::numeric_limits<int32_t>::max()))
        return 0;
    return int32_t(d);
}

int32_t integer(const QJsonObject &o, const QString &key)
{
    return integer(o.value(key));
}

double real(const QJsonObject &o, const QString &key)
{
    const QJsonValue value = o.value(key);
    return value.isDouble() ? value.toDouble() : 0;
}

bool flag(const QJsonObject &o, const QString &key, bool fallback = false)
{
    const QJsonValue value = o.value(key);
    return value.isBool() ? value.toBool() : fallback;
}

// A mark that counts when it is present, unless it is sent as false (or null or 0).
bool presentMark(const QJsonObject &o, const QString &key)
{
    if (!o.contains(key))
        return false;
    const QJsonValue value = o.value(key);
    if (value.isBool())
        return value.toBool();
    if (value.isNull())
        return false;
    if (value.isDouble())
        return value.toDouble() != 0;
    return true;
}

uint64_t wholeFromReal(const QJsonObject &o, const QString &key)
{
    return GJson::toUInt64(real(o, key));
}

float floatFromReal(const QJsonObject &o, const QString &key)
{
    return GJson::toFloat(real(o, key));
}

QJsonObject objectAt(const QJsonObject &o, const QString &key)
{
    return o.value(key).toObject();
}

const char *const kToggleKeys[] = {
    "condition", "coverage", "direction", "facilities", "frontage", "heat_cool", "joints", "kitchen", "location",
    "parking", "points", "progress", "roof", "skeleton", "terrain", "trait", "wall", "wc",
};

std::string FileToggle::*const kToggleFields[] = {
    &FileToggle::condition, &FileToggle::coverage, &FileToggle::direction, &FileToggle::facilities,
    &FileToggle::frontage, &FileToggle::heat_cool, &FileToggle::joints, &FileToggle::kitchen,
    &FileToggle::location, &FileToggle::parking, &FileToggle::points, &FileToggle::progress,
    &FileToggle::roof, &FileToggle::skeleton, &FileToggle::terrain, &FileToggle::trait,
    &FileToggle::wall, &FileToggle::wc,
};

} // namespace

GFileImport::GFileImport(const SharedSnapshot &snapshot) : snapshot_(snapshot), store_(*snapshot_.store)
{
}

std::string GFileImport::joinIntArray(const QJsonObject &object, const QString &key)
{
    if (!object.contains(key))
        return std::string();
    std::string joined;
    for (const QJsonValue &value : object.value(key).toArray()) {
        joined += std::to_string(integer(value));
        joined += ',';
    }
    return joined.empty() ? std::string(",") : joined;
}

obx_id GFileImport::fileFromJson(const QJsonObject &json)
{
    qCDebug(lcFiles) << json;
    File file;
    file.deleted = false;
    file.draft = false;
    file.synced = true;
    file.seen = flag(json, QStringLiteral("seen"), true);
    file.server_id = text(json, QStringLiteral("_id"));

    // An empty "_id" is an offline draft: every one is a file of its own, never the one before.
    obx::Box<File> files(store_);
    if (!file.server_id.empty()) {
        const std::vector<obx_id> found = files.query(File_::server_id.equals(file.server_id)).build().findIds();
        if (!found.empty()) {
            qCDebug(lcFiles) << "file found" << found.front();
            file.id = found.front();
            // Activities stay: the update saves a file's new activities just before the file.
            GFile::removeChildRows(store_, file.server_id, false);
        }
    }

    file.user_id = text(json, QStringLiteral("user_ref"));
    const bool draft = presentMark(json, QStringLiteral("draft"));
    const std::string agent = text(json, QStringLiteral("agent_ref"));
    if (!agent.empty())
        file.agent_id = agent;
    file.customer_id = text(json, QStringLiteral("customer_ref"));
    const QJsonValue customerValue = json.value(QStringLiteral("customer_ref"));
    if (customerValue.isObject() && draft) {
        // A draft's customer typed in but never sent: no contact holds it yet, the draft does.
        const QJsonObject typed = customerValue.toObject();
        file.customer_name = text(typed, QStringLiteral("name_family"));
        file.customer_mobile = text(typed, QStringLiteral("mobile_1"));
    } else if (!file.customer_id.empty()) {
        std::unique_ptr<Contact> contact =
            obx::Box<Contact>(store_).query(Contact_::server_id.equals(file.customer_id)).build().findFirst();
        if (contact) {
            file.customer_name = contact->name_family;
            file.customer_mobile = contact->mobile_1;
        }
    }
    const std::string guard = text(json, QStringLiteral("guard"));
    if (!guard.empty())
        file.guard_id = guard;
    else if (draft && json.value(QStringLiteral("guard")).isObject())
        file.guard_id = GFileJson::draftGuardText(json.value(QStringLiteral("guard")).toObject()).toStdString();

    readCommon(json, file);

    if (json.contains(QStringLiteral("status")) && flag(objectAt(json, QStringLiteral("status")), QStringLiteral("pin")))
        file.pins.push_back(file.user_id);
    if (json.contains(QStringLiteral("map"))) {
        const QJsonObject map = objectAt(json, QStringLiteral("map"));
        file.lat = real(map, QStringLiteral("lat"));
        file.lng = real(map, QStringLiteral("lng"));
    }
    file.draft = draft;

    const QJsonValue tenantValue = json.value(QStringLiteral("tenant"));
    if (tenantValue.isObject()) {
        const QJsonObject tenantJson = tenantValue.toObject();
        FileTenant tenant;
        tenant.file_id = file.server_id;
        tenant.name = text(tenantJson, QStringLiteral("name"));
        tenant.phone = text(tenantJson, QStringLiteral("phone"));
        file.tenant_id = obx::Box<FileTenant>(store_).put(tenant);
    }
    for (const QJsonValue &pin : json.value(QStringLiteral("pins")).toArray())
        file.pins.push_back(pin.toString().toStdString());

    std::string districtArray;
    for (const QJsonValue &value : json.value(QStringLiteral("district")).toArray()) {
        // A draft's district as the form would send it: its title as typed, with an id only where
        // the title is an existing district's. Server files name their districts by id.
        const bool typed = draft && value.isObject();
        const std::string id = typed ? text(value.toObject(), QStringLiteral("id")) : value.toString().toStdString();
        file.districts.push_back(id);
        districtArray += typed ? text(value.toObject(), QStringLiteral("title")) : districtTitle(id);
        districtArray += GFileFilter::districtSeparator();
    }
    file.district_array = districtArray;
    for (const QJsonValue &value : json.value(QStringLiteral("hashtag")).toArray())
        file.hashtags.push_back(value.toString().toStdString());

    readMatchTags(json, file);
    return files.put(file);
}

obx_id GFileImport::colleagueFileFromJson(const QJsonObject &json, int propertyType, const std::string &userId)
{
    qCDebug(lcFiles) << "#####################" << json;
    File file;
    file.deleted = false;
    file.draft = false;
    file.synced = true;
    file.seen = presentMark(json, QStringLiteral("seen"));
    file.server_id = text(json, QStringLiteral("_id"));
    file.user_id = text(objectAt(json, QStringLiteral("user_ref")), QStringLiteral("_id"));

    readCommon(json, file);
    if (!json.contains(QStringLiteral("type")))
        file.property_type = propertyType;

    obx::Box<District> districts(store_);
    for (const QJsonValue &value : json.value(QStringLiteral("district")).toArray()) {
        const QJsonObject item = value.toObject();
        District district;
        district.server_id = text(item, QStringLiteral("_id"));
        if (district.server_id.empty())
            continue;
        std::unique_ptr<District> stored =
            districts.query(District_::server_id.equals(district.server_id)).build().findFirst();
        if (stored)
            district = *stored;
        else
            district.user_id = userId;
        district.title = text(item, QStringLiteral("title"));
        districts.put(district);
        file.districts.push_back(district.server_id);
    }

    readMatchTags(json, file);
    return obx::Box<File>(store_).put(file);
}

void GFileImport::readCommon(const QJsonObject &json, File &file)
{
    file.trade_type = integer(json, QStringLiteral("trade_ref"));
    file.property_type = integer(json, QStringLiteral("type"));
    readInfo(json, file);
    readMeter(json, file);

    const QJsonObject code = objectAt(json, QStringLiteral("code"));
    file.auto_code = uint64_t(int64_t(integer(code, QStringLiteral("auto"))));
    file.manual_code = text(code, QStringLiteral("manual"));

    const QJsonObject dates = objectAt(json, QStringLiteral("dates"));
    file.date = wholeFromReal(dates, QStringLiteral("register"));
    file.edit_date = wholeFromReal(dates, QStringLiteral("create"));

    const QJsonObject status = objectAt(json, QStringLiteral("status"));
    file.deleted = flag(status, QStringLiteral("delete"));
    file.ad_colleague = flag(status, QStringLiteral("ad_colleague"));
    file.ad_public = flag(status, QStringLiteral("ad_public"));
    file.is_private = flag(status, QStringLiteral("is_private"));

    if (json.contains(QStringLiteral("price"))) {
        const QJsonObject price = objectAt(json, QStringLiteral("price"));
        file.loan = wholeFromReal(price, QStringLiteral("loan"));
        file.price_1 = wholeFromReal(price, QStringLiteral("price_1"));
        file.price_2 = wholeFromReal(price, QStringLiteral("price_2"));
        if (file.trade_type != 0)
            file.full_rent_price =
                GJson::toUInt64(std::round(double(file.price_1) / 1000000.0 * kRentPerMillion) + double(file.price_2));
    }

    readToggles(json, file);
    file.documents.clear();
    for (const QJsonValue &value : json.value(QStringLiteral("media_links")).toArray())
        file.documents.push_back(value.toString().toStdString());
}

void GFileImport::readInfo(const QJsonObject &json, File &file)
{
    const QJsonObject info = objectAt(json, QStringLiteral("info"));
    file.address = text(info, QStringLiteral("address"));
    file.description = text(info, QStringLiteral("desc"));
    file.room = integer(info, QStringLiteral("room"));

    // Made also without "info", so that every file has its row for the linked filters.
    FileInfo row;
    row.file_id = file.server_id;
    row.amount_of_interest = GJson::toInt32(real(info, QStringLiteral("amount_of_interest")));
    row.balcony = floatFromReal(info, QStringLiteral("balcony"));
    row.build_year = integer(info, QStringLiteral("build_year"));
    row.dahane = floatFromReal(info, QStringLiteral("dahane"));
    row.delivery = float(integer(info, QStringLiteral("delivery")));
    row.floor_all = integer(info, QStringLiteral("floor_all"));
    row.floor_one = integer(info, QStringLiteral("floor_one"));
    row.floor_space = floatFromReal(info, QStringLiteral("floor_space"));
    row.grant_amount = wholeFromReal(info, QStringLiteral("grant_amount"));
    row.manufacturer_share = floatFromReal(info, QStringLiteral("manufacturer_share"));
    row.num_parking = integer(info, QStringLiteral("num_parking"));
    row.num_person = integer(info, QStringLiteral("num_person"));
    row.number_of_owners = integer(info, QStringLiteral("number_of_owners"));
    row.sahm = floatFromReal(info, QStringLiteral("sahm"));
    row.unit_all = integer(info, QStringLiteral("unit_all"));
    row.unit_one = integer(info, QStringLiteral("unit_one"));
    row.warehouse = floatFromReal(info, QStringLiteral("warehouse"));
    file.info_id = obx::Box<FileInfo>(store_).put(row);
}

void GFileImport::readMeter(const QJsonObject &json, File &file)
{
    const QJsonObject meter = objectAt(json, QStringLiteral("meter"));
    file.area = floatFromReal(meter, QStringLiteral("area"));
    file.home = floatFromReal(meter, QStringLiteral("home"));
    if (!meter.contains(QStringLiteral("after_corrective")) && !meter.contains(QStringLiteral("building"))
        && !meter.contains(QStringLiteral("corrective")) && !meter.contains(QStringLiteral("crossing")))
        return;
    FileMeter row;
    row.file_id = file.server_id;
    row.after_corrective = floatFromReal(meter, QStringLiteral("after_corrective"));
    row.building = floatFromReal(meter, QStringLiteral("building"));
    row.corrective = floatFromReal(meter, QStringLiteral("corrective"));
    row.crossing = floatFromReal(meter, QStringLiteral("crossing"));
    file.meter_id = obx::Box<FileMeter>(store_).put(row);
}

void GFileImport::readToggles(const QJsonObject &json, File &file)
{
    bool any = false;
    for (const char *key : kToggleKeys)
        any = any || json.contains(QLatin1String(key));
    if (!any) {
        file.toggle_id = kNoToggles;
        return;
    }
    FileToggle row;
    row.file_id = file.server_id;
    for (size_t i = 0; i < sizeof(kToggleKeys) / sizeof(kToggleKeys[0]); ++i)
        row.*kToggleFields[i] = joinIntArray(json, QLatin1String(kToggleKeys[i]));
    file.toggle_id = obx::Box<FileToggle>(store_).put(row);
}

void GFileImport::readMatchTags(const QJsonObject &json, const File &file)
{
    const QJsonArray tags = json.value(QStringLiteral("tag_file")).toArray();
    if (tags.isEmpty())
        return;
    obx::Box<FileMatchTag> box(store_);
    if (!file.server_id.empty())
        box.query(FileMatchTag_::file_id.equals(file.server_id)).build().remove();
    for (const QJsonValue &value : tags) {
        const QJsonObject item = value.toObject();
        FileMatchTag tag;
        tag.file_id = file.server_id;
        tag.request_id = text(item, QStringLiteral("file_ref"));
        tag.tag = integer(item, QStringLiteral("status"));
        box.put(tag);
    }
}

const std::string &GFileImport::districtTitle(const std::string &serverId)
{
    auto found = districtTitles_.find(serverId);
    if (found == districtTitles_.end()) {
        const QJsonObject district = GDistrict(snapshot_).getSingleDistrict(QString::fromStdString(serverId), 0);
        found = districtTitles_.emplace(serverId, text(district, QStringLiteral("title"))).first;
    }
    return found->second;
}

} // namespace UGENERAL
