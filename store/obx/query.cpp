// Query execution. Conditions are bound to the model once per run and evaluated on the stored
// FlatBuffers bytes. At the root, the most selective equality on an indexed property picks the
// candidate rows from its index (in id order); otherwise every row is scanned in id order.

#include "store/obx/indexkey.h"
#include "store/obx/lasterror.h"
#include "store/obx/querynode.h"
#include "store/obx/storeimpl.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <optional>

namespace obx {

// ---- Building conditions ----------------------------------------------------------------------

namespace {

using internal::ConditionNode;

std::shared_ptr<ConditionNode> group(ConditionNode::Kind kind, const std::vector<QueryCondition> &conditions)
{
    auto node = std::make_shared<ConditionNode>();
    node->kind = kind;
    for (const QueryCondition &c : conditions) {
        // Nested groups of the same kind are flattened: (a && b) && c is one group of three. An
        // empty group matches every row, so it stays a child rather than vanishing.
        if (c.node()->kind == kind && !c.node()->children.empty())
            node->children.insert(node->children.end(), c.node()->children.begin(), c.node()->children.end());
        else
            node->children.push_back(c.node());
    }
    return node;
}

} // namespace

QueryCondition QueryCondition::operator&&(const QueryCondition &other) const
{
    return QueryCondition(group(ConditionNode::All, {*this, other}));
}

QueryCondition QueryCondition::operator||(const QueryCondition &other) const
{
    return QueryCondition(group(ConditionNode::Any, {*this, other}));
}

QueryCondition QueryCondition::all(const std::vector<QueryCondition> &conditions)
{
    return QueryCondition(group(ConditionNode::All, conditions));
}

QueryCondition QueryCondition::any(const std::vector<QueryCondition> &conditions)
{
    return QueryCondition(group(ConditionNode::Any, conditions));
}

QueryCondition QueryCondition::withDigitsFolded() const
{
    // A copy: the nodes may be shared with conditions that compare as they are.
    const auto fold = [](const auto &self, const ConditionNode &node) -> std::shared_ptr<ConditionNode> {
        auto copy = std::make_shared<ConditionNode>(node);
        copy->foldDigits = true;
        for (auto &child : copy->children)
            child = self(self, *child);
        return copy;
    };
    return QueryCondition(fold(fold, *node_));
}

namespace internal {

QueryCondition intCondition(obx_schema_id entity, obx_schema_id property, int op, int64_t a, int64_t b)
{
    auto node = std::make_shared<ConditionNode>();
    node->entity = entity;
    node->property = property;
    node->op = op;
    node->a = a;
    node->b = b;
    return QueryCondition(node);
}

QueryCondition doubleCondition(obx_schema_id entity, obx_schema_id property, int op, double a, double b)
{
    auto node = std::make_shared<ConditionNode>();
    node->entity = entity;
    node->property = property;
    node->op = op;
    node->isDouble = true;
    node->da = a;
    node->db = b;
    return QueryCondition(node);
}

QueryCondition stringCondition(obx_schema_id entity, obx_schema_id property, int op, const std::string &value,
                               bool caseSensitive)
{
    auto node = std::make_shared<ConditionNode>();
    node->entity = entity;
    node->property = property;
    node->op = op;
    node->text = value;
    node->caseSensitive = caseSensitive;
    return QueryCondition(node);
}

QueryCondition intSetCondition(obx_schema_id entity, obx_schema_id property, std::vector<int64_t> values)
{
    auto node = std::make_shared<ConditionNode>();
    node->entity = entity;
    node->property = property;
    node->op = OpOneOf;
    node->values = std::move(values);
    return QueryCondition(node);
}

std::shared_ptr<QueryNode> newQueryNode(obx_schema_id entityId)
{
    auto node = std::make_shared<QueryNode>();
    node->entity = entityId;
    return node;
}

void addCondition(QueryNode &node, const QueryCondition &condition)
{
    node.conditions.push_back(condition.node());
}

std::shared_ptr<QueryNode> addLink(QueryNode &node, obx_schema_id relationPropertyId, obx_schema_id targetEntityId)
{
    auto target = newQueryNode(targetEntityId);
    node.links.push_back({relationPropertyId, target});
    return target;
}

void addOrder(QueryNode &node, obx_schema_id propertyId, uint32_t flags)
{
    node.orders.push_back({propertyId, flags});
}

// ---- Binding to the model ---------------------------------------------------------------------

namespace {

struct Bound
{
    const ConditionNode *node;
    const PropertyInfo *property = nullptr; // leaves only
    std::vector<Bound> children;
    std::vector<uint64_t> keys; // OpOneOf: the values as sorted index values (their order is numeric)
    std::string text;           // a text test's value, its digits folded when the test folds them
    // Whether the stored texts' digits are folded too: only a value with digits can tell a stored
    // digit of one script from one of another.
    bool foldStored = false;
};

// The digit at text[at] when an Arabic-Indic (D9 A0-A9) or Persian (DB B0-B9) digit starts there.
int foreignDigit(const unsigned char *text, size_t size, size_t at)
{
    const unsigned char lead = text[at];
    if ((lead | 2) != 0xDB || at + 1 >= size) // neither D9 nor DB
        return -1;
    const unsigned next = text[at + 1] - (lead == 0xD9 ? 0xA0u : 0xB0u);
    return next < 10 ? int(next) : -1;
}

// text with those digits as ASCII ones, written into scratch when it has any.
std::string_view foldDigits(std::string_view text, std::string &scratch)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    size_t at = 0;
    while (at < text.size() && foreignDigit(bytes, text.size(), at) < 0)
        ++at;
    if (at == text.size())
        return text;
    scratch.assign(text.data(), at);
    while (at < text.size()) {
        const int digit = foreignDigit(bytes, text.size(), at);
        scratch.push_back(digit < 0 ? text[at] : char('0' + digit));
        at += digit < 0 ? 1 : 2;
    }
    return scratch;
}

bool hasDigit(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

struct BoundQuery
{
    const EntityInfo *entity = nullptr;
    MDB_dbi objects = 0;
    std::vector<Bound> conditions;
    struct Link
    {
        const PropertyInfo *relation;
        std::unique_ptr<BoundQuery> target;
    };
    std::vector<Link> links;
    struct Order
    {
        const PropertyInfo *property;
        uint32_t flags;
    };
    std::vector<Order> orders;
    // Every field that matching a row against the conditions and links, or ordering it, reads;
    // fieldMask holds their ids (0 when one is above 63).
    std::vector<const PropertyInfo *> readFields;
    uint64_t fieldMask = 0;
};

void collectFields(const Bound &bound, std::vector<const PropertyInfo *> &out)
{
    if (bound.property && std::find(out.begin(), out.end(), bound.property) == out.end())
        out.push_back(bound.property);
    for (const Bound &child : bound.children)
        collectFields(child, out);
}

bool isText(const PropertyInfo &p)
{
    return p.type == OBXPropertyType_String;
}

Bound bindCondition(const EntityInfo &entity, const ConditionNode &node)
{
    Bound bound{&node, nullptr, {}, {}, {}};
    if (node.kind != ConditionNode::Leaf) {
        for (const auto &child : node.children)
            bound.children.push_back(bindCondition(entity, *child));
        return bound;
    }
    if (node.entity != entity.id)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "A condition on entity " + std::to_string(node.entity)
                                             + " was added to a query of " + entity.name);
    const PropertyInfo *p = entity.property(node.property);
    if (!p)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Property " + std::to_string(node.property) + " is not in " + entity.name);
    const bool textOp = node.op == OpContains || node.op == OpStartsWith || node.op == OpEndsWith;
    if ((textOp && !isText(*p)) || (node.op == OpContainsElement) != (p->type == OBXPropertyType_StringVector)
        || (node.op == OpOneOf && !p->isInteger()))
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "The condition does not fit the type of " + entity.name + "." + p->name);
    bound.property = p;
    if (node.op == OpOneOf) {
        for (const int64_t v : node.values)
            bound.keys.push_back(integerIndexValue(*p, v));
        std::sort(bound.keys.begin(), bound.keys.end());
    }
    std::string scratch;
    bound.text = node.foldDigits ? std::string(foldDigits(node.text, scratch)) : node.text;
    bound.foldStored = node.foldDigits && hasDigit(bound.text);
    return bound;
}

std::unique_ptr<BoundQuery> bind(StoreImpl &store, const QueryNode &node)
{
    auto bound = std::make_unique<BoundQuery>();
    bound->entity = &store.entity(node.entity);
    bound->objects = store.objects(node.entity);
    for (const auto &c : node.conditions)
        bound->conditions.push_back(bindCondition(*bound->entity, *c));
    for (const QueryNode::Link &link : node.links) {
        const PropertyInfo *relation = bound->entity->property(link.relationProperty);
        if (!relation || relation->type != OBXPropertyType_Relation || relation->targetId != link.target->entity)
            fail(OBX_ERROR_ILLEGAL_ARGUMENT, "can't build a query link: no such relation in " + bound->entity->name);
        bound->links.push_back({relation, bind(store, *link.target)});
    }
    for (const QueryNode::Order &order : node.orders) {
        const PropertyInfo *p = bound->entity->property(order.property);
        if (!p || p->type == OBXPropertyType_StringVector)
            fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Cannot order " + bound->entity->name + " by that property");
        bound->orders.push_back({p, order.flags});
    }
    std::vector<const PropertyInfo *> &fields = bound->readFields;
    for (const Bound &c : bound->conditions)
        collectFields(c, fields);
    for (const BoundQuery::Link &link : bound->links)
        if (std::find(fields.begin(), fields.end(), link.relation) == fields.end())
            fields.push_back(link.relation);
    for (const BoundQuery::Order &order : bound->orders)
        if (std::find(fields.begin(), fields.end(), order.property) == fields.end())
            fields.push_back(order.property);
    for (const PropertyInfo *p : fields)
        bound->fieldMask |= p->id < 64 ? uint64_t(1) << p->id : 0;
    if (std::any_of(fields.begin(), fields.end(), [](const PropertyInfo *p) { return p->id >= 64; }))
        bound->fieldMask = 0;
    return bound;
}

// ---- Evaluation -------------------------------------------------------------------------------

char fold(char c)
{
    return char(std::tolower(static_cast<unsigned char>(c)));
}

bool sameText(std::string_view a, std::string_view b, bool caseSensitive)
{
    if (a.size() != b.size())
        return false;
    if (caseSensitive)
        return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

bool containsText(std::string_view hay, std::string_view needle, bool caseSensitive)
{
    if (caseSensitive)
        return hay.find(needle) != std::string_view::npos;
    if (needle.size() > hay.size())
        return false;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i)
        if (sameText(hay.substr(i, needle.size()), needle, false))
            return true;
    return false;
}

int compareText(std::string_view a, std::string_view b, bool caseSensitive)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(caseSensitive ? a[i] : fold(a[i]));
        const unsigned char y = static_cast<unsigned char>(caseSensitive ? b[i] : fold(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <class T> bool compare(int op, const T &v, const T &a, const T &b)
{
    switch (op) {
    case OpEqual:
        return v == a;
    case OpNotEqual:
        return !(v == a);
    case OpGreater:
        return v > a;
    case OpGreaterOrEqual:
        return v >= a;
    case OpLess:
        return v < a;
    case OpLessOrEqual:
        return v <= a;
    case OpBetween:
        return v >= a && v <= b;
    default:
        return false;
    }
}

bool evalLeaf(const Bound &bound, const Row &row)
{
    const ConditionNode &c = *bound.node;
    const PropertyInfo &p = *bound.property;
    const std::string &text = bound.text;
    // Where a stored text's digits are folded; one per thread, as rows are matched on several.
    thread_local std::string scratch;
    switch (p.type) {
    case OBXPropertyType_String: {
        const std::string_view value = bound.foldStored ? foldDigits(row.text(p), scratch) : row.text(p);
        switch (c.op) {
        case OpEqual:
            return sameText(value, text, c.caseSensitive);
        case OpNotEqual:
            return !sameText(value, text, c.caseSensitive);
        case OpContains:
            return containsText(value, text, c.caseSensitive);
        case OpStartsWith:
            return value.size() >= text.size() && sameText(value.substr(0, text.size()), text, c.caseSensitive);
        case OpEndsWith:
            return value.size() >= text.size()
                && sameText(value.substr(value.size() - text.size()), text, c.caseSensitive);
        default:
            return compare(c.op, compareText(value, text, c.caseSensitive), 0, 0);
        }
    }
    case OBXPropertyType_StringVector: {
        if (const auto *values = row.texts(p))
            for (const flatbuffers::String *value : *values) {
                if (!value)
                    continue;
                const std::string_view element(value->c_str(), value->size());
                if (sameText(bound.foldStored ? foldDigits(element, scratch) : element, text, c.caseSensitive))
                    return true;
            }
        return false;
    }
    case OBXPropertyType_Float:
    case OBXPropertyType_Double: {
        const double v = row.floating(p);
        return c.isDouble ? compare(c.op, v, c.da, c.db) : compare(c.op, v, double(c.a), double(c.b));
    }
    default: {
        if (c.op == OpOneOf)
            return std::binary_search(bound.keys.begin(), bound.keys.end(), integerIndexValue(p, row.integer(p)));
        if (c.isDouble)
            return compare(c.op, row.floating(p), c.da, c.db);
        // On unsigned properties the operands are the 64-bit patterns a caller's uint64_t gave,
        // as the index keys take them; reading them as signed lost every value above 2^63.
        const bool isUnsigned = p.isUnsigned() || p.type == OBXPropertyType_Relation;
        const int64_t raw = row.integer(p);
        if (isUnsigned)
            return compare<uint64_t>(c.op, uint64_t(raw), uint64_t(c.a), uint64_t(c.b));
        return compare<int64_t>(c.op, raw, c.a, c.b);
    }
    }
}

bool evalCondition(const Bound &bound, const Row &row)
{
    switch (bound.node->kind) {
    case ConditionNode::Leaf:
        return evalLeaf(bound, row);
    case ConditionNode::All:
        for (const Bound &child : bound.children)
            if (!evalCondition(child, row))
                return false;
        return true;
    case ConditionNode::Any:
        if (bound.children.empty())
            return true;
        for (const Bound &child : bound.children)
            if (evalCondition(child, row))
                return true;
        return false;
    }
    return false;
}

// Keeps the ids of `ids` that `other` holds too; both are ascending. Without branches on the
// comparison, since two lists of similar length interleave unpredictably.
void intersectInPlace(std::vector<obx_id> &ids, const std::vector<obx_id> &other)
{
    size_t i = 0, j = 0, kept = 0;
    const size_t n = ids.size(), m = other.size();
    while (i < n && j < m) {
        const obx_id x = ids[i], y = other[j];
        ids[kept] = x;
        kept += x == y;
        i += x <= y;
        j += y <= x;
    }
    ids.resize(kept);
}

// The root's AND level as a flat list: groups of AND inside it are opened, so that each of their
// members can be answered by an index on its own.
void flattenAll(const std::vector<Bound> &conditions, std::vector<const Bound *> &out)
{
    for (const Bound &c : conditions) {
        if (c.node->kind == ConditionNode::All)
            flattenAll(c.children, out);
        else
            out.push_back(&c);
    }
}

// Rows a scan asks the processor to fetch ahead of matching them, where the transaction already
// knows where they lie.
constexpr size_t kLookAhead = 8;
// The longest id list a transaction keeps for a second query over the same index keys.
constexpr size_t kKeptPlanIds = 1 << 16;

class Runner
{
public:
    Runner(StoreImpl &store, TxState &tx) : store_(store), tx_(tx) {}

    // whole: the row is handed out to be decoded, so every field is checked (once in the
    // transaction); otherwise only the fields the query reads.
    bool readRow(const BoundQuery &query, obx_id id, MDB_val &value, bool whole)
    {
        return StoreImpl::readRow(tx_, *query.entity, query.objects, id, value, whole ? nullptr : &query.readFields,
                                  query.fieldMask);
    }

    bool matchesLinks(const BoundQuery &query, const Row &row)
    {
        for (const BoundQuery::Link &link : query.links) {
            const obx_id target = obx_id(row.integer(*link.relation));
            MDB_val value;
            if (target == 0 || !readRow(*link.target, target, value, false))
                return false;
            if (!matches(*link.target, Row(*link.target->entity, value.mv_data, value.mv_size)))
                return false;
        }
        return true;
    }

    bool matches(const BoundQuery &query, const Row &row)
    {
        for (const Bound &c : query.conditions)
            if (!evalCondition(c, row))
                return false;
        return matchesLinks(query, row);
    }

    // An indexed equality that every match must satisfy: the rows under key in its index. An
    // exact key holds only rows with the value; a text's key is its hash, which other texts may
    // share, so its rows must still be compared.
    struct Candidate
    {
        const Bound *condition = nullptr;
        const PropertyInfo *property = nullptr;
        uint64_t key = 0;
        size_t count = 0; // looked up only where lists are compared
        bool exact = false;
    };

    // How a query's rows are found: the ids the indexes leave (in id order), or every row; and
    // the conditions that the rows must still be matched against.
    struct Plan
    {
        bool fromIndex = false;
        std::vector<obx_id> ids;
        std::vector<const Bound *> rest;
        bool rowsNeeded() const { return !rest.empty(); }
    };

    // valuesWanted: the caller reads the rows anyway (to order or hand them out), so an index
    // is read only as far as it spares rows.
    Plan plan(const BoundQuery &query, bool valuesWanted)
    {
        Plan plan;
        std::vector<const Bound *> leaves;
        flattenAll(query.conditions, leaves);
        std::vector<Candidate> found;
        for (const Bound *c : leaves)
            if (std::optional<Candidate> candidate = candidateOf(*c))
                found.push_back(*candidate);
        if (found.empty()) {
            plan.rest = std::move(leaves);
            return plan;
        }
        // With one list there is nothing to choose: its length is not looked up.
        if (found.size() > 1) {
            for (Candidate &c : found)
                c.count = indexCount(*c.property, c.key);
            std::stable_sort(found.begin(), found.end(),
                             [](const Candidate &a, const Candidate &b) { return a.count < b.count; });
        }
        // Rows are read anyway when a condition no index answers remains: a long id list then
        // costs more to read than the rows it would rule out.
        bool rowsReadAnyway = valuesWanted || !query.links.empty();
        for (const Bound *c : leaves)
            rowsReadAnyway = rowsReadAnyway
                || std::none_of(found.begin(), found.end(),
                                [c](const Candidate &k) { return k.condition == c && k.exact; });
        std::vector<const Bound *> answered;
        plan.fromIndex = true;
        // The same lists in the same transaction give the same ids: a second query over them
        // (the count beside a board's badge) takes them as the first left them. A write
        // transaction writes between its queries, and would only pay for keeping them.
        const bool keep = tx_.depth > 1 && !tx_.write;
        bool known = false;
        std::string key;
        if (keep) {
            key.push_back(rowsReadAnyway ? 'r' : 'i');
            for (const Candidate &c : found) {
                const uint64_t parts[3] = {store_.index(c.property->indexId), c.key, c.exact};
                key.append(reinterpret_cast<const char *>(parts), sizeof parts);
            }
            if (const auto kept = tx_.plans.find(key); kept != tx_.plans.end()) {
                known = true;
                plan.ids = kept->second.ids;
                for (size_t i : kept->second.answered)
                    answered.push_back(found[i].condition);
            }
        }
        if (!known) {
            std::vector<size_t> used;
            plan.ids = found.size() == 1 || found[0].count ? indexIds(found[0]) : std::vector<obx_id>();
            if (found[0].exact)
                used.push_back(0);
            for (size_t i = 1; i < found.size() && !plan.ids.empty(); ++i) {
                const Candidate &next = found[i];
                if (next.count <= 32 * plan.ids.size()) {
                    intersectInPlace(plan.ids, indexIds(next));
                } else if (!rowsReadAnyway && next.exact) {
                    keepIndexed(next, plan.ids);
                } else {
                    continue;
                }
                if (next.exact)
                    used.push_back(i);
            }
            for (size_t i : used)
                answered.push_back(found[i].condition);
            if (keep && plan.ids.size() <= kKeptPlanIds)
                tx_.plans.emplace(std::move(key), TxState::Plan{plan.ids, std::move(used)});
        }
        for (const Bound *c : leaves)
            if (std::find(answered.begin(), answered.end(), c) == answered.end())
                plan.rest.push_back(c);
        return plan;
    }

    // Calls visit(id, value) for each matching row in id order; visit returns false to stop. The
    // value is empty when values are not wanted and no condition needs the row.
    template <class Visit> void scan(const BoundQuery &query, bool valuesWanted, Visit &&visit)
    {
        const Plan p = plan(query, valuesWanted);
        const auto matchesRest = [&](const Row &row) {
            for (const Bound *c : p.rest)
                if (!evalCondition(*c, row))
                    return false;
            return matchesLinks(query, row);
        };
        if (p.fromIndex) {
            const bool eachRowNeeded = valuesWanted || p.rowsNeeded() || !query.links.empty();
            for (size_t i = 0; i < p.ids.size(); ++i) {
                const obx_id id = p.ids[i];
                MDB_val value{0, nullptr};
                if (eachRowNeeded) {
                    if (i + kLookAhead < p.ids.size())
                        StoreImpl::prefetchRow(tx_, query.objects, p.ids[i + kLookAhead]);
                    if (!readRow(query, id, value, false))
                        continue;
                    if (!matchesRest(Row(*query.entity, value.mv_data, value.mv_size)))
                        continue;
                }
                if (!visit(id, value))
                    return;
            }
            return;
        }
        Cursor cursor(tx_.txn, query.objects);
        MDB_val k, value;
        int rc = mdb_cursor_get(cursor.get(), &k, &value, MDB_FIRST);
        for (; rc == 0; rc = mdb_cursor_get(cursor.get(), &k, &value, MDB_NEXT)) {
            const obx_id id = readBigEndian64(k.mv_data);
            StoreImpl::checkRow(tx_, *query.entity, query.objects, id, value, &query.readFields, query.fieldMask);
            if (matchesRest(Row(*query.entity, value.mv_data, value.mv_size)) && !visit(id, value))
                return;
        }
        if (rc != MDB_NOTFOUND)
            failLmdb(rc, "Could not scan " + query.entity->name);
    }

    // The number of matches, from the indexes alone where they answer every condition.
    uint64_t count(const BoundQuery &query)
    {
        std::vector<const Bound *> leaves;
        flattenAll(query.conditions, leaves);
        if (leaves.size() == 1 && query.links.empty())
            if (std::optional<Candidate> only = candidateOf(*leaves[0]); only && only->exact)
                return indexCount(*only->property, only->key);
        uint64_t n = 0;
        scan(query, false, [&](obx_id, const MDB_val &) {
            ++n;
            return true;
        });
        return n;
    }

private:
    std::optional<Candidate> candidateOf(const Bound &c)
    {
        if (c.node->kind != ConditionNode::Leaf || c.node->op != OpEqual || !c.property->indexId)
            return std::nullopt;
        const PropertyInfo &p = *c.property;
        Candidate candidate;
        candidate.condition = &c;
        candidate.property = &p;
        if (p.type == OBXPropertyType_String) {
            // The index holds the stored bytes: a folded value without digits is found there.
            if (!c.node->caseSensitive || c.foldStored)
                return std::nullopt;
            candidate.key = hashText(c.text);
        } else if (p.isInteger() && !c.node->isDouble) {
            if (c.node->a == 0 && p.skipsZero())
                return std::nullopt;
            candidate.key = integerIndexValue(p, c.node->a);
            candidate.exact = true;
        } else {
            return std::nullopt;
        }
        return candidate;
    }

    size_t indexCount(const PropertyInfo &p, uint64_t key)
    {
        Cursor cursor(tx_.txn, store_.index(p.indexId));
        uint8_t bytes[8];
        putBigEndian64(bytes, key);
        MDB_val k{8, bytes}, d;
        const int rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY);
        if (rc == MDB_NOTFOUND)
            return 0;
        if (rc != 0)
            failLmdb(rc, "Could not read an index");
        size_t n = 0;
        mdb_cursor_count(cursor.get(), &n);
        return size_t(n);
    }

    // The ids under one index key, in id order, read a page of them at a time.
    std::vector<obx_id> indexIds(const Candidate &c)
    {
        std::vector<obx_id> ids;
        Cursor cursor(tx_.txn, store_.index(c.property->indexId));
        uint8_t bytes[8];
        putBigEndian64(bytes, c.key);
        MDB_val k{8, bytes}, d;
        int rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY);
        if (rc == 0) {
            size_t n = 0;
            mdb_cursor_count(cursor.get(), &n);
            ids.reserve(n);
            rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_GET_MULTIPLE);
        }
        for (; rc == 0; rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_NEXT_MULTIPLE)) {
            const uint8_t *p = static_cast<const uint8_t *>(d.mv_data);
            for (size_t i = 0; i + 8 <= d.mv_size; i += 8)
                ids.push_back(readBigEndian64(p + i));
        }
        if (rc != MDB_NOTFOUND)
            failLmdb(rc, "Could not read an index");
        return ids;
    }

    // Keeps the ids that the index holds under the candidate's key, looking each one up: for a
    // key far more common than the ids left, cheaper than reading its whole list.
    void keepIndexed(const Candidate &c, std::vector<obx_id> &ids)
    {
        Cursor cursor(tx_.txn, store_.index(c.property->indexId));
        uint8_t keyBytes[8], idBytes[8];
        putBigEndian64(keyBytes, c.key);
        size_t kept = 0;
        for (const obx_id id : ids) {
            putBigEndian64(idBytes, id);
            MDB_val k{8, keyBytes}, d{8, idBytes};
            const int rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_GET_BOTH);
            if (rc == 0)
                ids[kept++] = id;
            else if (rc != MDB_NOTFOUND)
                failLmdb(rc, "Could not read an index");
        }
        ids.resize(kept);
    }

    class Cursor
    {
    public:
        Cursor(MDB_txn *txn, MDB_dbi dbi)
        {
            const int rc = mdb_cursor_open(txn, dbi, &cursor_);
            if (rc != 0)
                failLmdb(rc, "Could not open a cursor");
        }
        ~Cursor() { mdb_cursor_close(cursor_); }
        MDB_cursor *get() const { return cursor_; }

    private:
        MDB_cursor *cursor_ = nullptr;
    };

    StoreImpl &store_;
    TxState &tx_;
};

