#include "store/gdatabase.h"

#include "repositories/gactivity.h"
#include "repositories/gcontact.h"
#include "repositories/gdistrict.h"
#include "repositories/gfile.h"
#include "repositories/gform.h"
#include "repositories/ghashtag.h"
#include "repositories/gnote.h"
#include "repositories/gshelves.h"
#include "repositories/gtavorlin.h"
#include "repositories/guser.h"
#include "store/sharedstate.h"
#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/file.h"
#include "store/fileactivity.h"
#include "store/hashtag.h"
#include "store/note.h"
#include "store/scroll.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "store/user.h"
#include "sync/synclist.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QtConcurrent>

#include <algorithm>

namespace UGENERAL {

namespace {

// A stale compiled-QML cache entry that an old build left behind.
const char *const kStaleQmlCacheFile = "b1a7c4f09e2d4c6a8e3f5b7d9c1e2f3a4b5c6d7e8f9a0b1c2d3e4f5a6b7c8d9e";

template <class Repo> Repo make()
{
    return Repo(sharedSnapshot());
}

} // namespace

// ---- Construction, the store's life cycle ---------------------------------------------------

GDatabase::GDatabase(QObject *parent) : QObject(parent)
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/qmlcache/");
    if (QDir(dir).exists())
        QFile::remove(dir + QString::fromLatin1(kStaleQmlCacheFile));
    // Called on whichever thread committed; the writes that come while the one call waits for
    // the GUI thread go out with it.
    filesListener_ = addFilesListener([this] {
        if (!filesPending_.exchange(true))
            QMetaObject::invokeMethod(this, [this] {
                filesPending_ = false;
                Q_EMIT filesChanged();
            }, Qt::QueuedConnection);
    });
}

GDatabase::~GDatabase()
{
    removeFilesListener(filesListener_);
    waitForTasks();
    if (sharedStore())
        closeDatabase();
}

std::string GDatabase::databasePathFor(const QString &base)
{
    QDir dir(base);
    if (base.endsWith(QLatin1String("tavorlin"))) {
        if (!QDir(base + QStringLiteral("/database")).exists())
            dir.mkdir(QStringLiteral("database"));
        const QString path = base + QStringLiteral("/database/v1");
        if (!QDir(path).exists())
            QDir(base + QStringLiteral("/database")).mkdir(QStringLiteral("v1"));
        return path.toStdString();
    }
    if (!QDir(base + QStringLiteral("/Tavorlin/")).exists())
        dir.mkdir(QStringLiteral("Tavorlin"));
    if (!QDir(base + QStringLiteral("/Tavorlin/tavorlin/")).exists())
        QDir(base + QStringLiteral("/Tavorlin")).mkdir(QStringLiteral("tavorlin"));
    if (!QDir(base + QStringLiteral("/Tavorlin/tavorlin/database")).exists())
        QDir(base + QStringLiteral("/Tavorlin/tavorlin")).mkdir(QStringLiteral("database"));
    const QString path = base + QStringLiteral("/Tavorlin/tavorlin/database/v1");
    if (!QDir(path).exists())
        QDir(base + QStringLiteral("/Tavorlin/tavorlin/database")).mkdir(QStringLiteral("v1"));
    return path.toStdString();
}

std::string GDatabase::getDatabasePath()
{
    // The store is opened before the application names are set, and reset after; both must
    // see one directory, so it is resolved once, from the identity the program registers.
    static const std::string path = databasePathFor(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tavorlin/tavorlin"));
    return path;
}

OBX_store_options *GDatabase::getOptions()
{
    return storeOptions(getDatabasePath());
}

void GDatabase::openStore()
{
    openSharedStore(getDatabasePath());
}

void GDatabase::initial()
{
    guarded("initial", [] {
        std::unique_ptr<User> owner;
        std::unique_ptr<User> agent;
        if (std::shared_ptr<obx::Store> store = sharedStore()) {
            obx::Transaction tx = store->txRead();
            obx::Box<User> users(*store);
            std::unique_ptr<User> current = users.query(User_::current.equals(true)).build().findFirst();
            if (current && current->parent_id != 0) {
                owner = users.get(current->parent_id);
                agent = std::move(current);
            } else {
                owner = std::move(current);
            }
        }
        setSharedUsers(std::move(owner), std::move(agent));
    });
}

void GDatabase::closeDatabase()
{
    closeSharedStore();
    setSharedUsers(nullptr, nullptr);
}

int GDatabase::filesRevision() const
{
    return int(UGENERAL::filesRevision());
}

bool GDatabase::isOpen()
{
    return sharedStore() != nullptr;
}

void GDatabase::removeDb()
{
    guarded("removeDb", [] {
        std::string directory = sharedStoreDirectory();
        if (directory.empty())
            directory = getDatabasePath();
        closeSharedStore();
        // The cached rows belong to the deleted store; keeping them would stamp and filter with
        // an account that no longer exists.
        setSharedUsers(nullptr, nullptr);
        if (obx_remove_db_files(directory.c_str()) != OBX_SUCCESS)
            obx::throwLastError();
        openSharedStore(directory);
    });
}

bool GDatabase::deleteAllTables()
{
    return true;
}

// ---- The frame --------------------------------------------------------------------------------

void GDatabase::report(const char *slot, const std::exception &e)
{
    qWarning().noquote() << "GDatabase::" << slot << "failed:" << e.what();
    Q_EMIT error(QString::fromUtf8(e.what()), QString::fromLatin1(slot));
}

bool GDatabase::guarded(const char *slot, const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        report(slot, e);
        return false;
    }
}

template <class Repo, class R, class Op>
R GDatabase::run(const char *slot, R fallback, Op &&op)
{
    try {
        Repo repository = make<Repo>();
        return op(repository);
    } catch (const std::exception &e) {
        report(slot, e);
        return fallback;
    }
}

template <class Repo, class Op>
bool GDatabase::call(const char *slot, Op &&op)
{
    return guarded(slot, [&] {
        Repo repository = make<Repo>();
        op(repository);
    });
}

void GDatabase::startTask(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> lock(tasksMutex_);
        ++runningTasks_;
    }
    QtConcurrent::run(QThreadPool::globalInstance(), [this, task = std::move(task)] {
        task();
        std::lock_guard<std::mutex> lock(tasksMutex_);
        if (--runningTasks_ == 0)
            tasksDone_.notify_all();
    });
}

