#include "repositories/gshelves.h"

#include "repositories/gaccesslist.h"
#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "repositories/gtavorlin.h"
#include "repositories/guser.h"
#include "store/tavorlin.h"
#include "store/tavorlinposition.h"

#include <QDebug>

#include <algorithm>

namespace UGENERAL {

namespace {

const char *const kNoShelf = "no shelves was found for that query!";

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

std::unique_ptr<Shelves> shelfById(obx::Store &store, const std::string &serverId)
{
    if (serverId.empty())
        return nullptr; // the empty id names no shelf
    return obx::Box<Shelves>(store).query(Shelves_::server_id.equals(serverId)).build().findFirst();
}

std::vector<std::unique_ptr<TavorlinPosition>> rowsOf(obx::Store &store, const std::string &shelf)
{
    return obx::Box<TavorlinPosition>(store)
        .query(TavorlinPosition_::shelves_id.equals(shelf))
        .order(TavorlinPosition_::position)
        .build()
        .find();
}

void putRow(obx::Box<TavorlinPosition> &positions, int position, const std::string &board, const std::string &shelf)
{
    TavorlinPosition row;
    row.position = position;
    row.tavorlin_id = board;
    row.shelves_id = shelf;
    positions.put(row);
}

} // namespace

GShelves::~GShelves() = default;

void GShelves::stamp(qlonglong date)
{
    if (date > 0)
        GUser(snapshot()).updateDate(date, -1);
}

QJsonObject GShelves::toJson(const Shelves &shelves)
{
    return QJsonObject{
        {QStringLiteral("id"), int(shelves.id)},
        {QStringLiteral("_id"), q(shelves.server_id)},
        {QStringLiteral("user_id"), q(shelves.user_id)},
        {QStringLiteral("name"), q(shelves.name)},
        {QStringLiteral("type"), shelves.type},
        {QStringLiteral("color"), shelves.color},
        {QStringLiteral("position"), shelves.position},
    };
}

// ---- Reads ----------------------------------------------------------------------------------

QJsonObject GShelves::get(QString serverId, int shelvesId)
{
    obx::Transaction tx = store.txRead();
    const obx::QueryCondition which = serverId.isEmpty()
                                          ? Shelves_::id.equals(int64_t(shelvesId))
                                          : Shelves_::server_id.equals(serverId.toStdString());
    std::unique_ptr<Shelves> shelf =
        obx::Box<Shelves>(store).query(Shelves_::user_id.equals(user.server_id) && which).build().findFirst();
    if (!shelf)
        return QJsonObject{{QStringLiteral("error"), QString::fromLatin1(kNoShelf)}};
    return toJson(*shelf);
}

QJsonArray GShelves::getList(QString agentId)
{
    obx::Transaction tx = store.txRead();
    auto builder = obx::Box<Shelves>(store).query(Shelves_::user_id.equals(user.server_id));
    if (!agentId.isEmpty())
        builder.with(Shelves_::access.contains(agentId.toStdString()));
    builder.order(Shelves_::position);
    QJsonArray list;
    for (const std::unique_ptr<Shelves> &shelf : builder.build().find())
        list.append(toJson(*shelf));
    return list;
}

QJsonArray GShelves::getTavorlins(QString shelvesId, QString agentId)
{
    QJsonArray list;
    const std::string shelf = shelvesId.toStdString();
    if (shelf.empty())
        return list;
    obx::Transaction tx = store.txRead();
    GTavorlin boards(snapshot());
    obx::Box<Tavorlin> box(store);
    for (const std::unique_ptr<TavorlinPosition> &row : rowsOf(store, shelf)) {
        if (row->tavorlin_id.empty())
            continue;
        auto builder = box.query(Tavorlin_::server_id.equals(row->tavorlin_id));
        if (!agentId.isEmpty())
            builder.with(Tavorlin_::access.contains(agentId.toStdString()));
        if (std::unique_ptr<Tavorlin> board = builder.build().findFirst())
            list.append(boards.toJson(*board, row->position));
    }
    return list;
}

QJsonArray GShelves::getAccessList(QString shelvesId, QString agentId)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    if (!shelvesId.isEmpty()) {
        if (std::unique_ptr<Shelves> shelf = shelfById(store, shelvesId.toStdString()))
            for (const std::string &entry : shelf->access)
                list.append(QJsonObject{{QStringLiteral("user_id"), q(entry)}});
        return list;
    }
    for (const std::unique_ptr<Shelves> &shelf :
         obx::Box<Shelves>(store).query(Shelves_::access.contains(agentId.toStdString())).build().find())
        list.append(QJsonObject{{QStringLiteral("shelf_id"), q(shelf->server_id)}});
    return list;
}

// ---- Writes ---------------------------------------------------------------------------------

