#include "repositories/guser.h"

#include "repositories/gjson.h"
#include "store/city.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/shelves.h"
#include "store/tavorlin.h"

#include <QDebug>
#include <QJsonDocument>

#include <algorithm>
#include <set>

namespace UGENERAL {

namespace {

const char *const kNoUser = "no user was found for that query!";
// The platform code of this build; its device token is the one kept.
const int kDesktopPlatform = 64;
// A parent chain longer than this can only be a loop in corrupt data.
const int kMaxParentDepth = 16;

QJsonObject noUser()
{
    return QJsonObject{{QStringLiteral("error"), QString::fromLatin1(kNoUser)}};
}

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// Removes every occurrence, so an id listed twice does not keep its access.
bool removeAll(std::vector<std::string> &list, const std::string &value)
{
    const auto end = std::remove(list.begin(), list.end(), value);
    const bool removed = end != list.end();
    list.erase(end, list.end());
    return removed;
}

void appendIfAbsent(std::vector<std::string> &list, const std::string &value)
{
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

// The distinct keys of a form-settings text ([{"key": n}, ...]) in first-seen order.
std::vector<std::string> invisibleToggles(const QString &formText)
{
    std::vector<std::string> keys;
    std::set<qint64> seen;
    const QJsonArray entries = QJsonDocument::fromJson(formText.toUtf8()).array();
    for (const QJsonValue &entry : entries) {
        const qint64 key = GJson::integer(entry.toObject(), QStringLiteral("key"));
        if (seen.insert(key).second)
            keys.push_back(std::to_string(key));
    }
    return keys;
}

QJsonObject userJson(obx::Store &store, const User &record, bool full, int depth);

QJsonObject fullUserJson(obx::Store &store, const User &record, int depth)
{
    QJsonObject json = userJson(store, record, false, depth);
    obx::Box<User> users(store);

    bool syncData = record.sync_data;
    QString ownerServerId = q(record.server_id);
    if (record.parent_id != 0) {
        syncData = false;
        ownerServerId.clear();
        std::unique_ptr<User> parent = depth < kMaxParentDepth ? users.get(record.parent_id) : nullptr;
        if (parent) {
            const QJsonObject parentJson = fullUserJson(store, *parent, depth + 1);
            json.insert(QStringLiteral("parent"), parentJson);
            json.insert(QStringLiteral("user_ref"), parentJson.value(QStringLiteral("_id")));
            syncData = parentJson.value(QStringLiteral("sync_data")).toBool();
            ownerServerId = parentJson.value(QStringLiteral("_id")).toString();
        }
    }

    json.insert(QStringLiteral("info"), QJsonObject{
                                            {QStringLiteral("mobile_1"), q(record.mobile_1)},
                                            {QStringLiteral("mobile_2"), q(record.mobile_2)},
                                            {QStringLiteral("phone_1"), q(record.phone_1)},
                                            {QStringLiteral("phone_2"), q(record.phone_2)},
                                            {QStringLiteral("site"), q(record.site)},
                                            {QStringLiteral("email"), q(record.email)},
                                            {QStringLiteral("address"), q(record.address)},
                                        });
    json.insert(QStringLiteral("business_name"), q(record.business_name));
    if (!record.city_id.empty()) {
        obx::Box<City> cities(store);
        if (std::unique_ptr<City> city = cities.query(City_::server_id.equals(record.city_id)).build().findFirst()) {
            json.insert(QStringLiteral("city"), GDatabase::getCityJson(*city));
            json.insert(QStringLiteral("city_ref"), q(record.city_id));
        }
    }
    json.insert(QStringLiteral("telegram_channel"), q(record.telegram_channel));
    json.insert(QStringLiteral("instagram"), q(record.instagram));
    json.insert(QStringLiteral("union_code"), q(record.union_code));
    json.insert(QStringLiteral("updated_date"), double(record.updated_date));
    json.insert(QStringLiteral("map"), QJsonObject{{QStringLiteral("lat"), record.lat}, {QStringLiteral("lng"), record.lng}});
    json.insert(QStringLiteral("access"), record.access);
    json.insert(QStringLiteral("current"), record.current);
    json.insert(QStringLiteral("description"), q(record.description));
    json.insert(QStringLiteral("logged_in"), record.logged_in);
    json.insert(QStringLiteral("device"), QJsonArray{QJsonObject{{QStringLiteral("token"), q(record.token)}}});
    json.insert(QStringLiteral("sync_data"), syncData);

    obx::Box<Tavorlin> boards(store);
    const bool defaultBoard = boards.query(Tavorlin_::user_id.equals(ownerServerId.toStdString())
                                           && Tavorlin_::is_default.equals(true))
                                  .build()
                                  .count()
        > 0;
    json.insert(QStringLiteral("default_tavorlin"), defaultBoard);
    json.insert(QStringLiteral("status"), QJsonObject{{QStringLiteral("status"), record.status},
                                                      {QStringLiteral("text"), q(record.status_text)}});
    json.insert(QStringLiteral("country_code"), record.country_code);
    return json;
}

QJsonObject userJson(obx::Store &store, const User &record, bool full, int depth)
{
    if (full)
        return fullUserJson(store, record, depth);
    return QJsonObject{
        {QStringLiteral("id"), int(record.id)},
        {QStringLiteral("_id"), q(record.server_id)},
        {QStringLiteral("mobile"), q(record.mobile)},
        {QStringLiteral("name_family"), q(record.name_family)},
        {QStringLiteral("type"), record.type},
        {QStringLiteral("image"), q(record.image)},
    };
}

// Clears the current mark of every row but keepId, so one account stays current.
void clearCurrentMarks(obx::Box<User> &users, obx_id keepId)
{
    for (std::unique_ptr<User> &row : users.query(User_::current.equals(true)).build().find()) {
        if (row->id == keepId)
            continue;
        row->current = false;
        users.put(*row);
    }
}

} // namespace

GUser::~GUser() = default;

QJsonObject GUser::getUserAsJson(const User &record, bool full)
{
    obx::Transaction tx = store.txRead();
    return userJson(store, record, full, 0);
}

qint64 GUser::saveUser(QJsonObject object, bool login)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);