void GDatabase::waitForTasks()
{
    std::unique_lock<std::mutex> lock(tasksMutex_);
    tasksDone_.wait(lock, [this] { return runningTasks_ == 0; });
}

template <class Repo, class R, class Op>
void GDatabase::inPool(const char *slot, R fallback, Op op, void (GDatabase::*answer)(R))
{
    startTask([this, slot, fallback, op, answer]() mutable {
        R result = run<Repo>(slot, fallback, op);
        Q_EMIT(this->*answer)(result);
    });
}

template <class Repo, class Op>
void GDatabase::saveInPool(const char *slot, Op op, void (GDatabase::*saved)())
{
    startTask([this, slot, op, saved]() mutable {
        call<Repo>(slot, op);
        Q_EMIT(this->*saved)();
    });
}

GUser GDatabase::getUserDb() { return make<GUser>(); }
GDistrict GDatabase::getDistrictDb() { return make<GDistrict>(); }
GHashtag GDatabase::getHashtagDb() { return make<GHashtag>(); }
GTavorlin GDatabase::getTavorlinDb() { return make<GTavorlin>(); }
GShelves GDatabase::getShelvesDb() { return make<GShelves>(); }
GFile GDatabase::getFileDb() { return make<GFile>(); }
GForm GDatabase::getFormDb() { return make<GForm>(); }
GActivity GDatabase::getActivityDb() { return make<GActivity>(); }
GNote GDatabase::getNoteDb() { return make<GNote>(); }
GContact GDatabase::getContactDb() { return make<GContact>(); }

// ---- The form catalogue -----------------------------------------------------------------------

const char *const GDatabase::kCatalogueResource = ":/platform/general/module/databaseResources/database.json";

namespace {

const char *const kCardFailed = "error inserting card more detail already logged!";

// A catalogue flag: only the number 1 counts (a JSON true reads as 0).
bool isOne(const QJsonObject &object, const QString &key)
{
    return GJson::integer(object, key) == 1;
}

// The catalogue's root array, or an empty text; otherwise what is wrong with the file.
QString readCatalogue(const QString &path, QJsonArray &cards)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError)
        return QStringLiteral("%1 is not JSON: %2 at offset %3").arg(path, parse.errorString()).arg(parse.offset);
    if (!document.isArray())
        return QStringLiteral("%1 does not hold an array of cards").arg(path);
    cards = document.array();
    return QString();
}

} // namespace

bool GDatabase::initialDatabase()
{
    return seedCatalogueFile(QString::fromLatin1(kCatalogueResource));
}

bool GDatabase::seedCatalogueFile(const QString &path)
{
    QJsonArray cards;
    const QString problem = readCatalogue(path, cards);
    if (!problem.isEmpty()) {
        // Reporting success here would leave the forms empty for good behind the seeded flag.
        const QString message = QStringLiteral("error reading the form catalogue: ") + problem;
        qWarning().noquote() << message;
        Q_EMIT error(message, QStringLiteral("initialDatabase"));
        return false;
    }
    return seedCatalogue(cards);
}

bool GDatabase::seedCatalogue(const QJsonArray &cards)
{
    QString problem;
    if (cards.isEmpty())
        problem = QStringLiteral("error reading the form catalogue: it holds no cards");
    for (int i = 0; problem.isEmpty() && i < cards.size(); ++i)
        if (!cards.at(i).isObject())
            problem = QStringLiteral("error reading the form catalogue: entry %1 is not a card").arg(i + 1);
    if (!problem.isEmpty()) {
        qWarning().noquote() << problem;
        Q_EMIT error(problem, QStringLiteral("initialDatabase"));
        return false;
    }

    bool cardFailed = false;
    const bool ran = guarded("initialDatabase", [&] {
        std::shared_ptr<obx::Store> store = sharedStore();
        if (!store)
            throw obx::DbException("Store is closed", OBX_ERROR_ILLEGAL_STATE);
        obx::Transaction tx = store->txWrite();
        obx::Box<Card> cardBox(*store);
        obx::Box<ToggleField> toggleBox(*store);
        obx::Box<InputField> inputBox(*store);
        // Seeding again (the seeded flag lost with the settings) would show every card twice.
        if (!cardBox.isEmpty()) {
            qDebug() << "the form catalogue is already stored";
            return;
        }
        for (const QJsonValue &card : cards) {
            if (!insertCard(card.toObject(), cardBox, inputBox, toggleBox)) {
                cardFailed = true;
                return; // the transaction ends unsaved: nothing of the catalogue is kept
            }
        }
        tx.success();
    });
    // Reported once the transaction is over, so that a handler may use the store.
    if (cardFailed)
        Q_EMIT error(QString::fromLatin1(kCardFailed), QStringLiteral("initialDatabase"));
    return ran && !cardFailed;
}

bool GDatabase::insertCard(const QJsonObject &card, obx::Box<Card> &cards, obx::Box<InputField> &inputs,
                           obx::Box<ToggleField> &toggles)
{
    try {
        Card record;
        record.title = GJson::utf8(card, QStringLiteral("title"));
        record.trade_type = GJson::int32(card, QStringLiteral("trade_type"));
        record.property_type = GJson::int32(card, QStringLiteral("property_type"));
        record.single_select = isOne(card, QStringLiteral("single_select"));
        for (const QJsonValue &input : card.value(QStringLiteral("inputs")).toArray())
            record.inputs.push_back(std::to_string(insertInputField(input.toObject(), inputs)));
        for (const QJsonValue &toggle : card.value(QStringLiteral("toggles")).toArray())
            record.toggles.push_back(std::to_string(insertToggleField(toggle.toObject(), inputs, toggles)));
        if (card.contains(QStringLiteral("stepper")))
            record.stepper = insertInputField(card.value(QStringLiteral("stepper")).toObject(), inputs);
        cards.put(record);
        return true;
    } catch (const std::exception &e) {
        qWarning().noquote() << "card" << GJson::integer(card, QStringLiteral("id")) << "not stored:" << e.what();
        return false;
    }
}

