#pragma once

// A query resolved against the store's model: every condition bound to its property's type and
// vtable offset, the root equalities an index can answer, and the order keys. Rows are
// matched on their stored bytes; no object is built.

#include "rowview.h"
#include "schema.h"

#include <lmdb.h>

#include <memory>
#include <string>
#include <vector>

namespace obx {
namespace internal {

class StoreImpl;
struct QueryNode;
struct ConditionNode;

struct CompiledCondition
{
    enum Kind : uint8_t { All, Any, Int, Double, Text, Element };
    Kind kind = All;
    uint8_t op = 0;
    bool unsignedCompare = false;
    bool caseSensitive = true;
    const PropertyDef *property = nullptr;
    uint64_t int1 = 0;
    uint64_t int2 = 0;
    double double1 = 0;
    double double2 = 0;
    std::string text;
    std::vector<CompiledCondition> children;
};

struct CompiledNode
{
    struct Link
    {
        const PropertyDef *relation = nullptr;
        std::unique_ptr<CompiledNode> target;
    };
    const EntityDef *entity = nullptr;
    std::vector<CompiledCondition> conditions;
    std::vector<Link> links;
};

// A root equality that an index answers: the rows under key in the property's index.
struct IndexLookup
{
    const PropertyDef *property = nullptr;
    uint64_t key = 0;
};

struct OrderKey
{
    const PropertyDef *property = nullptr;
    bool descending = false;
    bool unsignedOrder = false;
    bool caseSensitive = false;
    bool isText = false;
};

class QueryPlan
{
public:
    // Raises OBX_ERROR_ILLEGAL_ARGUMENT for conditions, links or orders the model cannot serve.
    static std::shared_ptr<const QueryPlan> compile(const StoreImpl &store, const QueryNode &root);

    bool matches(MDB_txn *txn, const RowView &row) const { return matchesNode(root, txn, row); }
    // A sortable 64-bit form of a numeric order key (descending already folded in).
    static uint64_t orderValue(const OrderKey &key, const RowView &row);
    static int compareText(std::string_view a, std::string_view b, bool caseSensitive);
    std::string describe(bool withValues) const;

    CompiledNode root;
    std::vector<IndexLookup> lookups;
    bool onlyLookups = false; // every root condition is one of the lookups and there are no links
    std::vector<OrderKey> orders;

private:
    static bool matchesNode(const CompiledNode &node, MDB_txn *txn, const RowView &row);
};

} // namespace internal
} // namespace obx
