#include "store/sharedstate.h"

#include "store/contact.h"
#include "store/district.h"
#include "store/file.h"
#include "store/fileactivity.h"
#include "store/fileinfo.h"
#include "store/filematchtag.h"
#include "store/filemeter.h"
#include "store/filetenant.h"
#include "store/filetoggle.h"
#include "store/hashtag.h"
#include "store/model.h"
#include "store/obx/obx.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

namespace UGENERAL {

namespace {

std::mutex stateMutex;
std::shared_ptr<obx::Store> store;
// Built on first use: the store is opened from another file's static initialiser, which may run
// before this file's, and a namespace-scope string would then be emptied after it was set.
std::string &storeDirectory()
{
    static std::string directory;
    return directory;
}
std::unique_ptr<User> sharedUser;
std::unique_ptr<User> sharedAgent;

std::atomic<uint64_t> revision{0};
std::mutex listenersMutex;
int nextListener = 1;
// Built on first use, as the directory above.
std::map<int, std::function<void()>> &listeners()
{
    static std::map<int, std::function<void()>> all;
    return all;
}

void filesWritten()
{
    ++revision;
    std::lock_guard<std::mutex> lock(listenersMutex);
    for (const auto &entry : listeners())
        entry.second();
}

// A file is shown with these rows and with the names of its districts, hashtags, contacts and
// agents; a write of any of them changes what a screen shows of it. (The last-update stamp on the
// owner's row is put unobserved, so that a note or board write does not count.)
bool holdsFiles(const std::vector<obx_schema_id> &entities)
{
    static const obx_schema_id fileEntities[] = {
        File::_OBX_MetaInfo::entityId(),       FileInfo::_OBX_MetaInfo::entityId(),
        FileToggle::_OBX_MetaInfo::entityId(), FileTenant::_OBX_MetaInfo::entityId(),
        FileMeter::_OBX_MetaInfo::entityId(),  FileActivity::_OBX_MetaInfo::entityId(),
        FileMatchTag::_OBX_MetaInfo::entityId(), District::_OBX_MetaInfo::entityId(),
        HashTag::_OBX_MetaInfo::entityId(),    Contact::_OBX_MetaInfo::entityId(),
        User::_OBX_MetaInfo::entityId(),
    };
    return std::any_of(entities.begin(), entities.end(), [](obx_schema_id id) {
        return std::find(std::begin(fileEntities), std::end(fileEntities), id) != std::end(fileEntities);
    });
}

} // namespace

OBX_store_options *storeOptions(const std::string &directory)
{
    OBX_model *model = createObxModel();
    OBX_store_options *options = obx_opt();
    if (!options) {
        obx_model_free(model);
        obx::throwLastError("Could not create store options");
    }
    if (obx_opt_model(options, model) != OBX_SUCCESS || obx_opt_directory(options, directory.c_str()) != OBX_SUCCESS) {
        const int code = obx_last_error_code();
        const std::string message = obx_last_error_message();
        obx_opt_free(options);
        throw obx::DbException(message, code);
    }
    obx_opt_debug_flags(options, OBXDebugFlags_LOG_QUERY_PARAMETERS);
    return options;
}

SharedSnapshot sharedSnapshot()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    SharedSnapshot snapshot;
    snapshot.store = store;
    if (sharedUser)
        snapshot.user = *sharedUser;
    if (sharedAgent)
        snapshot.agent = *sharedAgent;
    return snapshot;
}

std::shared_ptr<obx::Store> sharedStore()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return store;
}

std::string sharedStoreDirectory()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return storeDirectory();
}

void openSharedStore(const std::string &directory)
{
    auto opened = std::make_shared<obx::Store>(storeOptions(directory));
    opened->observe([](const std::vector<obx_schema_id> &entities) {
        if (holdsFiles(entities))
            filesWritten();
    });
    std::shared_ptr<obx::Store> previous;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        previous = std::move(store);
        store = std::move(opened);
        storeDirectory() = directory;
    }
    if (previous)
        previous->close();
    // Every file shown so far belonged to the other store.
    filesWritten();
}

void closeSharedStore()
{
    std::shared_ptr<obx::Store> closing;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        closing = std::move(store);
    }
    // Outside the lock: closing waits for running operations, which may need a snapshot.
    if (closing)
        closing->close();
}

void setSharedUsers(std::unique_ptr<User> user, std::unique_ptr<User> agent)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    sharedUser = std::move(user);
    sharedAgent = std::move(agent);
}

bool hasSharedUser()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return sharedUser != nullptr;
}

bool hasSharedAgent()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return sharedAgent != nullptr;
}

uint64_t filesRevision()
{
    return revision;
}

int addFilesListener(std::function<void()> listener)
{
    std::lock_guard<std::mutex> lock(listenersMutex);
    const int handle = nextListener++;
    listeners().emplace(handle, std::move(listener));
    return handle;
}

void removeFilesListener(int handle)
{
    std::lock_guard<std::mutex> lock(listenersMutex);
    listeners().erase(handle);
}

} // namespace UGENERAL
