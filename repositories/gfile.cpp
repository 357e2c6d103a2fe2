#include "repositories/gfile.h"

#include "repositories/gfilefilter.h"
#include "repositories/gfileimport.h"
#include "repositories/gfilejson.h"
#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "repositories/guser.h"
#include "store/fileactivity.h"
#include "store/fileinfo.h"
#include "store/filematchtag.h"
#include "store/filemeter.h"
#include "store/filetenant.h"
#include "store/filetoggle.h"

#include <algorithm>
#include <set>

namespace UGENERAL {

// A line per file and per filter: off unless the logging rules ask for it
// (QT_LOGGING_RULES="tavorlin.files.debug=true").
Q_LOGGING_CATEGORY(lcFiles, "tavorlin.files", QtWarningMsg)

namespace {

const uint64_t kListPage = 50;
const uint64_t kExportPage = 100;
const qint64 kOneMonth = 2629743000LL;
const int kDueTradeType = 10; // archived rent
const int kLastActiveTrade = 8;

QJsonObject noFile()
{
    return QJsonObject{{QStringLiteral("error"), QStringLiteral("no file was found for that query!")}};
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

qint64 whole(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : 0;
}

// The property and direction of a list order; nullptr for store order.
const obx::PropertyBase *orderProperty(const QString &orderBy)
{
    if (orderBy == QLatin1String("_id"))
        return &File_::edit_date;
    if (orderBy.isEmpty() || orderBy == QLatin1String("date"))
        return &File_::date;
    if (orderBy == QLatin1String("auto_code"))
        return &File_::auto_code;
    if (orderBy == QLatin1String("home"))
        return &File_::home;
    if (orderBy == QLatin1String("area"))
        return &File_::area;
    if (orderBy == QLatin1String("room"))
        return &File_::room;
    if (orderBy == QLatin1String("price_2"))
        return &File_::price_2;
    if (orderBy == QLatin1String("price_1"))
        return &File_::price_1;
    return nullptr;
}

void applyPage(obx::Query<File> &query, int page, uint64_t size)
{
    if (page > 0)
        query.offset(uint64_t(page - 1) * size).limit(size);
}

} // namespace

GFile::~GFile() = default;

// ---- Shared helpers ---------------------------------------------------------------------------

uint64_t GFile::removeChildRows(obx::Store &store, const std::string &fileId, bool withActivities)
{
    obx::Transaction tx = store.txWrite();
    uint64_t removed = obx::Box<FileInfo>(store).query(FileInfo_::file_id.equals(fileId)).build().remove();
    removed += obx::Box<FileToggle>(store).query(FileToggle_::file_id.equals(fileId)).build().remove();
    removed += obx::Box<FileTenant>(store).query(FileTenant_::file_id.equals(fileId)).build().remove();
    removed += obx::Box<FileMeter>(store).query(FileMeter_::file_id.equals(fileId)).build().remove();
    if (withActivities)
        removed += obx::Box<FileActivity>(store).query(FileActivity_::file_id.equals(fileId)).build().remove();
    tx.success();
    return removed;
}

namespace {

// Relations of 0, and the toggle relation of a file without toggles, point at no row.
template <class T> void removeRow(obx::Store &store, obx_id id)
{
    if (id != 0 && id != ~obx_id(0))
        obx::Box<T>(store).remove(id);
}

} // namespace

void GFile::removeUnnamedFile(const File &file)
{
    removeRow<FileInfo>(store, file.info_id);
    removeRow<FileToggle>(store, file.toggle_id);
    removeRow<FileTenant>(store, file.tenant_id);
    removeRow<FileMeter>(store, file.meter_id);
    removeRow<File>(store, file.id);
}

void GFile::stamp(qlonglong date)
{
    if (date > 0)
        GUser(snapshot()).updateDate(date, -1);
}

obx::QueryBuilder<File> &GFile::buildFilterQuery(obx::QueryBuilder<File> &builder, int tradeType, int propertyType,
                                                 QJsonArray filters, QString keyword, QString userId)
{
    GFileFilter(user, agent).apply(builder, tradeType, propertyType, filters, keyword, userId);
    return builder;
}

QJsonArray GFile::toJsonList(obx::Query<File> &query, bool full, const QSet<QString> *keys)
{
    obx::Transaction tx = store.txRead();
    GFileJson converter(snapshot());
    QJsonArray list;
    for (const std::unique_ptr<File> &file : query.find())
        list.append(converter.fileToJson(*file, full, keys));
    tx.success();
    return list;
}

QJsonObject GFile::single(std::unique_ptr<File> file)
{
    if (!file)
        return noFile();
    obx::Transaction tx = store.txRead();
    const QJsonObject json = GFileJson(snapshot()).fileToJson(*file, true);
    tx.success();
    return json;
}

bool GFile::findLoggedInUser(QJsonObject user)
{
    if (user.value(QStringLiteral("logged_in")).toBool())
        return true;
    // A missing user has no id; read as 0 it would name every owner row.
    const qint64 id = GJson::integer(user, QStringLiteral("id"));
    if (id < 1)
        return false;
    return obx::Box<User>(store)
               .query(User_::parent_id.equals(id))
               .with(User_::logged_in.equals(true))
               .build()
               .count()
        > 0;
}

// ---- Import -----------------------------------------------------------------------------------

void GFile::saveFiles(QJsonArray files, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    GFileImport importer(snapshot());
    for (const QJsonValue &value : files) {
        const QJsonObject file = value.toObject();
        if (GRows::dies(file))
            deleteFile(file.value(QStringLiteral("_id")).toString(), -1, true);
        else
            importer.fileFromJson(file);
    }
    stamp(date);
    tx.success();
}

void GFile::saveColleagueFiles(QJsonArray files, int propertyType, QString userId)
{
    // An empty id names no colleague; its "files" would be every file without an owner.
    if (userId.isEmpty())
        return;
    obx::Transaction tx = store.txWrite();
    GUser users(snapshot());
    const QJsonObject colleague =
        files.isEmpty() ? QJsonObject() : files.first().toObject().value(QStringLiteral("user_ref")).toObject();
    if (!colleague.isEmpty())
        users.saveUser(colleague, false);
    if (findLoggedInUser(users.getUserById(userId))) {
        // These are the account's own files, not a colleague's: nothing of the call is kept.
        tx.close();
        return;
    }

    obx::Box<File> box(store);
    for (const std::unique_ptr<File> &file : box.query(File_::user_id.equals(utf8(userId))).build().find()) {
        if (file->server_id.empty())
            removeUnnamedFile(*file);
        else
            deleteFile(QString::fromStdString(file->server_id), -1, true);
    }
    GFileImport importer(snapshot());
    for (const QJsonValue &value : files) {
        const QJsonObject file = value.toObject();
        if (!GRows::dies(file))
            importer.colleagueFileFromJson(file, propertyType, utf8(userId));
    }
    tx.success();
}

void GFile::unseen(QJsonArray files, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    // The owner's files with any of the codes, found by reading only their owner and code: a first
    // download hands over pages of a thousand codes, and decoding every file of the owner for each
    // page made this the slowest step of a large agency's download. A code is taken as fileUnSeen
    // takes it.
    std::vector<int64_t> codes;
    std::set<uint64_t> left;
    for (const QJsonValue &value : files) {
        const int64_t code = GJson::int32(value.toObject(), QStringLiteral("code"));
        codes.push_back(code);
        left.insert(uint64_t(code));
    }
    if (!codes.empty()) {
        obx::Box<File> box(store);
        const std::vector<obx_id> ids =
            box.query(File_::user_id.equals(user.server_id)).with(File_::auto_code.oneOf(std::move(codes))).build().findIds();
        // Ids come in id order, so the first file of each code is the one a single look-up finds.
        for (const obx_id id : ids) {
            std::unique_ptr<File> file = box.get(id);
            if (!file || left.erase(file->auto_code) == 0)
                continue;
            if (file->seen) {
                file->seen = false;
                box.put(*file);
            }
            if (left.empty())
                break;
        }
    }
    stamp(date);
    tx.success();
}

bool GFile::savefileMatchTag(QString fileId, QString requestId, int tag)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<FileMatchTag> tags(store);
    std::unique_ptr<FileMatchTag> row = tags.query(FileMatchTag_::file_id.equals(utf8(fileId)))
                                            .with(FileMatchTag_::request_id.equals(utf8(requestId)))
                                            .build()
                                            .findFirst();
    if (!row) {
        row = std::make_unique<FileMatchTag>();
        row->file_id = utf8(fileId);
        row->request_id = utf8(requestId);
    }
    row->tag = tag;
    tags.put(*row);
    tx.success();
    return true;
}

// ---- Actions ----------------------------------------------------------------------------------

bool GFile::deleteFile(QString fileId, qlonglong date, bool withFile)
{
    if (fileId.isEmpty())
        return false;
    const std::string id = utf8(fileId);
    obx::Transaction tx = store.txWrite();
    const uint64_t children = removeChildRows(store, id, true);
    uint64_t files = 0;
    if (withFile) {
        files = obx::Box<File>(store).query(File_::server_id.equals(id)).build().remove();
        // Match marks name the file by its id; left behind they would mark a file that is gone.
        obx::Box<FileMatchTag>(store).query(FileMatchTag_::file_id.equals(id)).build().remove();
    }
    stamp(date);
    tx.success();
    return withFile ? files > 0 : children > 0;
}

bool GFile::deleteDraft(int id)
{
    if (id <= 0)
        return false;
    obx::Transaction tx = store.txWrite();
    std::unique_ptr<File> file = obx::Box<File>(store).get(obx_id(id));
    const bool found = file && file->draft;
    if (found)
        removeUnnamedFile(*file);
    // Nothing to remove is no failure: a save replacing a draft that is gone meanwhile goes on.
    tx.success();
    return found;
}

obx_id GFile::saveDraft(QJsonObject draft, int replacedId)
{
    draft.insert(QStringLiteral("draft"), true);
    draft.remove(QStringLiteral("_id"));
    obx::Transaction tx = store.txWrite();
    if (replacedId > 0)
        deleteDraft(replacedId);
    const obx_id id = GFileImport(snapshot()).fileFromJson(draft);
    tx.success();
    return id;
}

void GFile::deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters)
{
    filters.append(QJsonObject{
        {QStringLiteral("key"), QStringLiteral("status.delete")},
        {QStringLiteral("value"), QJsonObject{{QStringLiteral("value_1"), QStringLiteral("true")},
                                              {QStringLiteral("value_2"), QString()}}},
    });
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query();
    buildFilterQuery(builder, tradeType, propertyType, filters, QString(), QString());
    obx::Transaction tx = store.txWrite();
    for (const std::unique_ptr<File> &file : builder.build().find()) {
        if (file->server_id.empty())
            removeUnnamedFile(*file);
        else
            deleteFile(QString::fromStdString(file->server_id), -1, true);
    }
    tx.success();
}

