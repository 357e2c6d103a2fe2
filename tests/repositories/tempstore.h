#pragma once

// A fresh store in a temporary directory, made the process-wide one for the life of the
// object, with helpers to make an owner or an agent the cached account.

#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "store/user.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

class TempStore
{
public:
    TempStore()
    {
        UGENERAL::openSharedStore(dir_.path().toStdString());
        UGENERAL::setSharedUsers(nullptr, nullptr);
    }
    ~TempStore()
    {
        UGENERAL::closeSharedStore();
        UGENERAL::setSharedUsers(nullptr, nullptr);
    }
    TempStore(const TempStore &) = delete;
    TempStore &operator=(const TempStore &) = delete;

    obx::Store &store() { return *UGENERAL::sharedStore(); }
    std::string directory() const { return dir_.path().toStdString(); }

    // Stores an owner (type 100, current and logged in) and caches it as the owner.
    User addOwner(const std::string &serverId, const std::string &name = "owner")
    {
        User owner;
        owner.server_id = serverId;
        owner.name_family = name;
        owner.type = 100;
        owner.current = true;
        owner.logged_in = true;
        obx::Box<User>(store()).put(owner);
        UGENERAL::setSharedUsers(std::make_unique<User>(owner), nullptr);
        return owner;
    }

    // Stores an agent of owner and, when cache is set, makes it the logged-in agent.
    User addAgent(const User &owner, const std::string &serverId, bool cache = true, const std::string &name = "agent")
    {
        User agent;
        agent.server_id = serverId;
        agent.name_family = name;
        agent.parent_id = owner.id;
        agent.type = 0;
        agent.logged_in = cache;
        agent.current = cache;
        obx::Box<User>(store()).put(agent);
        if (cache)
            UGENERAL::setSharedUsers(std::make_unique<User>(owner), std::make_unique<User>(agent));
        return agent;
    }

private:
    QTemporaryDir dir_;
};
