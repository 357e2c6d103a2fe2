#include "store/obx/lasterror.h"
#include "store/obx/storeimpl.h"

#include <flatbuffers/flatbuffers.h>

namespace obx {

Store::Store(OBX_store_options *options)
{
    std::unique_ptr<OBX_store_options> owned(options);
    if (!owned)
        internal::fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Store options are null");
    impl_ = std::make_unique<internal::StoreImpl>(*owned);
}

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

uint64_t Store::observe(Observer observer)
{
    return impl_->observe(std::move(observer));
}

void Store::unobserve(uint64_t handle)
{
    impl_->unobserve(handle);
}

Transaction Store::tx(TxMode mode)
{
    return Transaction(*this, mode);
}

Transaction Store::txRead()
{
    return Transaction(*this, TxMode::READ);
}

Transaction Store::txWrite()
{
    return Transaction(*this, TxMode::WRITE);
}

struct Transaction::State
{
    internal::StoreImpl *store = nullptr;
    internal::TxState *tx = nullptr;
    bool open = false;
    bool write = false;
};

Transaction::Transaction(Store &store, TxMode mode) : state_(std::make_unique<State>())
{
    state_->store = &store.impl();
    state_->write = mode == TxMode::WRITE;
    state_->tx = state_->store->begin(state_->write);
    state_->open = true;
}

Transaction::Transaction(Transaction &&other) noexcept : state_(std::move(other.state_)) {}

Transaction::~Transaction()
{
    // On a thread other than its own the transaction cannot be ended safely; that is a misuse
    // that success() and close() report.
    if (state_ && state_->open && state_->store->current() == state_->tx) {
        state_->open = false;
        state_->store->end(state_->tx, false, state_->write);
    }
}

void Transaction::success()
{
    if (!state_ || !state_->open)
        internal::fail(OBX_ERROR_ILLEGAL_STATE, "Transaction is not active");
    if (state_->store->current() != state_->tx)
        internal::fail(OBX_ERROR_ILLEGAL_STATE, "A transaction can only be ended on the thread that began it");
    state_->open = false;
    state_->store->end(state_->tx, true, state_->write);
}

void Transaction::close()
{
    if (state_ && state_->open) {
        if (state_->store->current() != state_->tx)
            internal::fail(OBX_ERROR_ILLEGAL_STATE, "A transaction can only be ended on the thread that began it");
        state_->open = false;
        state_->store->end(state_->tx, false, state_->write);
    }
}

bool Transaction::isActive() const
{
    return state_ && state_->open;
}

namespace internal {

flatbuffers::FlatBufferBuilder &threadBuilder()
{
    thread_local flatbuffers::FlatBufferBuilder builder(1024);
    return builder;
}

bool writeIdField(uint8_t *buffer, size_t size, obx_id id)
{
    if (!buffer || size < 8)
        return false;
    const uint64_t table = flatbuffers::ReadScalar<uint32_t>(buffer);
    if (table + 4 > size)
        return false;
    const uint64_t vtable = table - uint64_t(int64_t(flatbuffers::ReadScalar<int32_t>(buffer + table)));
    if (vtable + 4 > size)
        return false;
    const uint64_t vtableSize = flatbuffers::ReadScalar<uint16_t>(buffer + vtable);
    if (vtableSize < 6 || vtable + 6 > size)
        return false;
    const uint64_t field = flatbuffers::ReadScalar<uint16_t>(buffer + vtable + 4);
    if (field == 0 || table + field + 8 > size)
        return false;
    flatbuffers::WriteScalar<uint64_t>(buffer + table + field, id);
    return true;
}

void releaseThreadBuilderIfLarge()
{
    flatbuffers::FlatBufferBuilder &builder = threadBuilder();
    if (builder.GetSize() > 1024 * 1024)
        builder.Reset();
}

} // namespace internal

} // namespace obx