obx_id GDatabase::insertInputField(const QJsonObject &input, obx::Box<InputField> &inputs)
{
    const qint64 id = GJson::integer(input, QStringLiteral("id"));
    // Cards refer to inputs by this id, so an input without one would leave them pointing nowhere.
    if (id <= 0)
        throw obx::DbException("input field \"" + GJson::utf8(input, QStringLiteral("key")) + "\" has no valid id",
                               OBX_ERROR_ILLEGAL_ARGUMENT);
    if (inputs.contains(obx_id(id)))
        return obx_id(id);
    InputField record;
    record.id = obx_id(id);
    record.key = GJson::utf8(input, QStringLiteral("key"));
    record.parent_key = GJson::utf8(input, QStringLiteral("parent_key"));
    record.title = GJson::utf8(input, QStringLiteral("title"));
    record.request_title = GJson::utf8(input, QStringLiteral("request_title"));
    record.input_type = GJson::int16(input, QStringLiteral("input_type"));
    record.filter_type = GJson::int16(input, QStringLiteral("filter_type"));
    record.max_length = GJson::int16(input, QStringLiteral("max_length"));
    record.currency = isOne(input, QStringLiteral("currency"));
    record.single_line = isOne(input, QStringLiteral("single_line"));
    record.filter = isOne(input, QStringLiteral("filter"));
    return inputs.put(record);
}

obx_id GDatabase::insertToggleField(const QJsonObject &toggle, obx::Box<InputField> &inputs,
                                    obx::Box<ToggleField> &toggles)
{
    const int32_t key = GJson::int32(toggle, QStringLiteral("key"));
    const std::string parentKey = GJson::utf8(toggle, QStringLiteral("parent_key"));
    if (std::unique_ptr<ToggleField> existing =
            toggles.query(ToggleField_::key.equals(key) && ToggleField_::parent_key.equals(parentKey)).build().findFirst())
        return existing->id;
    ToggleField record;
    record.key = key;
    record.parent_key = parentKey;
    record.title = GJson::utf8(toggle, QStringLiteral("title"));
    record.request_title = GJson::utf8(toggle, QStringLiteral("request_title"));
    for (const QJsonValue &input : toggle.value(QStringLiteral("attachedInputs")).toArray())
        record.attached_inputs.push_back(std::to_string(insertInputField(input.toObject(), inputs)));
    for (const QJsonValue &child : toggle.value(QStringLiteral("attachedToggles")).toArray())
        record.attached_toggles.push_back(std::to_string(insertToggleField(child.toObject(), inputs, toggles)));
    return toggles.put(record);
}

// ---- Cities, scroll positions, user data --------------------------------------------------------

namespace {

obx::Store &openStoreOf(const SharedSnapshot &snapshot)
{
    if (!snapshot.store)
        throw obx::DbException("Store is closed", OBX_ERROR_ILLEGAL_STATE);
    return *snapshot.store;
}

// Removes every entry equal to doc; true when there was one.
bool dropDocument(std::vector<std::string> &documents, const std::string &doc)
{
    const auto end = std::remove(documents.begin(), documents.end(), doc);
    const bool removed = end != documents.end();
    documents.erase(end, documents.end());
    return removed;
}

// The owner's synchronised rows, in the order the fresh download refills them; one transaction,
// so a failure leaves every row in place.
void clearOwnerRows(const SharedSnapshot &snapshot)
{
    obx::Store &store = openStoreOf(snapshot);
    const User &owner = snapshot.user;
    if (owner.id == 0)
        return;
    const std::string &ownerId = owner.server_id;
    const std::string &notesOf = snapshot.agent.id != 0 ? snapshot.agent.server_id : ownerId;

    obx::Transaction tx = store.txWrite();
    obx::Box<User>(store)
        .query(User_::parent_id.equals(int64_t(owner.id)) && User_::logged_in.equals(false))
        .build()
        .remove();
    obx::Box<Contact>(store).query(Contact_::user_id.equals(int64_t(owner.id))).build().remove();
    obx::Box<District>(store).query(District_::user_id.equals(ownerId)).build().remove();
    obx::Box<HashTag>(store).query(HashTag_::user_id.equals(ownerId)).build().remove();
    obx::Box<Tavorlin>(store).query(Tavorlin_::user_id.equals(ownerId)).build().remove();
    obx::Box<Shelves>(store).query(Shelves_::user_id.equals(ownerId)).build().remove();
    obx::Box<Note>(store).query(Note_::user_id.equals(notesOf)).build().remove();
    std::vector<std::string> files;
    for (const auto &file : obx::Box<File>(store).query(File_::user_id.equals(ownerId)).build().find())
        files.push_back(file->server_id);
    GFile fileDb(snapshot);
    for (const std::string &serverId : files)
        fileDb.deleteFile(QString::fromStdString(serverId), -1, true);
    tx.success();
}

} // namespace

QJsonObject GDatabase::getCityJson(const City &city)
{
    return QJsonObject{
        {QStringLiteral("id"), double(city.id)},
        {QStringLiteral("_id"), QString::fromStdString(city.server_id)},
        {QStringLiteral("title"), QString::fromStdString(city.title)},
        {QStringLiteral("province_id"), QString()},
    };
}

void GDatabase::saveCities(QJsonArray cities)
{
    startTask([this, cities] {
        guarded("saveCities", [&] {
            obx::Store &store = openStoreOf(sharedSnapshot());
            obx::Transaction tx = store.txWrite();
            obx::Box<City> box(store);
            for (const QJsonValue &value : cities) {
                const QJsonObject item = value.toObject();
                if (GJson::text(item, QStringLiteral("province_ref")).isEmpty())
                    continue;
                City city;
                city.title = GJson::utf8(item, QStringLiteral("name"));
                city.server_id = GJson::utf8(item, QStringLiteral("_id"));
                city.version = GJson::int32(item, QStringLiteral("version"));
                // A city listed again replaces its row: a second row would break the unique server id.
                city.id = GRows::localId<City>(store, City_::server_id, city.server_id);
                box.put(city);
            }
            tx.success();
        });
    });
}

void GDatabase::getCities()
{
    startTask([this] {
        QJsonArray list;
        guarded("getCities", [&] {
            obx::Store &store = openStoreOf(sharedSnapshot());
            for (const auto &city : obx::Box<City>(store).getAll())
                list.append(getCityJson(*city));
        });
        Q_EMIT cityListReady(list);
    });
}

void GDatabase::clearUserData()
{
    // The sync dialog waits for userDataCleared, so it follows a failure too, after error.
    startTask([this] {
        guarded("clearUserData", [] { clearOwnerRows(sharedSnapshot()); });
        Q_EMIT userDataCleared();
    });
}

