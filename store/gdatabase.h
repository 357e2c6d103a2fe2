#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <type_traits>

#include "store/card.h"
#include "store/city.h"
#include "store/inputfield.h"
#include "store/obx/obx.h"
#include "store/togglefield.h"

namespace UGENERAL {

class GUser;
class GDistrict;
class GHashtag;
class GTavorlin;
class GShelves;
class GFile;
class GForm;
class GActivity;
class GNote;
class GContact;

// The one object through which QML reads and writes the local store. Each slot runs one
// repository operation (or one of the object's own store operations), either on the calling
// thread, returning its result, or on Qt's global thread pool, answering with a signal.
// A store failure never escapes a slot: it is logged, reported through error(message, slot)
// and answered with the slot's failure result, so no caller waits for an answer forever.
class GDatabase : public QObject
{
    Q_OBJECT
    // Moves after every committed write of files or their child rows, from any thread; screens
    // that show files or counts read again when it moved and they are seen.
    Q_PROPERTY(int filesRevision READ filesRevision NOTIFY filesChanged)
public:
    explicit GDatabase(QObject *parent = nullptr);
    ~GDatabase() override;

    // The store directory as UTF-8 text, resolved once for the process and created on the way.
    static std::string getDatabasePath();
    // The directory rule for a given per-user data location (base).
    static std::string databasePathFor(const QString &base);
    // Options for the store directory, with the compiled-in model; raises obx::DbException.
    static OBX_store_options *getOptions();
    // Opens the process-wide store in getDatabasePath(); raises obx::DbException.
    static void openStore();

    // A City row as QML and the account JSON show it.
    static QJsonObject getCityJson(const City &city);

    // The makers: each builds its repository from one snapshot of the shared store state.
    static GUser getUserDb();
    static GDistrict getDistrictDb();
    static GHashtag getHashtagDb();
    static GTavorlin getTavorlinDb();
    static GShelves getShelvesDb();
    static GFile getFileDb();
    static GForm getFormDb();
    static GActivity getActivityDb();
    static GNote getNoteDb();
    static GContact getContactDb();

Q_SIGNALS:
    void error(QString error, QString func);
    void databaseCreated();
    void userDataCleared();
    void filesSaved();
    void fileListReady(QJsonArray list);
    void filesCountReady(int count);
    void usersSaved();
    void userLoggedIn();
    void loggedInUsersReady(QJsonArray users);
    void updateDateReady(int date);
    void userUpdated();
    void agentListReady(QJsonArray agents);
    void districtsSaved();
    void districtListReady(QJsonArray list);
    void hashtagsSaved();
    void hashTagListReady(QJsonArray list);
    void notesSaved();
    void noteListReady(QJsonArray list);
    void activitiesSaved();
    void activityListReady(QJsonArray list);
    void contactsSaved();
    void contactListReady(QJsonArray list);
    void tavorlinsSaved();
    void tavorlinCountsReady(QJsonArray data);
    void TavorlinListReady(QJsonArray list);
    void tavorlinPositionChanged();
    void shelvesTavorlinsChanged();
    void shelvesSaved();
    void shelvesListReady(QJsonArray list);
    void reminderAdded();
    void reminderListReady(QJsonArray list);
    void invisibleToggleAdded();
    void invisibleTogglesReady(QJsonArray list);
    void citiesSaved();
    void cityListReady(QJsonArray list);
    void unseenSaved();
    // The files revision moved: once on the GUI thread for a burst of writes, however many.
    void filesChanged();

public Q_SLOTS:
    // The store's life cycle, the form catalogue, cities, scroll positions and user data.
    bool initialDatabase();
    void removeDb();
    void initial();
    bool deleteAllTables();
    void closeDatabase();
    bool isOpen();
    void saveCities(QJsonArray cities);
    void getCities();
    void clearUserData();
    void removeDocument(QString doc, QJsonObject property, QJsonObject account, QJsonObject activity);
    void saveScrollPosition(qlonglong entityId, int entityType, int position, qlonglong positionId = -1);
    QJsonObject getScrollPosition(qlonglong entityId, int entityType);

    // One page of the first download handed on as the socket object parsed it (a SyncList, or
    // a plain list): calls the named save of the download ("initialSaveFiles" and the rest,
    // "unseen") with its records.
    void initialSavePage(QString save, QVariant list);

