#pragma once

// What the store benchmarks start from: a store with its manager logged in, and the listings the
// board benchmarks count.

#include "store/file.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "store/user.h"

#include <memory>
#include <random>
#include <string>

// Opens the shared store in `directory` with a manager of this server id logged in; answers the
// manager's stored row.
inline User openBenchStore(const std::string &directory, const std::string &serverId)
{
    UGENERAL::openSharedStore(directory);
    User owner;
    owner.server_id = serverId;
    owner.type = 100;
    owner.current = true;
    owner.logged_in = true;
    obx::Box<User>(*UGENERAL::sharedStore()).put(owner);
    UGENERAL::setSharedUsers(std::make_unique<User>(owner), nullptr);
    return owner;
}

// `count` files of one owner over every trade and property type, a third of them unseen and one
// in twenty deleted, the same every run.

inline void addBenchFiles(obx::Store &store, const std::string &owner, int count)
{
    std::mt19937 random(42);
    obx::Transaction tx = store.txWrite();
    obx::Box<File> files(store);
    for (int i = 0; i < count; ++i) {
        File file;
        file.server_id = "f" + std::to_string(i);
        file.user_id = owner;
        file.trade_type = int32_t(1 + random() % 16);
        file.property_type = int32_t(50 + random() % 18);
        file.seen = random() % 3 != 0;
        file.deleted = random() % 20 == 0;
        file.price_2 = 1000000 + random() % 9000000000ULL;
        file.date = 1600000000000ULL + uint64_t(i) * 60000;
        file.edit_date = file.date;
        files.put(file);
    }
    tx.success();
}