struct Match
{
    obx_id id;
    MDB_val value;
};

// One order property's value for every match, taken from the rows once rather than at every
// comparison: numbers as 64-bit keys whose unsigned order is the wanted order, texts as views.
struct OrderColumn
{
    bool text = false;
    bool caseSensitive = false;
    bool descending = false;
    std::vector<uint64_t> keys;
    std::vector<std::string_view> texts;
};

uint64_t floatingKey(double v)
{
    if (v == 0)
        v = 0; // -0 and +0 tie
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63);
}

OrderColumn orderColumn(const BoundQuery::Order &order, const EntityInfo &entity, const std::vector<Match> &matches)
{
    const PropertyInfo &p = *order.property;
    OrderColumn column;
    column.descending = (order.flags & OBXOrderFlags_DESCENDING) != 0;
    column.text = p.type == OBXPropertyType_String;
    column.caseSensitive = (order.flags & OBXOrderFlags_CASE_SENSITIVE) != 0;
    const bool floating = p.type == OBXPropertyType_Float || p.type == OBXPropertyType_Double;
    const bool isUnsigned =
        p.isUnsigned() || p.type == OBXPropertyType_Relation || (order.flags & OBXOrderFlags_UNSIGNED);
    if (column.text)
        column.texts.reserve(matches.size());
    else
        column.keys.reserve(matches.size());
    for (const Match &m : matches) {
        const Row row(entity, m.value.mv_data, m.value.mv_size);
        if (column.text) {
            column.texts.push_back(row.text(p));
            continue;
        }
        uint64_t key = floating ? floatingKey(row.floating(p))
                                : (isUnsigned ? uint64_t(row.integer(p)) : uint64_t(row.integer(p)) ^ (uint64_t(1) << 63));
        column.keys.push_back(column.descending ? ~key : key);
    }
    return column;
}

} // namespace