    // Files.
    void saveFiles(QJsonArray files, qlonglong date = -1);
    void saveColleagueFiles(QJsonArray files, int propertyType, QString userId);
    void initialSaveFiles(QJsonArray files, qlonglong date = -1);
    void initialUpdateSaveFiles(QJsonArray files, qlonglong date = -1);
    bool deleteFile(QString fileId, qlonglong date = -1, bool withFile = true);
    bool deleteDraft(int fileId);
    // {"id": the new draft's local id}, or {"error": the store's message} with nothing changed.
    QJsonObject saveDraft(QJsonObject file, int replacedId = 0);
    bool adColleagueFile(QString fileId, bool colleague, qlonglong date = -1);
    bool pinFile(QString fileId, bool pinned = true, qlonglong date = -1);
    bool archiveFile(QString fileId, int tradeType, qlonglong archvieDate = -1, qlonglong date = -1);
    bool moveFileToRecyclerbin(QString fileId, bool move = true, qlonglong date = -1);
    void getUnsyncedFiles(QString userId);
    void getDraftFiles(int userId = -1);
    void getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page,
                  QString keyword, QString userId = QString());
    void getColleagueFiles(int tradeType, int propertyType, QJsonArray filterModels, QString orderBy,
                           QString orderType, int page, QString keyword, QString userId);
    // The map's markers, answered through fileListReady like the lists.
    void getMapFiles(int tradeType, int propertyType, QJsonArray filters, QString userId = QString());
    QJsonArray getFilesByProperty(QString userId, int property, int page = 1, QString agentId = QString());
    QJsonObject getFile(QString serverId);
    QJsonObject getFileByLocalId(int fileId);
    QJsonObject getFileByCode(int code);
    int getFileLocalId(QString fileId);
    int getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId = QString());
    int getFilesCount(QString userId = QString(), QString agentId = QString());
    // Files and drafts that the filters find (the uses of a district or hashtag before its removal).
    int getFilesCountWithDrafts(int tradeType, int propertyType, QJsonArray filters);
    int getDueFilesCount(QString start, QString end);
    int getOfflineCount(int userId = -1);
    int getOldFilesCount(qlonglong time);
    void unseen(QJsonArray files, qlonglong date = -1);
    bool fileSeen(int code);
    bool fileUnSeen(int code);
    void deleteFileImage(QString fileId, QString path);
    void deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters);
    bool savefileMatchTag(QString fileId, QString requestId, int tag);

    // Users and agents.
    void saveUsers(QJsonArray users, qlonglong date = -1);
    void initialSaveUsers(QJsonArray users, qlonglong date = -1);
    void initialUpdateSaveUsers(QJsonArray users, qlonglong date = -1);
    int saveUser(QJsonObject user, bool login = false);
    int updateAgentNameFamily(int userId, QString nameFamily, QString mobile_1, QString mobile_2, QString phone_1,
                              QString phone_2, QString cityId, QString email, qlonglong date);
    QJsonObject saveUserImage(QString image, int userId);
    void deleteUserImage(int userId);
    void deleteAgent(QString userId, QString agentId, qlonglong date = -1);
    void editAgentNumber(QString userId, QString agentId, QString receivedId, qlonglong date);
    bool updateAgent(QString serverId, int access = -1, int type = -1, qlonglong date = -1);
    QJsonObject currentUser();
    bool changeCurrentUser(int userId = -1);
    QJsonArray getLoggedInUsers();
    bool updateDate(qlonglong date, int userId = -1);
    QString getUpdateDate(int userId = -1);
    bool getUpdateSuccessful(int userId);
    void getAgents(int userId = -1);
    QJsonArray getAgentList(int userId = -1);
    int getAgentsCount(int userId = -1);
    QJsonObject getUserById(QString serverId);
    bool logIn(int userId = -1);
    bool logOut(int userId = -1);

    // Forms.
    QJsonArray getTradeTypes();
    QJsonArray getReportCount(QJsonArray filter);
    QJsonArray getPropertyTypes(int tradeType = -1, QJsonObject filter = QJsonObject());
    QJsonArray getPropertyTabLayout(int tradeType = -1, QJsonArray filters = QJsonArray());
    QJsonArray getFormCards(int tradeType, int propertyType);
    QJsonArray getSettingsCards();
    void saveFormSettings(QJsonArray settings, QString userId = QString(), qlonglong date = -1);
    bool addInvisibleToggle(int toggleId, QString userId = QString());
    QJsonArray getInvisibleToggles(QString userId = QString());
    QJsonObject getFieldByKeys(QString key, QString parentKey, bool isToggle = true);
    QJsonArray getFieldByParent(QString parent, bool isToggle = true);
    QJsonArray getInputCards(int propertyType);

    // Districts.
    void saveDistricts(QJsonArray districts, qlonglong date = -1);
    void initialSaveDistricts(QJsonArray districts, qlonglong date = -1);
    void initialUpdateSaveDistricts(QJsonArray districts, qlonglong date = -1);
    bool saveDistrict(QJsonObject district, bool edit = true);
    bool deleteDistrict(QString districtId, qlonglong date = -1);
    void getDistricts(int userId = -1);
    QJsonObject getSingleDistrict(QString serverId = QString(), int districtId = -1);
    QJsonObject findDistrict(QString title);

    // Hashtags.
    void saveHashtags(QJsonArray hashtags, qlonglong date = -1);
    void initialSaveHashtags(QJsonArray hashtags, qlonglong date = -1);
    void initialUpdateSaveHashtags(QJsonArray hashtags, qlonglong date = -1);
    bool saveHashtag(QJsonObject hashtag, bool edit = true);
    bool deleteHashtag(QString hashtagId, qlonglong date = -1);
    void getHashTags(int userId = -1);
    QJsonArray getHashTagFilters(int userId = -1);
    QJsonArray getHashtagFileList(QString fileId);
    QJsonObject getSingleHashTag(QString serverId = QString(), int hashtagId = -1);
    bool saveFileHashTags(QJsonObject data, qlonglong date);

    // Notes and tasks.
    void saveNotes(QJsonArray notes, qlonglong date = -1);
    void initialSaveNotes(QJsonArray notes, qlonglong date = -1);
    void initialUpdateSaveNotes(QJsonArray notes, qlonglong date = -1);
    bool saveNote(QJsonObject note, bool edit = true);
    bool deleteNote(QString noteId, qlonglong date = -1);
    void getNotes(int userId = -1);
    int todayNoteCount(qlonglong startDate, qlonglong endDate);

    // File activities.
    void saveActivities(QJsonArray activities, qlonglong date = -1);
    void initialSaveActivities(QJsonArray activities, qlonglong date = -1);
    void initialUpdateSaveActivities(QJsonArray activities, qlonglong date = -1);
    bool saveActivity(QJsonObject activity, bool edit = false, qlonglong date = -1);
    bool deleteActivity(QString activityId, qlonglong date = -1);
    void getActivities(QString fileId);

    // Contacts.
    void saveContacts(QJsonArray contacts, qlonglong date = -1);
    void initialSaveContacts(QJsonArray contacts, qlonglong date = -1);
    void initialUpdateSaveContacts(QJsonArray contacts, qlonglong date = -1);
    bool saveContact(QJsonObject contact, bool checkUser = false, bool initial = false);
    bool deleteContact(QString contactId);
    QJsonObject getContact(QString serverId = QString(), QString mobile = QString());
    void getContacts(int type = -1, int page = -1, QString keyword = QString(), int userId = -1);
    QJsonArray getContactsByType(int userId, int type);
    int getContactFileCount(QString id);
    int getContactsCount(int userId);

    // Tavorlin boards.
    void saveTavorlins(QJsonArray tavorlins, qlonglong date = -1);
    void initialSaveTavorlins(QJsonArray tavorlins, qlonglong date = -1);
    void initialUpdateSaveTavorlins(QJsonArray tavorlins, qlonglong date = -1);
    bool saveTavorlin(QJsonObject tavorlin);
    bool saveOrder(int tavorlinId, QString orderField, QString orderType);
    bool editTavorlin(QString tavorlinId, int color, QString name, qlonglong date = -1);
    bool deleteTavorlin(QString tavorlinId, qlonglong date = -1);
    bool saveDefaultTavorlinId(int tavorlinId, QString serverId);
    void saveDefaultTavorlins();
    void getTavorlinsCount(QJsonArray tavorlins);
    void getTavorlinsExist();
    void getAllTavorlins(QString shelvesId = QString(), int userId = -1);
    void changeTavorlinPosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId);
    QJsonObject getTavorlin(QString serverId = QString(), int tavorlinId = -1);
    QJsonArray getTavorlinAccessList(QString tavorlinId, QString userId);
    bool saveAgentTavorlinAccess(QJsonObject data, qlonglong date = -1);
    bool saveTavorlinAgentAccess(QString shelvesId, QJsonArray access, qlonglong date = -1);

    // Shelves.
    void saveShelves(QJsonArray shelvesList, qlonglong date = -1);
    void initialSaveShelves(QJsonArray shelvesList, qlonglong date = -1);
    void initialUpdateSaveShelves(QJsonArray shelvesList, qlonglong date = -1);
    bool saveShelf(QJsonObject shelves, bool addTavorlins = false);
    bool deleteShelf(QString shelfId);
    void getShelvesList(QString userId = QString());
    QJsonArray getShelvesAccessList(QString shelfId, QString userId);
    QJsonObject getShelves(QString serverId = QString(), int shelvesId = -1);
    void getShelvesTavorlins(QString shelvesId, QString userId = QString());
    void changeShelvesTavorlins(QString shelvesId, QList<QString> tavorlinsToAdd, QList<QString> tavorlinsToRemove,
                                qlonglong date = -1);
    bool saveAgentShelfAccess(QJsonObject data, qlonglong date = -1);
    bool saveShelfAgentAccess(QString shelvesId, QJsonArray access, qlonglong date = -1);
    void changeShelvesPosition(QJsonArray positions);