void GDatabase::removeDocument(QString doc, QJsonObject property, QJsonObject account, QJsonObject activity)
{
    guarded(__func__, [&] {
        obx::Store &store = openStoreOf(sharedSnapshot());
        const std::string path = doc.toStdString();
        const std::string fileId = GJson::utf8(property, QStringLiteral("file_id"));
        if (!fileId.empty()) {
            obx::Transaction tx = store.txWrite();
            obx::Box<File> files(store);
            std::unique_ptr<File> file = files.query(File_::server_id.equals(fileId)).build().findFirst();
            if (file && dropDocument(file->documents, path))
                files.put(*file);
            tx.success();
        }
        const std::string userId = GJson::utf8(account, QStringLiteral("user_id"));
        if (!userId.empty()) {
            obx::Transaction tx = store.txWrite();
            obx::Box<User> users(store);
            for (const auto &row : users.query(User_::server_id.equals(userId)).build().find()) {
                row->image.clear();
                users.put(*row);
            }
            tx.success();
        }
        const std::string activityId = GJson::utf8(activity, QStringLiteral("activity_id"));
        if (!activityId.empty()) {
            obx::Transaction tx = store.txWrite();
            obx::Box<FileActivity> activities(store);
            std::unique_ptr<FileActivity> row =
                activities.query(FileActivity_::server_id.equals(activityId)).build().findFirst();
            if (row && dropDocument(row->documents, path))
                activities.put(*row);
            tx.success();
        }
    });
}

void GDatabase::saveScrollPosition(qlonglong entityId, int entityType, int position, qlonglong)
{
    // One row per list, found by entity and type; the id the screen passes back names that row.
    guarded(__func__, [&] {
        obx::Store &store = openStoreOf(sharedSnapshot());
        obx::Transaction tx = store.txWrite();
        obx::Box<Scroll> scrolls(store);
        Scroll row;
        row.entityId = uint64_t(entityId);
        row.entityType = entityType;
        row.position = position;
        const std::vector<obx_id> ids =
            scrolls.query(Scroll_::entityId.equals(entityId) && Scroll_::entityType.equals(entityType)).build().findIds();
        if (!ids.empty())
            row.id = ids.front();
        scrolls.put(row);
        tx.success();
    });
}

QJsonObject GDatabase::getScrollPosition(qlonglong entityId, int entityType)
{
    std::unique_ptr<Scroll> row;
    guarded(__func__, [&] {
        obx::Store &store = openStoreOf(sharedSnapshot());
        row = obx::Box<Scroll>(store)
                  .query(Scroll_::entityId.equals(entityId) && Scroll_::entityType.equals(entityType))
                  .build()
                  .findFirst();
    });
    return QJsonObject{
        {QStringLiteral("id"), row ? double(row->id) : 0.0},
        {QStringLiteral("entitiy_id"), double(entityId)},
        {QStringLiteral("entity_type"), entityType},
        {QStringLiteral("position"), row ? row->position : 0},
    };
}

// ---- Files ------------------------------------------------------------------------------------

void GDatabase::saveFiles(QJsonArray files, qlonglong date) { call<GFile>(__func__, [&](GFile &db) { db.saveFiles(files, date); }); }
void GDatabase::saveColleagueFiles(QJsonArray files, int propertyType, QString userId) { call<GFile>(__func__, [&](GFile &db) { db.saveColleagueFiles(files, propertyType, userId); }); }
void GDatabase::initialSavePage(QString save, QVariant list)
{
    using Save = void (GDatabase::*)(QJsonArray, qlonglong);
    static const QHash<QString, Save> saves = {
        {QStringLiteral("initialSaveUsers"), &GDatabase::initialSaveUsers},
        {QStringLiteral("initialSaveContacts"), &GDatabase::initialSaveContacts},
        {QStringLiteral("initialSaveDistricts"), &GDatabase::initialSaveDistricts},
        {QStringLiteral("initialSaveHashtags"), &GDatabase::initialSaveHashtags},
        {QStringLiteral("initialSaveNotes"), &GDatabase::initialSaveNotes},
        {QStringLiteral("initialSaveActivities"), &GDatabase::initialSaveActivities},
        {QStringLiteral("initialSaveTavorlins"), &GDatabase::initialSaveTavorlins},
        {QStringLiteral("initialSaveShelves"), &GDatabase::initialSaveShelves},
        {QStringLiteral("initialSaveFiles"), &GDatabase::initialSaveFiles},
        {QStringLiteral("unseen"), &GDatabase::unseen},
    };
    const Save target = saves.value(save, nullptr);
    if (!target) {
        Q_EMIT error(QStringLiteral("no page save is named ") + save, QString::fromLatin1(__func__));
        return;
    }
    const QJsonArray records = list.userType() == qMetaTypeId<SyncList>() ? list.value<SyncList>().items()
                               : list.userType() == QMetaType::QJsonArray ? list.toJsonArray()
                                                                          : QJsonArray::fromVariantList(list.toList());
    (this->*target)(records, -1);
}

