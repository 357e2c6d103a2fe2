#include "alignedrow.h"
#include "errors.h"
#include "keys.h"
#include "querynode.h"
#include "queryplan.h"
#include "queryrunner.h"
#include "rowwriter.h"
#include "scratch.h"
#include "storeimpl.h"
#include "txcontext.h"

#include <cstdio>

namespace obx {
namespace internal {

namespace {

void logQuery(const StoreImpl &store, const QueryPlan &plan, const char *what)
{
    const uint32_t flags = store.debugFlags();
    if (flags & OBXDebugFlags_LOG_QUERIES)
        std::fprintf(stderr, "obx: %s %s\n", what, plan.describe((flags & OBXDebugFlags_LOG_QUERY_PARAMETERS) != 0).c_str());
}

} // namespace

RawQuery::RawQuery(Store &store, std::shared_ptr<QueryNode> root) : store_(store), root_(std::move(root))
{
    store.impl().checkOpen();
    if (!root_)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "A query needs its builder's conditions");
    plan_ = QueryPlan::compile(store.impl(), *root_);
}

void RawQuery::setOffset(uint64_t offset)
{
    offset_ = offset;
}

void RawQuery::setLimit(uint64_t limit)
{
    limit_ = limit;
}

std::vector<obx_id> RawQuery::findIds()
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    logQuery(impl, *plan_, "find ids");
    ScratchLease scratch;
    QueryRunner(impl, activeTx(impl).txn, *plan_).select(offset_, limit_, scratch->selected);
    std::vector<obx_id> ids;
    ids.reserve(scratch->selected.size());
    for (const QueryMatch &match : scratch->selected)
        ids.push_back(match.id);
    return ids;
}

uint64_t RawQuery::count()
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    logQuery(impl, *plan_, "count");
    return QueryRunner(impl, activeTx(impl).txn, *plan_).count();
}

uint64_t RawQuery::remove()
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txWrite();
    logQuery(impl, *plan_, "remove");
    TxContext &context = activeTx(impl);
    std::vector<obx_id> ids;
    {
        ScratchLease scratch;
        QueryRunner(impl, context.txn, *plan_).selectAll(scratch->matches);
        ids.reserve(scratch->matches.size());
        for (const QueryMatch &match : scratch->matches)
            ids.push_back(match.id);
    }
    RowWriter writer(impl, context, *plan_->root.entity);
    uint64_t removed = 0;
    for (obx_id id : ids)
        removed += writer.remove(id);
    tx.success();
    return removed;
}

void RawQuery::visit(void (*fn)(void *context, const void *data, size_t size), void *context)
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    logQuery(impl, *plan_, "find");
    TxContext &txContext = activeTx(impl);
    const EntityDef &entity = *plan_->root.entity;
    ScratchLease scratch;
    QueryRunner(impl, txContext.txn, *plan_).select(offset_, limit_, scratch->selected);
    for (const QueryMatch &match : scratch->selected) {
        const void *data = match.data;
        size_t size = match.size;
        if (txContext.write) {
            // A callback inside a write may have changed rows since they were selected.
            uint8_t keyBytes[8];
            putBe64(keyBytes, match.id);
            MDB_val key{8, keyBytes};
            MDB_val value;
            const int rc = mdb_get(txContext.txn, entity.dbi, &key, &value);
            if (rc == MDB_NOTFOUND)
                continue;
            if (rc)
                raiseLmdb(rc, "Could not read " + entity.name + " #" + std::to_string(match.id));
            data = value.mv_data;
            size = value.mv_size;
        }
        RowView row;
        row.open(data, size, entity, match.id);
        row.verify();
        fn(context, alignedRow(data, size, scratch->rowCopy), size);
    }
}

} // namespace internal
} // namespace obx
