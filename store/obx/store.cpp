#include "storeimpl.h"

namespace obx {

Store::Store(OBX_store_options *options) : impl_(new internal::StoreImpl(options)) {}

Store::~Store() = default;

void Store::close()
{
    impl_->close();
}

bool Store::isClosed() const
{
    return impl_->isClosed();
}

const std::string &Store::directory() const
{
    return impl_->directory();
}

} // namespace obx
