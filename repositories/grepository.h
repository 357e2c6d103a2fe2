#pragma once

#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "store/user.h"

#include <memory>

namespace UGENERAL {

// What every entity repository works on: the open store and copies of the owner's and the
// agent's User rows, taken together when the repository is built. A repository lives for one
// call and never closes the store.
class GRepository
{
public:
    // Raises obx::DbException when no store is open.
    explicit GRepository(const SharedSnapshot &snapshot);
    virtual ~GRepository();

protected:
    // The snapshot this repository was built from, to build another repository in an operation.
    SharedSnapshot snapshot() const;
    // The person working: the agent when one is logged in, otherwise the owner.
    const User &viewer() const { return agent.id != 0 ? agent : user; }

    std::shared_ptr<obx::Store> storeHandle;
    obx::Store &store;
    User user;  // the owner; id 0 when none is cached
    User agent; // the logged-in agent; id 0 for the manager
};

} // namespace UGENERAL