void GFile::deleteFileImage(QString fileId, QString path)
{
    if (fileId.isEmpty())
        return;
    obx::Transaction tx = store.txWrite();
    obx::Box<File> files(store);
    std::unique_ptr<File> file = files.query(File_::server_id.equals(utf8(fileId))).build().findFirst();
    if (file && !file->documents.empty()) {
        const auto found = std::find(file->documents.begin(), file->documents.end(), utf8(path));
        if (found != file->documents.end())
            file->documents.erase(found);
        files.put(*file);
    }
    tx.success();
}

template <class Change> bool GFile::updateFile(const QString &fileId, qlonglong date, Change change)
{
    // An empty id would pick whichever draft comes first.
    if (fileId.isEmpty())
        return false;
    obx::Transaction tx = store.txWrite();
    obx::Box<File> files(store);
    std::unique_ptr<File> file = files.query(File_::server_id.equals(utf8(fileId))).build().findFirst();
    if (file) {
        change(*file);
        files.put(*file);
        stamp(date);
    }
    tx.success();
    return bool(file);
}

bool GFile::pinFile(QString fileId, bool pinned, qlonglong date)
{
    const std::string viewerId = viewer().server_id;
    return updateFile(fileId, date, [&](File &file) {
        // Each viewer's pin is in the list once, so a repeated pin and one unpin leave it unpinned.
        auto &pins = file.pins;
        if (pinned) {
            if (std::find(pins.begin(), pins.end(), viewerId) == pins.end())
                pins.push_back(viewerId);
        } else {
            pins.erase(std::remove(pins.begin(), pins.end(), viewerId), pins.end());
        }
    });
}

