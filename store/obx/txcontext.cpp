#include "txcontext.h"

#include "errors.h"

#include <algorithm>

namespace obx {
namespace internal {

namespace {
// Few stores are open at once, so a small list beats a map.
// The registry shares ownership, so an entry left behind by a transaction ended on another
// thread is never dangling; ended entries are skipped and pruned.
thread_local std::vector<std::shared_ptr<TxContext>> registry;
} // namespace

TxContext *currentTx(const StoreImpl &store)
{
    for (size_t i = 0; i < registry.size(); ++i) {
        TxContext *context = registry[i].get();
        if (context->ended) {
            registry.erase(registry.begin() + long(i));
            --i;
            continue;
        }
        if (context->store == &store)
            return context;
    }
    return nullptr;
}

void registerTx(std::shared_ptr<TxContext> context)
{
    registry.push_back(std::move(context));
}

void unregisterTx(TxContext *context)
{
    registry.erase(std::remove_if(registry.begin(), registry.end(),
                                  [context](const std::shared_ptr<TxContext> &entry) { return entry.get() == context; }),
                   registry.end());
}

TxContext &activeTx(const StoreImpl &store)
{
    TxContext *context = currentTx(store);
    if (!context)
        raise(OBX_ERROR_ILLEGAL_STATE, "No transaction is active on this thread");
    if (context->failed)
        raise(OBX_ERROR_ILLEGAL_STATE, "The transaction has failed and can only be closed");
    return *context;
}

} // namespace internal
} // namespace obx