// ---- RawQuery ---------------------------------------------------------------------------------

RawQuery::RawQuery(Store &store, std::shared_ptr<QueryNode> root) : store_(store), root_(std::move(root)) {}

void RawQuery::setOffset(uint64_t offset)
{
    offset_ = offset;
}

void RawQuery::setLimit(uint64_t limit)
{
    limit_ = limit;
}

namespace {

// The matches of a query in query order, after offset and limit. Without valuesWanted only the
// ids are sure to be filled in; without an order, rows are not read for the values of a page
// behind an offset either: visit reads the page's own rows.
std::vector<Match> collect(StoreImpl &impl, TxState &tx, const BoundQuery &query, uint64_t offset, uint64_t limit,
                           bool valuesWanted)
{
    Runner runner(impl, tx);
    std::vector<Match> matches;
    if (query.orders.empty()) {
        uint64_t skipped = 0;
        runner.scan(query, valuesWanted && offset == 0, [&](obx_id id, const MDB_val &value) {
            if (skipped < offset) {
                ++skipped;
                return true;
            }
            matches.push_back({id, value});
            return limit == 0 || matches.size() < limit;
        });
        return matches;
    }
    runner.scan(query, true, [&](obx_id id, const MDB_val &value) {
        matches.push_back({id, value});
        return true;
    });
    if (offset >= matches.size())
        return {};
    std::vector<OrderColumn> columns;
    for (const BoundQuery::Order &order : query.orders)
        columns.push_back(orderColumn(order, *query.entity, matches));
    std::vector<uint32_t> order(matches.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // Ties fall back to id order, so the order is total and needs no stable sort.
    const auto before = [&](uint32_t x, uint32_t y) {
        for (const OrderColumn &c : columns) {
            if (c.text) {
                const int r = compareText(c.texts[x], c.texts[y], c.caseSensitive);
                if (r != 0)
                    return c.descending ? r > 0 : r < 0;
            } else if (c.keys[x] != c.keys[y]) {
                return c.keys[x] < c.keys[y];
            }
        }
        return matches[x].id < matches[y].id;
    };
    // offset < matches.size() here; offset + limit could wrap for a limit near 2^64.
    const uint64_t wanted = limit && limit < matches.size() - offset ? offset + limit : matches.size();
    if (wanted < matches.size())
        std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(wanted), order.end(), before);
    else
        std::sort(order.begin(), order.end(), before);
    std::vector<Match> page;
    page.reserve(size_t(wanted - offset));
    for (uint64_t i = offset; i < wanted; ++i)
        page.push_back(matches[order[size_t(i)]]);
    return page;
}

} // namespace