bool GFile::archiveFile(QString fileId, int tradeType, qlonglong archiveDate, qlonglong date)
{
    return updateFile(fileId, date, [&](File &file) {
        if (tradeType > 0)
            file.trade_type = tradeType;
        if (archiveDate > 0)
            file.date = uint64_t(archiveDate);
    });
}

bool GFile::moveFileToRecyclerbin(QString fileId, bool move, qlonglong date)
{
    return updateFile(fileId, date, [&](File &file) { file.deleted = move; });
}

bool GFile::adColleagueFile(QString fileId, bool colleague, qlonglong date)
{
    return updateFile(fileId, date, [&](File &file) { file.ad_colleague = colleague; });
}

bool GFile::setSeen(int code, bool seen)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<File> files(store);
    std::unique_ptr<File> file = files.query(File_::user_id.equals(user.server_id))
                                     .with(File_::auto_code.equals(code))
                                     .build()
                                     .findFirst();
    // A mark the file already has is no write: the screens showing it would read it again.
    if (file && file->seen != seen) {
        file->seen = seen;
        files.put(*file);
    }
    tx.success();
    return bool(file);
}

bool GFile::fileSeen(int code)
{
    return setSeen(code, true);
}

bool GFile::fileUnSeen(int code)
{
    return setSeen(code, false);
}