public:
    // The resource initialDatabase() seeds from.
    static const char *const kCatalogueResource;
    // initialDatabase() over another catalogue file or an already parsed catalogue: false, with
    // `error`, when the catalogue cannot be read, holds no cards or a card cannot be stored.
    bool seedCatalogueFile(const QString &path);
    bool seedCatalogue(const QJsonArray &cards);
    // The catalogue seeding's steps, inside the seeding's write transaction.
    bool insertCard(const QJsonObject &card, obx::Box<Card> &cards, obx::Box<InputField> &inputs,
                    obx::Box<ToggleField> &toggles);
    obx_id insertInputField(const QJsonObject &input, obx::Box<InputField> &inputs);
    obx_id insertToggleField(const QJsonObject &toggle, obx::Box<InputField> &inputs, obx::Box<ToggleField> &toggles);

    // The files of getFilesByProperty's pages by local id, and a page of them with only the
    // top-level keys a reader of a few parts wants (see GFile).
    QVector<qint64> getFileIdsByProperty(QString userId, int property, QString agentId = QString());
    QJsonArray getFilesByIds(const QVector<qint64> &ids, const QSet<QString> &keys);

    // Waits until every pool task this object started has answered (used at destruction).
    void waitForTasks();

    int filesRevision() const;

private:
    // Runs op on a freshly built repository; a failure becomes `fallback`.
    template <class Repo, class R, class Op> R run(const char *slot, R fallback, Op &&op);
    // The same for operations whose result the slot does not return.
    template <class Repo, class Op> bool call(const char *slot, Op &&op);
    // Runs op on a repository on the pool and answers with (this->*answer)(result).
    template <class Repo, class R, class Op> void inPool(const char *slot, R fallback, Op op,
                                                          void (GDatabase::*answer)(R));
    // Runs op on a repository on the pool, then emits the parameterless `saved`, whatever the outcome.
    template <class Repo, class Op> void saveInPool(const char *slot, Op op, void (GDatabase::*saved)());
    // The object's own operations: run fn, reporting a failure; true when it did not fail.
    bool guarded(const char *slot, const std::function<void()> &fn);
    void startTask(std::function<void()> task);
    void report(const char *slot, const std::exception &e);

    // Set from the writing thread until the one queued filesChanged has gone out.
    std::atomic<bool> filesPending_{false};
    int filesListener_ = 0;

    std::mutex tasksMutex_;
    std::condition_variable tasksDone_;
    int runningTasks_ = 0;
};

} // namespace UGENERAL
