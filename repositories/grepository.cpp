#include "repositories/grepository.h"

namespace UGENERAL {

namespace {

std::shared_ptr<obx::Store> requireStore(const std::shared_ptr<obx::Store> &store)
{
    if (!store)
        throw obx::DbException("Store is closed", OBX_ERROR_ILLEGAL_STATE);
    return store;
}

} // namespace

GRepository::GRepository(const SharedSnapshot &snapshot)
    : storeHandle(requireStore(snapshot.store)), store(*storeHandle), user(snapshot.user), agent(snapshot.agent)
{
}

GRepository::~GRepository() = default;

SharedSnapshot GRepository::snapshot() const
{
    return SharedSnapshot{storeHandle, user, agent};
}

} // namespace UGENERAL