void GDatabase::initialSaveFiles(QJsonArray files, qlonglong date) { saveInPool<GFile>(__func__, [=](GFile &db) { db.saveFiles(files, date); }, &GDatabase::filesSaved); }
void GDatabase::initialUpdateSaveFiles(QJsonArray files, qlonglong date) { saveFiles(files, date); Q_EMIT filesSaved(); }
bool GDatabase::deleteFile(QString fileId, qlonglong date, bool withFile) { return run<GFile>(__func__, false, [&](GFile &db) { return db.deleteFile(fileId, date, withFile); }); }
bool GDatabase::deleteDraft(int fileId) { return run<GFile>(__func__, false, [&](GFile &db) { return db.deleteDraft(fileId); }); }
QJsonObject GDatabase::saveDraft(QJsonObject file, int replacedId)
{
    try {
        GFile files = make<GFile>();
        return QJsonObject{{QStringLiteral("id"), double(files.saveDraft(file, replacedId))}};
    } catch (const std::exception &e) {
        report(__func__, e);
        return QJsonObject{{QStringLiteral("error"), QString::fromUtf8(e.what())}};
    }
}
bool GDatabase::adColleagueFile(QString fileId, bool colleague, qlonglong date) { return run<GFile>(__func__, false, [&](GFile &db) { return db.adColleagueFile(fileId, colleague, date); }); }
bool GDatabase::pinFile(QString fileId, bool pinned, qlonglong date) { return run<GFile>(__func__, false, [&](GFile &db) { return db.pinFile(fileId, pinned, date); }); }
bool GDatabase::archiveFile(QString fileId, int tradeType, qlonglong archvieDate, qlonglong date) { return run<GFile>(__func__, false, [&](GFile &db) { return db.archiveFile(fileId, tradeType, archvieDate, date); }); }
bool GDatabase::moveFileToRecyclerbin(QString fileId, bool move, qlonglong date) { return run<GFile>(__func__, false, [&](GFile &db) { return db.moveFileToRecyclerbin(fileId, move, date); }); }
void GDatabase::getUnsyncedFiles(QString userId) { inPool<GFile>(__func__, QJsonArray(), [=](GFile &db) { return db.getUnsyncedFiles(userId); }, &GDatabase::fileListReady); }
void GDatabase::getDraftFiles(int) { inPool<GFile>(__func__, QJsonArray(), [=](GFile &db) { return db.getDraftFiles(); }, &GDatabase::fileListReady); }
void GDatabase::getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId) { inPool<GFile>(__func__, QJsonArray(), [=](GFile &db) { return db.getFiles(tradeType, propertyType, filters, orderBy, orderType, page, keyword, userId); }, &GDatabase::fileListReady); }
void GDatabase::getColleagueFiles(int tradeType, int propertyType, QJsonArray filterModels, QString orderBy, QString orderType, int page, QString keyword, QString userId) { inPool<GFile>(__func__, QJsonArray(), [=](GFile &db) { return db.getColleagueFiles(tradeType, propertyType, filterModels, orderBy, orderType, page, keyword, userId); }, &GDatabase::fileListReady); }
void GDatabase::getMapFiles(int tradeType, int propertyType, QJsonArray filters, QString userId) { inPool<GFile>(__func__, QJsonArray(), [=](GFile &db) { return db.getMapFiles(tradeType, propertyType, filters, userId); }, &GDatabase::fileListReady); }
QJsonArray GDatabase::getFilesByProperty(QString userId, int property, int page, QString agentId) { return run<GFile>(__func__, QJsonArray(), [&](GFile &db) { return db.getFilesByProperty(userId, property, page, agentId); }); }
QVector<qint64> GDatabase::getFileIdsByProperty(QString userId, int property, QString agentId) { return run<GFile>(__func__, QVector<qint64>(), [&](GFile &db) { return db.getFileIdsByProperty(userId, property, agentId); }); }
QJsonArray GDatabase::getFilesByIds(const QVector<qint64> &ids, const QSet<QString> &keys) { return run<GFile>(__func__, QJsonArray(), [&](GFile &db) { return db.getFilesByIds(ids, keys); }); }
QJsonObject GDatabase::getFile(QString serverId) { return run<GFile>(__func__, QJsonObject(), [&](GFile &db) { return db.getFile(serverId); }); }
QJsonObject GDatabase::getFileByLocalId(int fileId) { return run<GFile>(__func__, QJsonObject(), [&](GFile &db) { return db.getFileByLocalId(fileId); }); }
QJsonObject GDatabase::getFileByCode(int code) { return run<GFile>(__func__, QJsonObject(), [&](GFile &db) { return db.getFileByCode(code); }); }
int GDatabase::getFileLocalId(QString fileId) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getFileLocalId(fileId); }); }
int GDatabase::getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getFilesCount(tradeType, propertyType, filters, seen, userId); }); }
int GDatabase::getFilesCountWithDrafts(int tradeType, int propertyType, QJsonArray filters) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getFilesCountWithDrafts(tradeType, propertyType, filters); }); }
int GDatabase::getFilesCount(QString userId, QString agentId) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getFilesCountByUser(userId, agentId); }); }
int GDatabase::getDueFilesCount(QString start, QString end) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getDueFilesCount(start, end); }); }
int GDatabase::getOfflineCount(int) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getOfflineCount(); }); }
int GDatabase::getOldFilesCount(qlonglong time) { return run<GFile>(__func__, 0, [&](GFile &db) { return db.getOldFilesCount(time); }); }
void GDatabase::unseen(QJsonArray files, qlonglong date) { saveInPool<GFile>(__func__, [=](GFile &db) { db.unseen(files, date); }, &GDatabase::unseenSaved); }
bool GDatabase::fileSeen(int code) { return run<GFile>(__func__, false, [&](GFile &db) { return db.fileSeen(code); }); }
bool GDatabase::fileUnSeen(int code) { return run<GFile>(__func__, false, [&](GFile &db) { return db.fileUnSeen(code); }); }
void GDatabase::deleteFileImage(QString fileId, QString path) { call<GFile>(__func__, [&](GFile &db) { db.deleteFileImage(fileId, path); }); }
void GDatabase::deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters) { call<GFile>(__func__, [&](GFile &db) { db.deleteFilesByFilter(tradeType, propertyType, filters); }); }
bool GDatabase::savefileMatchTag(QString fileId, QString requestId, int tag) { return run<GFile>(__func__, false, [&](GFile &db) { return db.savefileMatchTag(fileId, requestId, tag); }); }

// ---- Users and agents -----------------------------------------------------------------------------

