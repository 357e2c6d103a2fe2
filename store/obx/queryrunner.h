#pragma once

// Runs a query plan inside one transaction: finds the candidate rows (through the most
// selective index lookup, or by a scan in id order), matches them, counts, orders and pages.

#include "queryplan.h"
#include "storeimpl.h"

#include <lmdb.h>

#include <cstdint>
#include <vector>

namespace obx {
namespace internal {

struct QueryMatch
{
    obx_id id;
    const uint8_t *data;
    size_t size;
};

class QueryRunner
{
public:
    QueryRunner(StoreImpl &store, MDB_txn *txn, const QueryPlan &plan) : store_(store), txn_(txn), plan_(plan) {}

    uint64_t count();
    // The matches in query order, after offset, at most limit of them (0: no limit).
    void select(uint64_t offset, uint64_t limit, std::vector<QueryMatch> &out);
    // Every match in id order.
    void selectAll(std::vector<QueryMatch> &out);

private:
    // Calls fn(context, match) for each match in id order until it returns false.
    using MatchFn = bool (*)(void *context, const QueryMatch &match, const RowView &row);
    void scan(MatchFn fn, void *context);
    bool exactLookups() const;

    StoreImpl &store_;
    MDB_txn *txn_;
    const QueryPlan &plan_;
};

} // namespace internal
} // namespace obx
