#include "queryrunner.h"

#include "cursor.h"
#include "errors.h"
#include "keys.h"
#include "scratch.h"

#include <algorithm>
#include <limits>

namespace obx {
namespace internal {

namespace {

// Places the cursor on the lookup's key; false when no row has it.
bool seek(const Cursor &cursor, const IndexLookup &lookup, uint8_t *keyBytes, MDB_val &first, size_t &count)
{
    putBe64(keyBytes, lookup.key);
    MDB_val key{8, keyBytes};
    int rc = cursor.get(key, first, MDB_SET_KEY);
    if (rc == MDB_NOTFOUND)
        return false;
    if (rc == 0)
        rc = mdb_cursor_count(cursor.get(), &count);
    if (rc)
        raiseLmdb(rc, "Could not read the index of " + lookup.property->name);
    return true;
}

} // namespace

bool QueryRunner::exactLookups() const
{
    for (const IndexLookup &lookup : plan_.lookups)
        if (lookup.property->type == OBXPropertyType_String && store_.collisions().collided(lookup.property->indexId))
            return false;
    return true;
}

void QueryRunner::scan(MatchFn fn, void *context)
{
    const EntityDef &entity = *plan_.root.entity;
    RowView row;
    MDB_val key;
    MDB_val value;
    if (!plan_.lookups.empty()) {
        Cursor best;
        const IndexLookup *bestLookup = nullptr;
        MDB_val bestFirst{0, nullptr};
        size_t bestCount = std::numeric_limits<size_t>::max();
        for (const IndexLookup &lookup : plan_.lookups) {
            Cursor cursor(txn_, lookup.property->indexDbi, entity.name + "." + lookup.property->name);
            uint8_t keyBytes[8];
            MDB_val first;
            size_t count = 0;
            if (!seek(cursor, lookup, keyBytes, first, count))
                return;
            if (count < bestCount) {
                best = std::move(cursor);
                bestLookup = &lookup;
                bestFirst = first;
                bestCount = count;
            }
        }
        uint8_t indexKey[8];
        putBe64(indexKey, bestLookup->key);
        MDB_val ik{8, indexKey};
        MDB_val dup = bestFirst;
        int rc = 0;
        for (; rc == 0; rc = best.get(ik, dup, MDB_NEXT_DUP)) {
            const obx_id id = getBe64(dup.mv_data);
            uint8_t idBytes[8];
            putBe64(idBytes, id);
            key = MDB_val{8, idBytes};
            const int found = mdb_get(txn_, entity.dbi, &key, &value);
            if (found == MDB_NOTFOUND)
                raise(OBX_ERROR_FILE_CORRUPT, "Index of " + entity.name + "." + bestLookup->property->name +
                                                  " refers to the missing object #" + std::to_string(id));
            if (found)
                raiseLmdb(found, "Could not read " + entity.name + " #" + std::to_string(id));
            row.open(value.mv_data, value.mv_size, entity, id);
            if (plan_.matches(txn_, row) &&
                !fn(context, QueryMatch{id, static_cast<const uint8_t *>(value.mv_data), value.mv_size}, row))
                return;
        }
        if (rc != MDB_NOTFOUND)
            raiseLmdb(rc, "Could not read the index of " + bestLookup->property->name);
        return;
    }
    Cursor cursor(txn_, entity.dbi, entity.name);
    int rc = cursor.get(key, value, MDB_FIRST);
    for (; rc == 0; rc = cursor.get(key, value, MDB_NEXT)) {
        if (key.mv_size != 8)
            raise(OBX_ERROR_FILE_CORRUPT, "A key of " + entity.name + " is corrupt");
        const obx_id id = getBe64(key.mv_data);
        row.open(value.mv_data, value.mv_size, entity, id);
        if (plan_.matches(txn_, row) &&
            !fn(context, QueryMatch{id, static_cast<const uint8_t *>(value.mv_data), value.mv_size}, row))
            return;
    }
    if (rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read " + entity.name);
}

uint64_t QueryRunner::count()
{
    const EntityDef &entity = *plan_.root.entity;
    if (plan_.root.conditions.empty() && plan_.root.links.empty()) {
        MDB_stat stat;
        const int rc = mdb_stat(txn_, entity.dbi, &stat);
        if (rc)
            raiseLmdb(rc, "Could not count " + entity.name);
        return stat.ms_entries;
    }
    if (plan_.onlyLookups && exactLookups()) {
        // Counted from the indexes alone: the smallest key's ids, each checked in the others.
        const size_t n = plan_.lookups.size();
        std::vector<Cursor> cursors;
        std::vector<size_t> counts(n);
        std::vector<MDB_val> firsts(n);
        cursors.reserve(n);
        std::vector<uint8_t> keys(8 * n);
        size_t best = 0;
        for (size_t i = 0; i < n; ++i) {
            const IndexLookup &lookup = plan_.lookups[i];
            cursors.emplace_back(txn_, lookup.property->indexDbi, entity.name + "." + lookup.property->name);
            if (!seek(cursors[i], lookup, &keys[8 * i], firsts[i], counts[i]))
                return 0;
            if (counts[i] < counts[best])
                best = i;
        }
        if (n == 1)
            return counts[0];
        uint64_t total = 0;
        MDB_val ik{8, &keys[8 * best]};
        MDB_val dup = firsts[best];
        int rc = 0;
        for (; rc == 0; rc = cursors[best].get(ik, dup, MDB_NEXT_DUP)) {
            bool inAll = true;
            for (size_t j = 0; j < n && inAll; ++j) {
                if (j == best)
                    continue;
                MDB_val k{8, &keys[8 * j]};
                MDB_val d{8, dup.mv_data};
                inAll = cursors[j].get(k, d, MDB_GET_BOTH) == 0;
            }
            total += inAll;
        }
        if (rc != MDB_NOTFOUND)
            raiseLmdb(rc, "Could not read an index of " + entity.name);
        return total;
    }
    uint64_t total = 0;
    scan([](void *context, const QueryMatch &, const RowView &) {
        ++*static_cast<uint64_t *>(context);
        return true;
    }, &total);
    return total;
}

void QueryRunner::selectAll(std::vector<QueryMatch> &out)
{
    out.clear();
    scan([](void *context, const QueryMatch &match, const RowView &) {
        static_cast<std::vector<QueryMatch> *>(context)->push_back(match);
        return true;
    }, &out);
}

void QueryRunner::select(uint64_t offset, uint64_t limit, std::vector<QueryMatch> &out)
{
    out.clear();
    if (plan_.orders.empty()) {
        struct Paging
        {
            uint64_t skip;
            uint64_t limit;
            std::vector<QueryMatch> *out;
        } paging{offset, limit, &out};
        scan([](void *context, const QueryMatch &match, const RowView &) {
            Paging &p = *static_cast<Paging *>(context);
            if (p.skip) {
                --p.skip;
                return true;
            }
            p.out->push_back(match);
            return !(p.limit && p.out->size() >= p.limit);
        }, &paging);
        return;
    }

    ScratchLease scratch;
    struct Collect
    {
        const QueryPlan *plan;
        Scratch *scratch;
    } collect{&plan_, &*scratch};
    scratch->numbers.clear();
    scratch->texts.clear();
    scratch->matches.clear();
    // Keys are taken while the row is at hand, so sorting never parses a row again.
    scan([](void *context, const QueryMatch &match, const RowView &row) {
        Collect &c = *static_cast<Collect *>(context);
        c.scratch->matches.push_back(match);
        for (const OrderKey &key : c.plan->orders) {
            if (key.isText) {
                c.scratch->texts.push_back(row.stringField(*key.property));
                c.scratch->numbers.push_back(0);
            } else {
                c.scratch->texts.emplace_back();
                c.scratch->numbers.push_back(QueryPlan::orderValue(key, row));
            }
        }
        return true;
    }, &collect);

    const size_t n = scratch->matches.size();
    const size_t k = plan_.orders.size();
    if (offset >= n)
        return;
    const size_t end = limit ? size_t(std::min<uint64_t>(n, offset + limit)) : n;
    std::vector<uint32_t> &order = scratch->order;
    order.resize(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = uint32_t(i);
    const Scratch &s = *scratch;
    const auto less = [&](uint32_t a, uint32_t b) {
        for (size_t j = 0; j < k; ++j) {
            const OrderKey &key = plan_.orders[j];
            if (key.isText) {
                int c = QueryPlan::compareText(s.texts[a * k + j], s.texts[b * k + j], key.caseSensitive);
                if (key.descending)
                    c = -c;
                if (c)
                    return c < 0;
            } else if (s.numbers[a * k + j] != s.numbers[b * k + j]) {
                return s.numbers[a * k + j] < s.numbers[b * k + j];
            }
        }
        return s.matches[a].id < s.matches[b].id;
    };
    if (end < n)
        std::partial_sort(order.begin(), order.begin() + long(end), order.end(), less);
    else
        std::sort(order.begin(), order.end(), less);
    out.reserve(end - offset);
    for (size_t i = offset; i < end; ++i)
        out.push_back(scratch->matches[order[i]]);
}

} // namespace internal
} // namespace obx
