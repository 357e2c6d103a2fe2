#pragma once

// The process-wide store state: the open store, the owner's User row (the manager account)
// and the logged-in agent's User row. Every repository works on a snapshot of the three taken
// under one lock, so an account switch on another thread never shows it half a change.

#include "store/user.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct OBX_store_options;
namespace obx {
class Store;
}

namespace UGENERAL {

struct SharedSnapshot
{
    std::shared_ptr<obx::Store> store; // empty while the store is closed
    User user;                         // the owner; id 0 when none is cached
    User agent;                        // the agent; id 0 for the manager or when none is cached
};

// Options for a store in directory with the compiled-in model; raises obx::DbException.
OBX_store_options *storeOptions(const std::string &directory);

SharedSnapshot sharedSnapshot();
std::shared_ptr<obx::Store> sharedStore();
// The directory of the store opened last; empty before the first opening.
std::string sharedStoreDirectory();

// Opens the store in directory and makes it the shared one; raises obx::DbException.
void openSharedStore(const std::string &directory);
// Takes the shared store out (it becomes empty) and closes it once every running operation on
// it has finished. Does nothing when no store is open.
void closeSharedStore();

// Replaces the cached owner and agent rows together; nullptr leaves a slot empty.
void setSharedUsers(std::unique_ptr<User> user, std::unique_ptr<User> agent);
bool hasSharedUser();
bool hasSharedAgent();

// The files revision: moved after every committed write of File rows, their child rows or the
// District, HashTag, Contact and User rows whose names files show (and when another store is
// opened), on the thread that committed; each listener is then called
// there. A listener removed is called no more once removeFilesListener() has returned.
uint64_t filesRevision();
int addFilesListener(std::function<void()> listener);
void removeFilesListener(int handle);

} // namespace UGENERAL