    User record;
    const std::string serverId = GJson::utf8(object, QStringLiteral("_id"));
    if (object.contains(QStringLiteral("user_ref"))) {
        const QJsonValue ref = object.value(QStringLiteral("user_ref"));
        // Only a nested account object makes a parent row; an empty or mistyped reference
        // would otherwise create an owner without identity.
        if (ref.isObject()) {
            record.parent_id = obx_id(saveUser(ref.toObject(), false));
        } else if (ref.isString() && !ref.toString().isEmpty()) {
            std::unique_ptr<User> owner = users.query(User_::server_id.equals(ref.toString().toStdString())
                                                      && User_::parent_id.equals(0))
                                              .build()
                                              .findFirst();
            record.parent_id = owner ? owner->id : 0;
        }
    }
    if (object.contains(QStringLiteral("setting")))
        record.invisible_toggles = invisibleToggles(
            object.value(QStringLiteral("setting")).toObject().value(QStringLiteral("form")).toString());

    std::unique_ptr<User> existing = users.query(User_::server_id.equals(serverId)
                                                 && User_::parent_id.equals(int64_t(record.parent_id)))
                                         .build()
                                         .findFirst();
    if (existing) {
        record.id = existing->id;
        record.current = existing->current;
        record.logged_in = existing->logged_in;
        record.sync_data = existing->sync_data;
        record.updated_date = existing->updated_date;
    }