void GDatabase::saveUsers(QJsonArray users, qlonglong date)
{
    if (run<GUser>(__func__, false, [&](GUser &db) { return db.saveUsers(users, date); }))
        initial();
}
void GDatabase::initialSaveUsers(QJsonArray users, qlonglong date) { startTask([this, users, date] { saveUsers(users, date); Q_EMIT usersSaved(); }); }
void GDatabase::initialUpdateSaveUsers(QJsonArray users, qlonglong date) { saveUsers(users, date); Q_EMIT usersSaved(); }
int GDatabase::saveUser(QJsonObject user, bool login)
{
    const SharedSnapshot before = sharedSnapshot();
    const int id = int(run<GUser>(__func__, qint64(0), [&](GUser &db) { return db.saveUser(user, login); }));
    // Later repositories must copy the new values of the cached account.
    if (before.user.id != 0 && id > 0
        && ((before.agent.id != 0 && obx_id(id) == before.agent.id) || obx_id(id) == before.user.id))
        initial();
    return id;
}
int GDatabase::updateAgentNameFamily(int userId, QString nameFamily, QString mobile_1, QString mobile_2, QString phone_1, QString phone_2, QString cityId, QString email, qlonglong date) { return int(run<GUser>(__func__, qint64(-1), [&](GUser &db) { return db.updateAgentNameFamily(userId, nameFamily, mobile_1, mobile_2, phone_1, phone_2, cityId, email, date); })); }
QJsonObject GDatabase::saveUserImage(QString image, int userId) { return run<GUser>(__func__, QJsonObject(), [&](GUser &db) { return db.saveUserImage(image, userId); }); }
void GDatabase::deleteUserImage(int userId) { call<GUser>(__func__, [&](GUser &db) { db.deleteUserImage(userId); }); }
void GDatabase::deleteAgent(QString userId, QString agentId, qlonglong date) { call<GUser>(__func__, [&](GUser &db) { db.deleteAgent(userId, agentId, date); }); }
void GDatabase::editAgentNumber(QString userId, QString agentId, QString receivedId, qlonglong date) { call<GUser>(__func__, [&](GUser &db) { db.editAgentNumber(userId, agentId, receivedId, date); }); }
bool GDatabase::updateAgent(QString serverId, int access, int type, qlonglong date) { return run<GUser>(__func__, false, [&](GUser &db) { return db.updateAgent(serverId, access, type, date); }); }
QJsonObject GDatabase::currentUser() { return run<GUser>(__func__, QJsonObject(), [&](GUser &db) { return db.currentUser(); }); }
bool GDatabase::changeCurrentUser(int userId) { return run<GUser>(__func__, false, [&](GUser &db) { return db.changeCurrentUser(userId); }); }
QJsonArray GDatabase::getLoggedInUsers() { return run<GUser>(__func__, QJsonArray(), [&](GUser &db) { return db.getLoggedInUsers(); }); }
bool GDatabase::updateDate(qlonglong date, int userId) { return run<GUser>(__func__, false, [&](GUser &db) { return db.updateDate(date, userId); }); }
QString GDatabase::getUpdateDate(int userId) { return run<GUser>(__func__, QString(), [&](GUser &db) { return db.getUpdateDate(userId); }); }
bool GDatabase::getUpdateSuccessful(int) { return true; }
void GDatabase::getAgents(int userId) { inPool<GUser>(__func__, QJsonArray(), [=](GUser &db) { return db.getAgentList(userId); }, &GDatabase::agentListReady); }
QJsonArray GDatabase::getAgentList(int userId) { return run<GUser>(__func__, QJsonArray(), [&](GUser &db) { return db.getAgentList(userId); }); }
int GDatabase::getAgentsCount(int userId) { return run<GUser>(__func__, 0, [&](GUser &db) { return db.getAgentsCount(userId); }); }
QJsonObject GDatabase::getUserById(QString serverId) { return run<GUser>(__func__, QJsonObject(), [&](GUser &db) { return db.getUserById(serverId); }); }
bool GDatabase::logIn(int userId) { return run<GUser>(__func__, false, [&](GUser &db) { return db.logIn(userId); }); }
bool GDatabase::logOut(int userId) { return run<GUser>(__func__, false, [&](GUser &db) { return db.logOut(userId); }); }

// ---- Forms ------------------------------------------------------------------------------------

QJsonArray GDatabase::getTradeTypes() { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getTradeTypes(); }); }
QJsonArray GDatabase::getReportCount(QJsonArray filter) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getReportCount(filter); }); }
QJsonArray GDatabase::getPropertyTypes(int tradeType, QJsonObject filter) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getPropertyTypes(tradeType, filter); }); }
QJsonArray GDatabase::getPropertyTabLayout(int tradeType, QJsonArray filters) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getPropertyTabLayout(tradeType, filters); }); }
QJsonArray GDatabase::getFormCards(int tradeType, int propertyType) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getFormCards(tradeType, propertyType); }); }
QJsonArray GDatabase::getSettingsCards() { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getSettingsCards(); }); }
void GDatabase::saveFormSettings(QJsonArray settings, QString userId, qlonglong date) { call<GForm>(__func__, [&](GForm &db) { db.saveFormSettings(settings, userId, date); }); initial(); }
bool GDatabase::addInvisibleToggle(int toggleId, QString userId) { const bool added = run<GForm>(__func__, false, [&](GForm &db) { return db.addInvisibleToggle(toggleId, userId); }); initial(); return added; }
QJsonArray GDatabase::getInvisibleToggles(QString userId) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getInvisibleToggles(userId); }); }
QJsonObject GDatabase::getFieldByKeys(QString key, QString parentKey, bool isToggle) { return run<GForm>(__func__, QJsonObject(), [&](GForm &db) { return db.getFieldByKeys(key, parentKey, isToggle); }); }
QJsonArray GDatabase::getFieldByParent(QString parent, bool isToggle) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getFieldByParent(parent, isToggle); }); }
QJsonArray GDatabase::getInputCards(int propertyType) { return run<GForm>(__func__, QJsonArray(), [&](GForm &db) { return db.getInputCards(propertyType); }); }

// ---- Districts --------------------------------------------------------------------------------

void GDatabase::saveDistricts(QJsonArray districts, qlonglong date) { call<GDistrict>(__func__, [&](GDistrict &db) { db.saveDistricts(districts, date); }); }
void GDatabase::initialSaveDistricts(QJsonArray districts, qlonglong date) { saveInPool<GDistrict>(__func__, [=](GDistrict &db) { db.saveDistricts(districts, date); }, &GDatabase::districtsSaved); }
void GDatabase::initialUpdateSaveDistricts(QJsonArray districts, qlonglong date) { saveDistricts(districts, date); Q_EMIT districtsSaved(); }
bool GDatabase::saveDistrict(QJsonObject district, bool edit) { return run<GDistrict>(__func__, false, [&](GDistrict &db) { return db.saveDistrict(district, edit); }); }
bool GDatabase::deleteDistrict(QString districtId, qlonglong date) { return run<GDistrict>(__func__, false, [&](GDistrict &db) { return db.remove(districtId, date); }); }
void GDatabase::getDistricts(int) { inPool<GDistrict>(__func__, QJsonArray(), [=](GDistrict &db) { return db.getDistricts(); }, &GDatabase::districtListReady); }
QJsonObject GDatabase::getSingleDistrict(QString serverId, int districtId) { return run<GDistrict>(__func__, QJsonObject(), [&](GDistrict &db) { return db.getSingleDistrict(serverId, districtId); }); }
QJsonObject GDatabase::findDistrict(QString title) { return run<GDistrict>(__func__, QJsonObject(), [&](GDistrict &db) { return db.findDistrict(title); }); }

// ---- Hashtags ---------------------------------------------------------------------------------