// ---- Lists and look-ups -----------------------------------------------------------------------

QJsonArray GFile::getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId)
{
    qCDebug(lcFiles) << "GETTTING FILES ...." << filters;
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query();
    buildFilterQuery(builder, tradeType, propertyType, filters, keyword, userId);
    if (const obx::PropertyBase *property = orderProperty(orderBy)) {
        // With no order asked for, the newest registered files come first.
        const bool descending = orderBy.isEmpty() || orderType == QLatin1String("desc");
        builder.order(*property, descending ? OBXOrderFlags_DESCENDING : 0);
    }
    obx::Query<File> query = builder.build();
    applyPage(query, page, kListPage);
    return toJsonList(query, false);
}

QJsonArray GFile::getColleagueFiles(int tradeType, int propertyType, QJsonArray filters, QString, QString, int page, QString keyword, QString userId)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query();
    buildFilterQuery(builder, tradeType, propertyType, filters, keyword, userId);
    obx::Query<File> query = builder.build();
    applyPage(query, page, kListPage);
    return toJsonList(query, false);
}

QJsonArray GFile::getMapFiles(int tradeType, int propertyType, QJsonArray filters, QString userId)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query();
    buildFilterQuery(builder, tradeType, propertyType, filters, QString(), userId);
    builder.order(File_::date, OBXOrderFlags_DESCENDING);
    obx::Query<File> query = builder.build();
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    for (const std::unique_ptr<File> &file : query.find())
        list.append(QJsonObject{
            {QStringLiteral("id"), int(file->id)},
            {QStringLiteral("_id"), QString::fromStdString(file->server_id)},
            {QStringLiteral("trade_ref"), file->trade_type},
            {QStringLiteral("map"), QJsonObject{{QStringLiteral("lat"), file->lat}, {QStringLiteral("lng"), file->lng}}},
        });
    tx.success();
    return list;
}

QJsonArray GFile::getDraftFiles()
{
    obx::Query<File> query =
        obx::Box<File>(store).query(File_::user_id.equals(user.server_id)).with(File_::draft.equals(true)).build();
    return toJsonList(query, false);
}

QJsonArray GFile::getUnsyncedFiles(QString userId)
{
    obx::Query<File> query = obx::Box<File>(store)
                                 .query(File_::user_id.equals(userId.isEmpty() ? user.server_id : utf8(userId)))
                                 .with(File_::synced.equals(false))
                                 .build();
    return toJsonList(query, false);
}

QJsonArray GFile::getFilesByProperty(QString userId, int property, int page, QString agentId)
{
    obx::Query<File> query = byProperty(userId, property, agentId);
    // Always paged; a page below 1 is the first.
    applyPage(query, std::max(page, 1), kExportPage);
    const QJsonArray list = toJsonList(query, true);
    qCDebug(lcFiles) << list.size() << " files loaded";
    return list;
}

QVector<qint64> GFile::getFileIdsByProperty(QString userId, int property, QString agentId)
{
    const std::vector<obx_id> found = byProperty(userId, property, agentId).findIds();
    QVector<qint64> ids;
    ids.reserve(int(found.size()));
    for (const obx_id id : found)
        ids << qint64(id);
    return ids;
}