    record.server_id = serverId;
    record.mobile = GJson::utf8(object, QStringLiteral("mobile"));
    if (object.contains(QStringLiteral("name_family")))
        record.name_family = GJson::utf8(object, QStringLiteral("name_family"));
    if (object.contains(QStringLiteral("info"))) {
        const QJsonObject info = object.value(QStringLiteral("info")).toObject();
        record.mobile_1 = GJson::utf8(info, QStringLiteral("mobile_1"));
        record.mobile_2 = GJson::utf8(info, QStringLiteral("mobile_2"));
        record.phone_1 = GJson::utf8(info, QStringLiteral("phone_1"));
        record.phone_2 = GJson::utf8(info, QStringLiteral("phone_2"));
        record.site = GJson::utf8(info, QStringLiteral("site"));
        record.email = GJson::utf8(info, QStringLiteral("email"));
        record.address = GJson::utf8(info, QStringLiteral("address"));
        record.telegram_channel = GJson::utf8(info, QStringLiteral("telegram"));
        record.instagram = GJson::utf8(info, QStringLiteral("instagram"));
    }
    record.access = GJson::int32(object, QStringLiteral("access"));
    record.type = GJson::int16(object, QStringLiteral("type"));
    record.business_name = GJson::utf8(object, QStringLiteral("business_name"));
    record.city_id = GJson::utf8(object, QStringLiteral("city_ref"));
    record.description = GJson::utf8(object, QStringLiteral("desc"));
    if (object.contains(QStringLiteral("device"))) {
        for (const QJsonValue &device : object.value(QStringLiteral("device")).toArray()) {
            const QJsonObject entry = device.toObject();
            if (GJson::integer(entry, QStringLiteral("platform")) == kDesktopPlatform) {
                record.token = GJson::utf8(entry, QStringLiteral("token"));
                break;
            }
        }
    }
    record.union_code = GJson::utf8(object, QStringLiteral("union_code"));
    if (object.contains(QStringLiteral("map"))) {
        const QJsonObject map = object.value(QStringLiteral("map")).toObject();
        record.lat = GJson::number(map, QStringLiteral("lat"));
        record.lng = GJson::number(map, QStringLiteral("lng"));
    }
    if (object.contains(QStringLiteral("status"))) {
        const QJsonObject status = object.value(QStringLiteral("status")).toObject();
        record.status = GJson::int32(status, QStringLiteral("type"));
        record.status_text = GJson::utf8(status, QStringLiteral("text"));
    }
    record.country_code = GJson::int32(object, QStringLiteral("country_code"));
    record.image = GJson::utf8(object, QStringLiteral("profile_image"));

    if (login) {
        record.current = true;
        record.logged_in = true;
    }
    users.put(record);
    if (login)
        clearCurrentMarks(users, record.id);
    tx.success();
    return qint64(record.id);
}

bool GUser::saveUsers(QJsonArray array, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    bool cachedAccountStored = false;
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        const QJsonObject status = object.value(QStringLiteral("status")).toObject();
        if (GJson::integer(status, QStringLiteral("type")) == 5) {
            deleteAgent(q(user.server_id), GJson::text(object, QStringLiteral("_id")), -1);
            continue;
        }
        const obx_id id = obx_id(saveUser(object, false));
        if ((user.id != 0 && id == user.id) || (agent.id != 0 && id == agent.id))
            cachedAccountStored = true;
    }
    if (date > 0)
        updateDate(date, -1);
    tx.success();
    return cachedAccountStored;
}

QJsonObject GUser::currentUser()
{
    obx::Transaction tx = store.txRead();
    obx::Box<User> users(store);
    std::unique_ptr<User> current =
        users.query(User_::current.equals(true) && User_::logged_in.equals(true)).build().findFirst();
    return current ? userJson(store, *current, true, 0) : noUser();
}

bool GUser::changeCurrentUser(qint64 userId)
{
    return logIn(userId);
}

QJsonArray GUser::getLoggedInUsers()
{
    obx::Transaction tx = store.txRead();
    obx::Box<User> users(store);
    QJsonArray list;
    for (const std::unique_ptr<User> &row : users.query(User_::logged_in.equals(true)).build().find())
        list.append(userJson(store, *row, true, 0));
    return list;
}

bool GUser::logIn(qint64 userId)
{
    const obx_id id = userId < 1 ? user.id : obx_id(userId);
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    if (std::unique_ptr<User> row = id ? users.get(id) : nullptr) {
        row->current = true;
        row->logged_in = true;
        users.put(*row);
        // Exactly one account is current: the one just logged in.
        clearCurrentMarks(users, row->id);
    }
    tx.success();
    return true;
}