bool GShelves::save(QJsonObject shelves, bool addTavorlins)
{
    // One write, so the shelf and its board list change together.
    obx::Transaction tx = store.txWrite();
    const std::string id = GJson::utf8(shelves, QStringLiteral("_id"));
    Shelves shelf;
    if (std::unique_ptr<Shelves> existing = shelfById(store, id)) {
        shelf.id = existing->id;
        shelf.position = existing->position;
    }
    shelf.access = GJson::toStrings(shelves.value(QStringLiteral("access")).toArray());
    shelf.user_id = user.server_id;
    shelf.server_id = id;
    shelf.name = GJson::utf8(shelves, QStringLiteral("name"));
    shelf.color = GJson::int32(shelves, QStringLiteral("color"));
    shelf.type = GJson::int32(shelves, QStringLiteral("type"));
    obx::Box<Shelves>(store).put(shelf);

    // Position rows are found by the shelf's server id; a shelf without one can hold none.
    if (addTavorlins && !id.empty()) {
        obx::Box<TavorlinPosition> positions(store);
        std::vector<std::string> oldOrder;
        for (const std::unique_ptr<TavorlinPosition> &row : rowsOf(store, id))
            oldOrder.push_back(row->tavorlin_id);
        positions.query(TavorlinPosition_::shelves_id.equals(id)).build().remove();

        std::vector<std::string> wanted = GJson::toStrings(shelves.value(QStringLiteral("tavorlin")).toArray());
        wanted.erase(std::remove(wanted.begin(), wanted.end(), std::string()), wanted.end());
        int n = 0;
        // Boards that stay keep their order at the front; each board gets one row.
        for (const std::string &board : oldOrder) {
            const auto end = std::remove(wanted.begin(), wanted.end(), board);
            if (end == wanted.end())
                continue;
            wanted.erase(end, wanted.end());
            putRow(positions, n++, board, id);
        }
        std::vector<std::string> added;
        for (const std::string &board : wanted) {
            if (std::find(added.begin(), added.end(), board) != added.end())
                continue;
            added.push_back(board);
            putRow(positions, n++, board, id);
        }
    }
    tx.success();
    return true;
}

void GShelves::saveAll(QJsonArray shelvesList, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &element : shelvesList) {
        const QJsonObject item = element.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            save(item, true);
    }
    stamp(date);
    tx.success();
}

bool GShelves::remove(QString serverId)
{
    const std::string id = serverId.toStdString();
    if (id.empty())
        return true; // an empty id would match every shelf and row that has none
    obx::Transaction tx = store.txWrite();
    obx::Box<Shelves>(store).query(Shelves_::server_id.equals(id)).build().remove();
    obx::Box<TavorlinPosition>(store).query(TavorlinPosition_::shelves_id.equals(id)).build().remove();
    tx.success();
    return true;
}

void GShelves::changePositions(QJsonArray positions)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<Shelves> shelves(store);
    for (const QJsonValue &element : positions) {
        const QJsonObject item = element.toObject();
        if (std::unique_ptr<Shelves> shelf = shelfById(store, GJson::utf8(item, QStringLiteral("_id")))) {
            shelf->position = GJson::int32(item, QStringLiteral("position"));
            shelves.put(*shelf);
        }
    }
    tx.success();
}

void GShelves::changeTavorlins(QString shelvesId, QList<QString> tavorlinsToAdd, QList<QString> tavorlinsToRemove,
                               qlonglong date)
{
    const std::string shelf = shelvesId.toStdString();
    obx::Transaction tx = store.txWrite();
    obx::Box<TavorlinPosition> positions(store);
    if (!shelf.empty()) {
        for (const QString &removed : tavorlinsToRemove) {
            const std::string board = removed.toStdString();
            const auto onShelf = TavorlinPosition_::tavorlin_id.equals(board) && TavorlinPosition_::shelves_id.equals(shelf);
            std::unique_ptr<TavorlinPosition> row = positions.query(onShelf).build().findFirst();
            if (!row)
                continue;
            auto later = positions
                             .query(TavorlinPosition_::shelves_id.equals(shelf) &&
                                    TavorlinPosition_::position.greaterThan(row->position))
                             .build();
            for (std::unique_ptr<TavorlinPosition> &next : later.find()) {
                next->position -= 1;
                positions.put(*next);
            }
            positions.query(onShelf).build().remove();
        }

        std::vector<std::unique_ptr<TavorlinPosition>> rows = rowsOf(store, shelf);
        // Past the highest place rather than at the row count, so an old gap cannot double a place.
        int next = rows.empty() ? 0 : std::max(int(rows.size()), rows.back()->position + 1);
        qDebug() << "LAST POSITION" << rows.size();
        std::vector<std::string> present;
        for (const std::unique_ptr<TavorlinPosition> &row : rows)
            present.push_back(row->tavorlin_id);
        for (const QString &added : tavorlinsToAdd) {
            const std::string board = added.toStdString();
            // A push and the reply to one's own request both add the same board.
            if (board.empty() || std::find(present.begin(), present.end(), board) != present.end())
                continue;
            present.push_back(board);
            putRow(positions, next++, board, shelf);
        }
    }
    stamp(date);
    tx.success();
}

bool GShelves::saveAgentAccess(QJsonObject data, qlonglong date)
{
    const std::string agent = GJson::utf8(data, QStringLiteral("agent_id"));
    obx::Transaction tx = store.txWrite();
    obx::Box<Shelves> shelves(store);
    for (const QJsonValue &id : data.value(QStringLiteral("success_remove")).toArray()) {
        std::unique_ptr<Shelves> shelf = shelfById(store, id.toString().toStdString());
        if (shelf && GAccessList::remove(shelf->access, agent))
            shelves.put(*shelf);
    }
    for (const QJsonValue &id : data.value(QStringLiteral("success_add")).toArray()) {
        std::unique_ptr<Shelves> shelf = shelfById(store, id.toString().toStdString());
        if (shelf && GAccessList::add(shelf->access, agent))
            shelves.put(*shelf);
    }
    stamp(date);
    tx.success();
    return true;
}

bool GShelves::saveAgentAccessList(QString shelvesId, QJsonArray access, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    if (std::unique_ptr<Shelves> shelf = shelfById(store, shelvesId.toStdString())) {
        shelf->access = GAccessList::fromArray(access);
        obx::Box<Shelves>(store).put(*shelf);
    }
    stamp(date);
    tx.success();
    return true;
}

} // namespace UGENERAL