void GDatabase::saveHashtags(QJsonArray hashtags, qlonglong date) { call<GHashtag>(__func__, [&](GHashtag &db) { db.saveHashtags(hashtags, date); }); }
void GDatabase::initialSaveHashtags(QJsonArray hashtags, qlonglong date) { saveInPool<GHashtag>(__func__, [=](GHashtag &db) { db.saveHashtags(hashtags, date); }, &GDatabase::hashtagsSaved); }
void GDatabase::initialUpdateSaveHashtags(QJsonArray hashtags, qlonglong date) { saveHashtags(hashtags, date); Q_EMIT hashtagsSaved(); }
bool GDatabase::saveHashtag(QJsonObject hashtag, bool edit) { return run<GHashtag>(__func__, false, [&](GHashtag &db) { return db.saveHashtag(hashtag, edit); }); }
bool GDatabase::deleteHashtag(QString hashtagId, qlonglong date) { return run<GHashtag>(__func__, false, [&](GHashtag &db) { return db.remove(hashtagId, date); }); }
void GDatabase::getHashTags(int) { inPool<GHashtag>(__func__, QJsonArray(), [=](GHashtag &db) { return db.getHashTags(); }, &GDatabase::hashTagListReady); }
QJsonArray GDatabase::getHashTagFilters(int) { return run<GHashtag>(__func__, QJsonArray(), [&](GHashtag &db) { return db.getHashTags(); }); }
QJsonArray GDatabase::getHashtagFileList(QString fileId) { return run<GHashtag>(__func__, QJsonArray(), [&](GHashtag &db) { return db.getHashtagFileList(fileId); }); }
QJsonObject GDatabase::getSingleHashTag(QString serverId, int hashtagId) { return run<GHashtag>(__func__, QJsonObject(), [&](GHashtag &db) { return db.getSingleHashTag(serverId, hashtagId); }); }
bool GDatabase::saveFileHashTags(QJsonObject data, qlonglong date) { return run<GHashtag>(__func__, false, [&](GHashtag &db) { return db.saveFileHashTags(data, date); }); }

// ---- Notes and tasks ----------------------------------------------------------------------------

void GDatabase::saveNotes(QJsonArray notes, qlonglong date) { call<GNote>(__func__, [&](GNote &db) { db.saveNotes(notes, date); }); }
void GDatabase::initialSaveNotes(QJsonArray notes, qlonglong date) { saveInPool<GNote>(__func__, [=](GNote &db) { db.saveNotes(notes, date); }, &GDatabase::notesSaved); }
void GDatabase::initialUpdateSaveNotes(QJsonArray notes, qlonglong date) { saveNotes(notes, date); Q_EMIT notesSaved(); }
bool GDatabase::saveNote(QJsonObject note, bool edit) { return run<GNote>(__func__, false, [&](GNote &db) { return db.saveNote(note, edit); }); }
bool GDatabase::deleteNote(QString noteId, qlonglong date) { return run<GNote>(__func__, false, [&](GNote &db) { return db.remove(noteId, date); }); }
void GDatabase::getNotes(int) { Q_EMIT noteListReady(run<GNote>(__func__, QJsonArray(), [&](GNote &db) { return db.getNotes(); })); }
int GDatabase::todayNoteCount(qlonglong startDate, qlonglong endDate) { return run<GNote>(__func__, 0, [&](GNote &db) { return db.todayNoteCount(startDate, endDate); }); }

// ---- File activities ----------------------------------------------------------------------------

void GDatabase::saveActivities(QJsonArray activities, qlonglong date) { call<GActivity>(__func__, [&](GActivity &db) { db.saveActivities(activities, date); }); }
void GDatabase::initialSaveActivities(QJsonArray activities, qlonglong date) { saveInPool<GActivity>(__func__, [=](GActivity &db) { db.saveActivities(activities, date); }, &GDatabase::activitiesSaved); }
void GDatabase::initialUpdateSaveActivities(QJsonArray activities, qlonglong date) { saveActivities(activities, date); Q_EMIT activitiesSaved(); }
bool GDatabase::saveActivity(QJsonObject activity, bool edit, qlonglong date) { return run<GActivity>(__func__, false, [&](GActivity &db) { return db.saveActivity(activity, edit, date); }); }
bool GDatabase::deleteActivity(QString activityId, qlonglong date) { return run<GActivity>(__func__, false, [&](GActivity &db) { return db.remove(activityId, date); }); }
void GDatabase::getActivities(QString fileId) { inPool<GActivity>(__func__, QJsonArray(), [=](GActivity &db) { return db.getActivities(fileId); }, &GDatabase::activityListReady); }

// ---- Contacts ---------------------------------------------------------------------------------

void GDatabase::saveContacts(QJsonArray contacts, qlonglong date) { call<GContact>(__func__, [&](GContact &db) { db.saveContacts(contacts, date); }); }
void GDatabase::initialSaveContacts(QJsonArray contacts, qlonglong date) { saveInPool<GContact>(__func__, [=](GContact &db) { db.saveContacts(contacts, date); }, &GDatabase::contactsSaved); }
void GDatabase::initialUpdateSaveContacts(QJsonArray contacts, qlonglong date) { saveContacts(contacts, date); Q_EMIT contactsSaved(); }
bool GDatabase::saveContact(QJsonObject contact, bool checkUser, bool initial) { return run<GContact>(__func__, false, [&](GContact &db) { return db.saveContact(contact, checkUser, initial); }); }
bool GDatabase::deleteContact(QString contactId) { return run<GContact>(__func__, false, [&](GContact &db) { return db.remove(contactId); }); }
QJsonObject GDatabase::getContact(QString serverId, QString mobile) { return run<GContact>(__func__, QJsonObject(), [&](GContact &db) { return db.getContact(serverId, mobile); }); }
void GDatabase::getContacts(int type, int page, QString keyword, int userId) { inPool<GContact>(__func__, QJsonArray(), [=](GContact &db) { return db.getContacts(type, page, keyword, userId); }, &GDatabase::contactListReady); }
QJsonArray GDatabase::getContactsByType(int userId, int type) { return run<GContact>(__func__, QJsonArray(), [&](GContact &db) { return db.getContactsByType(type, userId); }); }
int GDatabase::getContactFileCount(QString id) { return run<GContact>(__func__, 0, [&](GContact &db) { return db.getContactFileCount(id); }); }
int GDatabase::getContactsCount(int userId) { return run<GContact>(__func__, 0, [&](GContact &db) { return db.getContactsCount(userId); }); }