std::vector<obx_id> RawQuery::findIds()
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    const auto query = bind(impl, *root_);
    std::vector<obx_id> ids;
    for (const Match &m : collect(impl, impl.require(false), *query, offset_, limit_, false))
        ids.push_back(m.id);
    txn.success();
    return ids;
}

void RawQuery::visit(void (*fn)(void *context, const void *data, size_t size), void *context)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    const auto query = bind(impl, *root_);
    TxState &tx = impl.require(false);
    Runner runner(impl, tx);
    // Rows were checked as far as matching and ordering read them; what is handed out to be
    // decoded is checked whole.
    for (Match &m : collect(impl, tx, *query, offset_, limit_, true)) {
        if (m.value.mv_data)
            StoreImpl::checkRow(tx, *query->entity, query->objects, m.id, m.value);
        else if (!runner.readRow(*query, m.id, m.value, true))
            continue;
        fn(context, m.value.mv_data, m.value.mv_size);
    }
    txn.success();
}

uint64_t RawQuery::count()
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    const auto query = bind(impl, *root_);
    const uint64_t count = Runner(impl, impl.require(false)).count(*query);
    txn.success();
    return count;
}

uint64_t RawQuery::remove()
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::WRITE);
    const auto query = bind(impl, *root_);
    std::vector<obx_id> ids;
    for (const Match &m : collect(impl, impl.require(true), *query, 0, 0, false))
        ids.push_back(m.id);
    RawBox box(store_, root_->entity);
    uint64_t removed = 0;
    for (obx_id id : ids)
        removed += box.remove(id) ? 1 : 0;
    txn.success();
    return removed;
}

} // namespace internal

} // namespace obx