bool GUser::logOut(qint64 userId)
{
    const obx_id id = userId < 1 ? user.id : obx_id(userId);
    obx::Box<User> users(store);
    obx::Transaction tx = store.txWrite();
    if (std::unique_ptr<User> row = id ? users.get(id) : nullptr) {
        row->current = false;
        row->logged_in = false;
        users.put(*row);
    }
    tx.success();
    return true;
}

QJsonObject GUser::getUserById(QString serverId)
{
    obx::Transaction tx = store.txRead();
    obx::Box<User> users(store);
    std::unique_ptr<User> row =
        users.query(User_::server_id.equals(serverId.toStdString()) && User_::parent_id.equals(0)).build().findFirst();
    return row ? userJson(store, *row, true, 0) : noUser();
}

QJsonObject GUser::saveUserImage(QString image, qint64 userId)
{
    {
        obx::Transaction tx = store.txWrite();
        obx::Box<User> users(store);
        if (std::unique_ptr<User> row = userId > 0 ? users.get(obx_id(userId)) : nullptr) {
            row->image = image.toStdString();
            users.put(*row);
        }
        tx.success();
    }
    return currentUser();
}

void GUser::deleteUserImage(qint64 userId)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    if (std::unique_ptr<User> row = userId > 0 ? users.get(obx_id(userId)) : nullptr) {
        if (!row->image.empty()) {
            row->image.clear();
            users.put(*row);
        }
    }
    tx.success();
}

bool GUser::updateDate(qlonglong date, qint64 userId)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    obx_id id = obx_id(userId);
    if (userId < 1) {
        id = user.id;
        qDebug() << "syncing data ....";
        qDebug() << "current user is" << q(user.name_family) << user.current << user.logged_in;
        if (agent.id != 0)
            qDebug() << "current agent is" << q(agent.name_family) << agent.current << agent.logged_in;
        user.updated_date = uint64_t(date);
        user.sync_data = true;
    }
    if (std::unique_ptr<User> row = id ? users.get(id) : nullptr) {
        row->updated_date = uint64_t(date);
        row->sync_data = true;
        // Nothing a file screen shows: open lists are not read again for it.
        users.putUnobserved(*row);
    }
    tx.success();
    return true;
}

QString GUser::getUpdateDate(qint64 userId)
{
    if (userId < 1)
        return QString::number(user.updated_date);
    obx::Box<User> users(store);
    std::unique_ptr<User> row = users.get(obx_id(userId));
    return row ? QString::number(row->updated_date) : QString();
}

// ---- Agents -----------------------------------------------------------------------------------

QJsonArray GUser::getAgentList(qint64 userId)
{
    const obx_id ownerId = userId < 1 ? user.id : obx_id(userId);
    QJsonArray list;
    // Without an owner, parent 0 would list every owner of the store as an agent.
    if (ownerId == 0)
        return list;
    obx::Transaction tx = store.txRead();
    obx::Box<User> users(store);
    for (const std::unique_ptr<User> &row : users.query(User_::parent_id.equals(int64_t(ownerId))).build().find())
        list.append(userJson(store, *row, false, 0));
    return list;
}

int GUser::getAgentsCount(qint64 userId)
{
    const obx_id ownerId = userId < 1 ? user.id : obx_id(userId);
    if (ownerId == 0)
        return 0;
    obx::Box<User> users(store);
    return int(users.query(User_::parent_id.equals(int64_t(ownerId))).build().count());
}

bool GUser::updateAgent(QString serverId, int access, int type, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    std::unique_ptr<User> row =
        users.query(User_::server_id.equals(serverId.toStdString()) && User_::parent_id.notEquals(0)).build().findFirst();
    if (row) {
        // A left-out value arrives as -1 and leaves the stored value alone.
        if (access >= 0)
            row->access = access;
        if (type >= 0)
            row->type = int16_t(std::min(type, 32767));
        users.put(*row);
        if (date > 0)
            updateDate(date, -1);
    }
    tx.success();
    return true;
}