// ---- Tavorlin boards ----------------------------------------------------------------------------

void GDatabase::saveTavorlins(QJsonArray tavorlins, qlonglong date) { call<GTavorlin>(__func__, [&](GTavorlin &db) { db.saveAll(tavorlins, date); }); }
void GDatabase::initialSaveTavorlins(QJsonArray tavorlins, qlonglong date) { saveInPool<GTavorlin>(__func__, [=](GTavorlin &db) { db.saveAll(tavorlins, date); }, &GDatabase::tavorlinsSaved); }
void GDatabase::initialUpdateSaveTavorlins(QJsonArray tavorlins, qlonglong date) { saveTavorlins(tavorlins, date); Q_EMIT tavorlinsSaved(); }
bool GDatabase::saveTavorlin(QJsonObject tavorlin) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.save(tavorlin); }); }
bool GDatabase::saveOrder(int tavorlinId, QString orderField, QString orderType) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.saveOrder(tavorlinId, orderField, orderType); }); }
bool GDatabase::editTavorlin(QString tavorlinId, int color, QString name, qlonglong date) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.edit(tavorlinId, color, name, date); }); }
bool GDatabase::deleteTavorlin(QString tavorlinId, qlonglong date) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.remove(tavorlinId, date); }); }
bool GDatabase::saveDefaultTavorlinId(int tavorlinId, QString serverId) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.saveDefaultId(tavorlinId, serverId); }); }
void GDatabase::saveDefaultTavorlins() { saveInPool<GTavorlin>(__func__, [=](GTavorlin &db) { db.saveDefaults(); }, &GDatabase::tavorlinsSaved); }
void GDatabase::getTavorlinsCount(QJsonArray tavorlins) { inPool<GTavorlin>(__func__, QJsonArray(), [=](GTavorlin &db) { return db.getCounts(tavorlins); }, &GDatabase::tavorlinCountsReady); }
void GDatabase::getTavorlinsExist() { inPool<GTavorlin>(__func__, QJsonArray(), [=](GTavorlin &db) { return db.getExist(); }, &GDatabase::TavorlinListReady); }
void GDatabase::getAllTavorlins(QString shelvesId, int userId) { inPool<GTavorlin>(__func__, QJsonArray(), [=](GTavorlin &db) { return db.getAll(shelvesId, userId); }, &GDatabase::TavorlinListReady); }
void GDatabase::changeTavorlinPosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId) { call<GTavorlin>(__func__, [&](GTavorlin &db) { db.changePosition(startPosition, endPosition, shelvesId, tavorlinId); }); }
QJsonObject GDatabase::getTavorlin(QString serverId, int tavorlinId) { return run<GTavorlin>(__func__, QJsonObject(), [&](GTavorlin &db) { return db.get(serverId, tavorlinId); }); }
QJsonArray GDatabase::getTavorlinAccessList(QString tavorlinId, QString userId) { return run<GTavorlin>(__func__, QJsonArray(), [&](GTavorlin &db) { return db.getAccessList(tavorlinId, userId); }); }
bool GDatabase::saveAgentTavorlinAccess(QJsonObject data, qlonglong date) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.saveAgentAccess(data, date); }); }
bool GDatabase::saveTavorlinAgentAccess(QString shelvesId, QJsonArray access, qlonglong date) { return run<GTavorlin>(__func__, false, [&](GTavorlin &db) { return db.saveAgentAccessList(shelvesId, access, date); }); }

// ---- Shelves ----------------------------------------------------------------------------------

void GDatabase::saveShelves(QJsonArray shelvesList, qlonglong date) { call<GShelves>(__func__, [&](GShelves &db) { db.saveAll(shelvesList, date); }); }
void GDatabase::initialSaveShelves(QJsonArray shelvesList, qlonglong date) { saveInPool<GShelves>(__func__, [=](GShelves &db) { db.saveAll(shelvesList, date); }, &GDatabase::shelvesSaved); }
void GDatabase::initialUpdateSaveShelves(QJsonArray shelvesList, qlonglong date) { saveShelves(shelvesList, date); Q_EMIT shelvesSaved(); }
bool GDatabase::saveShelf(QJsonObject shelves, bool addTavorlins) { return run<GShelves>(__func__, false, [&](GShelves &db) { return db.save(shelves, addTavorlins); }); }
bool GDatabase::deleteShelf(QString shelfId) { return run<GShelves>(__func__, false, [&](GShelves &db) { return db.remove(shelfId); }); }
void GDatabase::getShelvesList(QString userId) { Q_EMIT shelvesListReady(run<GShelves>(__func__, QJsonArray(), [&](GShelves &db) { return db.getList(userId); })); }
QJsonArray GDatabase::getShelvesAccessList(QString shelfId, QString userId) { return run<GShelves>(__func__, QJsonArray(), [&](GShelves &db) { return db.getAccessList(shelfId, userId); }); }
QJsonObject GDatabase::getShelves(QString serverId, int shelvesId) { return run<GShelves>(__func__, QJsonObject(), [&](GShelves &db) { return db.get(serverId, shelvesId); }); }
void GDatabase::getShelvesTavorlins(QString shelvesId, QString userId) { inPool<GShelves>(__func__, QJsonArray(), [=](GShelves &db) { return db.getTavorlins(shelvesId, userId); }, &GDatabase::TavorlinListReady); }
void GDatabase::changeShelvesTavorlins(QString shelvesId, QList<QString> tavorlinsToAdd, QList<QString> tavorlinsToRemove, qlonglong date) { call<GShelves>(__func__, [&](GShelves &db) { db.changeTavorlins(shelvesId, tavorlinsToAdd, tavorlinsToRemove, date); }); }
bool GDatabase::saveAgentShelfAccess(QJsonObject data, qlonglong date) { return run<GShelves>(__func__, false, [&](GShelves &db) { return db.saveAgentAccess(data, date); }); }
bool GDatabase::saveShelfAgentAccess(QString shelvesId, QJsonArray access, qlonglong date) { return run<GShelves>(__func__, false, [&](GShelves &db) { return db.saveAgentAccessList(shelvesId, access, date); }); }
void GDatabase::changeShelvesPosition(QJsonArray positions) { call<GShelves>(__func__, [&](GShelves &db) { db.changePositions(positions); }); }

} // namespace UGENERAL
