#include "repositories/gnote.h"

#include "repositories/gjson.h"
#include "repositories/grows.h"

namespace UGENERAL {

GNote::~GNote() = default;

QJsonObject GNote::toJson(const Note &note)
{
    return QJsonObject{
        {QStringLiteral("id"), double(note.id)},
        {QStringLiteral("_id"), GJson::fromUtf8(note.server_id)},
        {QStringLiteral("user_id"), GJson::fromUtf8(note.user_id)},
        {QStringLiteral("title"), GJson::fromUtf8(note.title)},
        {QStringLiteral("body"), GJson::fromUtf8(note.body)},
        {QStringLiteral("color"), GJson::fromUtf8(note.color)},
        {QStringLiteral("date"), double(note.date)},
    };
}

bool GNote::saveNote(QJsonObject note, bool)
{
    Note row;
    row.server_id = GJson::utf8(note, QStringLiteral("_id"));
    row.user_id = GJson::utf8(note, QStringLiteral("user_ref"));
    row.title = GJson::utf8(note, QStringLiteral("title"));
    row.body = GJson::utf8(note, QStringLiteral("body"));
    row.color = GJson::utf8(note, QStringLiteral("color"));
    row.date = GJson::uint64(note.value(QStringLiteral("date")).toObject(), QStringLiteral("alarm"));
    obx::Transaction tx = store.txWrite();
    row.id = GRows::localId<Note>(store, Note_::server_id, row.server_id);
    const obx_id id = obx::Box<Note>(store).put(row);
    tx.success();
    return id != 0;
}

void GNote::saveNotes(QJsonArray notes, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &value : notes) {
        const QJsonObject item = value.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            saveNote(item, true);
    }
    GRows::stamp(snapshot(), date);
    tx.success();
}

bool GNote::remove(QString serverId, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    const uint64_t removed = GRows::removeByServerId<Note>(store, Note_::server_id, serverId.toStdString());
    GRows::stamp(snapshot(), date);
    tx.success();
    return removed > 0;
}

QJsonArray GNote::getNotes()
{
    QJsonArray list;
    obx::QueryBuilder<Note> qb = obx::Box<Note>(store).query(Note_::user_id.equals(viewer().server_id));
    qb.order(Note_::date, OBXOrderFlags_DESCENDING | OBXOrderFlags_UNSIGNED);
    for (const auto &row : qb.build().find())
        list.append(toJson(*row));
    return list;
}

int GNote::todayNoteCount(qlonglong startDate, qlonglong endDate)
{
    return int(obx::Box<Note>(store)
                   .query(Note_::user_id.equals(viewer().server_id) && Note_::date.between(startDate, endDate))
                   .build()
                   .count());
}

} // namespace UGENERAL
