#include "errors.h"
#include "keys.h"
#include "storeimpl.h"
#include "txcontext.h"

#include <cstdio>

namespace obx {

using internal::raise;
using internal::raiseLmdb;
using internal::StoreImpl;
using internal::TxContext;

struct Transaction::State
{
    StoreImpl *store = nullptr;
    std::shared_ptr<TxContext> context;
    bool outer = false;
    bool done = false;
};

namespace {

void logTx(const StoreImpl &store, bool write, const char *what)
{
    const uint32_t flag = write ? OBXDebugFlags_LOG_TRANSACTIONS_WRITE : OBXDebugFlags_LOG_TRANSACTIONS_READ;
    if (store.debugFlags() & flag)
        std::fprintf(stderr, "obx: %s %s transaction\n", what, write ? "write" : "read");
}

// Raises the stored id sequences to the ids put and records new hash collisions.
void flushWriteState(StoreImpl &store, TxContext &context)
{
    for (const auto &entry : context.putIds) {
        uint8_t keyBytes[4];
        internal::putBe32(keyBytes, entry.first);
        MDB_val key{4, keyBytes};
        MDB_val value;
        int rc = mdb_get(context.txn, store.seqDbi(), &key, &value);
        if (rc == 0 && value.mv_size == 8 && internal::getLe64(value.mv_data) >= entry.second)
            continue;
        if (rc && rc != MDB_NOTFOUND)
            raiseLmdb(rc, "Could not read an id sequence");
        uint8_t valueBytes[8];
        internal::putLe64(valueBytes, entry.second);
        MDB_val newValue{8, valueBytes};
        rc = mdb_put(context.txn, store.seqDbi(), &key, &newValue, 0);
        if (rc)
            raiseLmdb(rc, "Could not write an id sequence");
    }
    for (obx_schema_id indexId : context.collisions) {
        uint8_t keyBytes[5] = {'C'};
        internal::putBe32(keyBytes + 1, indexId);
        MDB_val key{5, keyBytes};
        MDB_val value{0, nullptr};
        const int rc = mdb_put(context.txn, store.metaDbi(), &key, &value, 0);
        if (rc)
            raiseLmdb(rc, "Could not record a hash collision");
    }
}

// Ends the outermost transaction, committing when asked; cleans up before raising.
void finish(StoreImpl &store, TxContext &context, bool commit)
{
    int code = 0;
    std::string message;
    int rc = 0;
    if (context.write) {
        if (commit) {
            try {
                flushWriteState(store, context);
            } catch (const DbException &e) {
                commit = false;
                code = e.code();
                message = e.what();
            }
        }
        if (commit)
            rc = mdb_txn_commit(context.txn);
        else
            mdb_txn_abort(context.txn);
    } else {
        store.endReadTxn(context.txn);
    }
    logTx(store, context.write, commit && !rc ? "committed" : "ended");
    context.txn = nullptr;
    context.ended = true;
    internal::unregisterTx(&context);
    store.endOperation();
    if (code)
        raise(code, message);
    if (rc)
        raiseLmdb(rc, "Could not commit the transaction");
}

} // namespace

Transaction::Transaction(Store &store, TxMode mode) : state_(new State)
{
    StoreImpl &impl = store.impl();
    const bool write = mode == TxMode::WRITE;
    state_->store = &impl;
    if (TxContext *context = internal::currentTx(impl)) {
        if (context->failed)
            raise(OBX_ERROR_ILLEGAL_STATE, "The transaction of this thread has failed and can only be closed");
        if (write && !context->write)
            raise(OBX_ERROR_ILLEGAL_STATE, "A write transaction cannot be opened inside a read transaction");
        ++context->depth;
        state_->context = context->shared_from_this();
        return;
    }
    impl.beginOperation();
    try {
        auto context = std::make_shared<TxContext>();
        context->store = &impl;
        context->write = write;
        context->depth = 1;
        context->thread = std::this_thread::get_id();
        if (write) {
            const int rc = mdb_txn_begin(impl.env(), nullptr, 0, &context->txn);
            if (rc)
                raiseLmdb(rc, "Could not begin a write transaction");
        } else {
            context->txn = impl.beginReadTxn();
        }
        internal::registerTx(context);
        state_->context = std::move(context);
        state_->outer = true;
    } catch (...) {
        impl.endOperation();
        throw;
    }
    logTx(impl, write, "began");
}

Transaction::Transaction(Transaction &&other) noexcept = default;

Transaction::~Transaction()
{
    if (!isActive())
        return;
    try {
        if (state_->outer) {
            state_->done = true;
            finish(*state_->store, *state_->context, false);
        } else {
            state_->done = true;
            --state_->context->depth;
            if (state_->context->write)
                state_->context->failed = true;
        }
    } catch (...) {
        // Nothing more can be done from a destructor.
    }
}

bool Transaction::isActive() const
{
    return state_ && !state_->done && !state_->context->ended;
}

void Transaction::success()
{
    if (!isActive())
        raise(OBX_ERROR_ILLEGAL_STATE, "The transaction is no longer active");
    TxContext &context = *state_->context;
    if (context.thread != std::this_thread::get_id())
        raise(OBX_ERROR_ILLEGAL_STATE, "A transaction can only be used on the thread that opened it");
    if (!state_->outer) {
        state_->done = true;
        --context.depth;
        if (context.failed)
            raise(OBX_ERROR_ILLEGAL_STATE, "The enclosing transaction has failed");
        return;
    }
    if (context.depth > 1) {
        state_->done = true;
            finish(*state_->store, *state_->context, false);
        raise(OBX_ERROR_ILLEGAL_STATE, "The transaction ended while transactions inside it were still open; aborted");
    }
    if (context.failed) {
        state_->done = true;
            finish(*state_->store, *state_->context, false);
        raise(OBX_ERROR_ILLEGAL_STATE, "The transaction was aborted because an operation inside it failed");
    }
    state_->done = true;
    finish(*state_->store, context, true);
}

void Transaction::close()
{
    if (!isActive())
        return;
    TxContext &context = *state_->context;
    if (context.thread != std::this_thread::get_id())
        raise(OBX_ERROR_ILLEGAL_STATE, "A transaction can only be used on the thread that opened it");
    if (state_->outer) {
        state_->done = true;
            finish(*state_->store, *state_->context, false);
        return;
    }
    state_->done = true;
    --context.depth;
    if (context.write)
        context.failed = true;
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

} // namespace obx