qint64 GUser::updateAgentNameFamily(qint64 userId, QString nameFamily, QString mobile_1, QString mobile_2,
                                    QString phone_1, QString phone_2, QString cityId, QString email, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    std::unique_ptr<User> row = userId > 0 ? users.get(obx_id(userId)) : nullptr;
    if (!row)
        return -1;
    row->name_family = nameFamily.toStdString();
    row->mobile_1 = mobile_1.toStdString();
    row->mobile_2 = mobile_2.toStdString();
    row->phone_1 = phone_1.toStdString();
    row->phone_2 = phone_2.toStdString();
    row->city_id = cityId.toStdString();
    row->email = email.toStdString();
    users.put(*row);
    if (date > 0)
        updateDate(date, -1);
    tx.success();
    return qint64(row->id);
}

void GUser::deleteAgent(QString userId, QString agentId, qlonglong date)
{
    const std::string ownerServerId = userId.toStdString();
    const std::string agentServerId = agentId.toStdString();
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    std::unique_ptr<User> owner =
        users.query(User_::server_id.equals(ownerServerId) && User_::parent_id.equals(0)).build().findFirst();
    if (owner) {
        // An agent logged in on this computer keeps the account and everything assigned to it.
        const uint64_t removed = users.query(User_::server_id.equals(agentServerId)
                                             && User_::parent_id.equals(int64_t(owner->id))
                                             && User_::logged_in.equals(false))
                                     .build()
                                     .remove();
        if (removed == 0) {
            tx.success();
            return;
        }
    }

    obx::Box<File> files(store);
    for (std::unique_ptr<File> &file : files.query(File_::agent_id.equals(agentServerId)).build().find()) {
        file->agent_id.clear();
        files.put(*file);
    }
    obx::Box<Tavorlin> boards(store);
    for (std::unique_ptr<Tavorlin> &board :
         boards.query(Tavorlin_::user_id.equals(ownerServerId) && Tavorlin_::access.contains(agentServerId)).build().find()) {
        removeAll(board->access, agentServerId);
        boards.put(*board);
    }
    obx::Box<Shelves> shelves(store);
    for (std::unique_ptr<Shelves> &shelf :
         shelves.query(Shelves_::user_id.equals(ownerServerId) && Shelves_::access.contains(agentServerId)).build().find()) {
        removeAll(shelf->access, agentServerId);
        shelves.put(*shelf);
    }
    if (date > 0)
        updateDate(date, -1);
    tx.success();
}

void GUser::editAgentNumber(QString userId, QString agentId, QString receivedId, qlonglong date)
{
    const std::string ownerServerId = userId.toStdString();
    const std::string oldId = agentId.toStdString();
    const std::string newId = receivedId.toStdString();
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    std::unique_ptr<User> owner =
        users.query(User_::server_id.equals(ownerServerId) && User_::parent_id.equals(0)).build().findFirst();
    if (owner)
        users.query(User_::server_id.equals(oldId) && User_::parent_id.equals(int64_t(owner->id))).build().remove();

    obx::Box<Tavorlin> boards(store);
    for (std::unique_ptr<Tavorlin> &board :
         boards.query(Tavorlin_::user_id.equals(ownerServerId) && Tavorlin_::access.contains(oldId)).build().find()) {
        removeAll(board->access, oldId);
        appendIfAbsent(board->access, newId);
        boards.put(*board);
    }
    obx::Box<Shelves> shelves(store);
    for (std::unique_ptr<Shelves> &shelf :
         shelves.query(Shelves_::user_id.equals(ownerServerId) && Shelves_::access.contains(oldId)).build().find()) {
        removeAll(shelf->access, oldId);
        appendIfAbsent(shelf->access, newId);
        shelves.put(*shelf);
    }
    obx::Box<File> files(store);
    for (std::unique_ptr<File> &file : files.query(File_::agent_id.equals(oldId)).build().find()) {
        file->agent_id = newId;
        files.put(*file);
    }
    if (date > 0)
        updateDate(date, -1);
    tx.success();
}

} // namespace UGENERAL