QJsonArray GFile::getFilesByIds(const QVector<qint64> &ids, const QSet<QString> &keys)
{
    obx::Transaction tx = store.txRead();
    obx::Box<File> files(store);
    GFileJson converter(snapshot());
    QJsonArray list;
    File file;
    for (const qint64 id : ids)
        if (id > 0 && files.get(obx_id(id), file))
            list.append(converter.fileToJson(file, true, &keys));
    tx.success();
    return list;
}

obx::Query<File> GFile::byProperty(const QString &userId, int property, const QString &agentId)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query(File_::user_id.equals(utf8(userId)));
    builder.with(File_::property_type.equals(property));
    builder.with(File_::draft.equals(false));
    if (!agentId.isEmpty())
        builder.with(File_::agent_id.equals(utf8(agentId)));
    return builder.build();
}

QJsonObject GFile::getFile(QString serverId)
{
    return single(obx::Box<File>(store).query(File_::server_id.equals(utf8(serverId))).build().findFirst());
}

QJsonObject GFile::getFileByCode(int code)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query(File_::user_id.equals(user.server_id));
    builder.with(File_::auto_code.equals(code));
    builder.with(File_::draft.equals(false));
    if (agent.id != 0)
        builder.with(GFileFilter::agentVisibility(agent.server_id));
    return single(builder.build().findFirst());
}

QJsonObject GFile::getFileByLocalId(int id)
{
    return single(id > 0 ? obx::Box<File>(store).get(obx_id(id)) : nullptr);
}

int GFile::getFileLocalId(QString serverId)
{
    const std::vector<obx_id> ids = obx::Box<File>(store).query(File_::server_id.equals(utf8(serverId))).build().findIds();
    return ids.empty() ? 0 : int(ids.front());
}

// ---- Counts -----------------------------------------------------------------------------------

int GFile::getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query();
    buildFilterQuery(builder, tradeType, propertyType, filters, QString(), userId);
    if (seen)
        builder.with(File_::seen.equals(false));
    return int(builder.build().count());
}

int GFile::getFilesCountWithDrafts(int tradeType, int propertyType, QJsonArray filters)
{
    obx::Transaction tx = store.txRead();
    const int files = getFilesCount(tradeType, propertyType, filters, false, QString());
    obx::QueryBuilder<File> drafts = obx::Box<File>(store).query();
    GFileFilter(user, agent).apply(drafts, tradeType, propertyType, filters, QString(), QString(), true);
    const int count = files + int(drafts.build().count());
    tx.success();
    return count;
}

int GFile::getFilesCountByUser(QString userId, QString agentId)
{
    obx::QueryBuilder<File> builder =
        obx::Box<File>(store).query(File_::user_id.equals(userId.isEmpty() ? user.server_id : utf8(userId)));
    builder.with(File_::draft.equals(false));
    if (!agentId.isEmpty())
        builder.with(File_::agent_id.equals(utf8(agentId)));
    return int(builder.build().count());
}

int GFile::getDueFilesCount(QString start, QString end)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query(File_::user_id.equals(user.server_id));
    builder.with(File_::trade_type.equals(kDueTradeType));
    builder.with(File_::deleted.equals(false));
    builder.with(File_::draft.equals(false));
    builder.with(File_::date.between(whole(start), whole(end)));
    if (agent.id != 0)
        builder.with(GFileFilter::agentVisibility(agent.server_id));
    return int(builder.build().count());
}

int GFile::getOfflineCount()
{
    return int(obx::Box<File>(store)
                   .query(File_::user_id.equals(user.server_id))
                   .with(File_::draft.equals(true))
                   .build()
                   .count());
}

int GFile::getOldFilesCount(qlonglong time)
{
    obx::QueryBuilder<File> builder = obx::Box<File>(store).query(File_::user_id.equals(user.server_id));
    builder.with(File_::deleted.equals(false));
    builder.with(File_::date.between(0, time - kOneMonth));
    builder.with(File_::trade_type.between(1, kLastActiveTrade));
    builder.with(File_::draft.equals(false));
    if (agent.id != 0)
        builder.with(File_::agent_id.equals(agent.server_id));
    else
        builder.with(GFileFilter::ownersFiles(user.server_id));
    return int(builder.build().count());
}

} // namespace UGENERAL
