#include "queryplan.h"

#include "condition.h"
#include "errors.h"
#include "indexupkeep.h"
#include "keys.h"
#include "querynode.h"
#include "storeimpl.h"

#include <cmath>
#include <cstring>

namespace obx {
namespace internal {

namespace {

const char *opName(int op)
{
    switch (op) {
    case OpEqual: return "==";
    case OpNotEqual: return "!=";
    case OpGreater: return ">";
    case OpGreaterOrEqual: return ">=";
    case OpLess: return "<";
    case OpLessOrEqual: return "<=";
    case OpBetween: return "between";
    case OpContains: return "contains";
    case OpStartsWith: return "starts with";
    case OpEndsWith: return "ends with";
    case OpContainsElement: return "contains element";
    }
    return "?";
}

inline char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool equalText(std::string_view a, std::string_view b, bool caseSensitive)
{
    if (a.size() != b.size())
        return false;
    if (caseSensitive)
        return std::memcmp(a.data(), b.data(), a.size()) == 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

bool containsText(std::string_view haystack, std::string_view needle, bool caseSensitive)
{
    if (needle.empty())
        return true;
    if (caseSensitive)
        return haystack.find(needle) != std::string_view::npos;
    if (needle.size() > haystack.size())
        return false;
    for (size_t i = 0; i + needle.size() <= haystack.size(); ++i)
        if (equalText(haystack.substr(i, needle.size()), needle, false))
            return true;
    return false;
}

template <class T> bool compare(int op, T v, T a, T b)
{
    switch (op) {
    case OpEqual: return v == a;
    case OpNotEqual: return v != a;
    case OpGreater: return v > a;
    case OpGreaterOrEqual: return v >= a;
    case OpLess: return v < a;
    case OpLessOrEqual: return v <= a;
    case OpBetween: return v >= a && v <= b;
    }
    return false;
}

bool evaluate(const CompiledCondition &c, const RowView &row)
{
    switch (c.kind) {
    case CompiledCondition::All:
        for (const CompiledCondition &child : c.children)
            if (!evaluate(child, row))
                return false;
        return true;
    case CompiledCondition::Any:
        if (c.children.empty())
            return true;
        for (const CompiledCondition &child : c.children)
            if (evaluate(child, row))
                return true;
        return false;
    case CompiledCondition::Int: {
        const uint64_t v = row.intField(*c.property);
        if (c.unsignedCompare)
            return compare<uint64_t>(c.op, v, c.int1, c.int2);
        return compare<int64_t>(c.op, int64_t(v), int64_t(c.int1), int64_t(c.int2));
    }
    case CompiledCondition::Double:
        return compare<double>(c.op, row.doubleField(*c.property), c.double1, c.double2);
    case CompiledCondition::Text: {
        const std::string_view v = row.stringField(*c.property);
        switch (c.op) {
        case OpEqual: return equalText(v, c.text, c.caseSensitive);
        case OpNotEqual: return !equalText(v, c.text, c.caseSensitive);
        case OpContains: return containsText(v, c.text, c.caseSensitive);
        case OpStartsWith: return v.size() >= c.text.size() && equalText(v.substr(0, c.text.size()), c.text, c.caseSensitive);
        case OpEndsWith:
            return v.size() >= c.text.size() && equalText(v.substr(v.size() - c.text.size()), c.text, c.caseSensitive);
        }
        return false;
    }
    case CompiledCondition::Element: {
        const RowView::Strings strings = row.vectorField(*c.property);
        for (uint32_t i = 0; i < strings.count; ++i)
            if (equalText(strings.element(i), c.text, c.caseSensitive))
                return true;
        return false;
    }
    }
    return false;
}

[[noreturn]] void unfit(const EntityDef &entity, const PropertyDef &property, int op, const char *valueKind)
{
    raise(OBX_ERROR_ILLEGAL_ARGUMENT, std::string("Condition ") + opName(op) + " with a " + valueKind + " value does not apply to " +
                                          entity.name + "." + property.name + " of type " + typeName(property.type));
}

CompiledCondition compileCondition(const EntityDef &entity, const ConditionNode &node)
{
    CompiledCondition c;
    if (node.kind != ConditionNode::Leaf) {
        c.kind = node.kind == ConditionNode::All ? CompiledCondition::All : CompiledCondition::Any;
        c.children.reserve(node.children.size());
        for (const auto &child : node.children)
            c.children.push_back(compileCondition(entity, *child));
        return c;
    }
    const PropertyDef *property = entity.property(node.property);
    if (!property)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity " + entity.name + " has no property with id " + std::to_string(node.property));
    c.property = property;
    c.op = uint8_t(node.op);
    c.caseSensitive = node.caseSensitive;
    switch (node.valueKind) {
    case ConditionNode::IntValue:
        if (!property->isScalarInt || node.op > OpBetween)
            unfit(entity, *property, node.op, "integer");
        c.kind = CompiledCondition::Int;
        c.unsignedCompare = property->unsignedValue;
        c.int1 = uint64_t(node.int1);
        c.int2 = uint64_t(node.int2);
        break;
    case ConditionNode::DoubleValue:
        if (!property->isFloating || node.op > OpBetween)
            unfit(entity, *property, node.op, "floating-point");
        c.kind = CompiledCondition::Double;
        c.double1 = node.double1;
        c.double2 = node.double2;
        break;
    case ConditionNode::StringValue:
        if (property->type == OBXPropertyType_String && (node.op == OpEqual || node.op == OpNotEqual ||
                                                         node.op == OpContains || node.op == OpStartsWith ||
                                                         node.op == OpEndsWith)) {
            c.kind = CompiledCondition::Text;
        } else if (property->type == OBXPropertyType_StringVector && node.op == OpContainsElement) {
            c.kind = CompiledCondition::Element;
        } else {
            unfit(entity, *property, node.op, "text");
        }
        c.text = node.text;
        break;
    }
    return c;
}

void compileNode(const StoreImpl &store, const QueryNode &node, CompiledNode &out, bool isRoot)
{
    out.entity = &store.entity(node.entity);
    out.conditions.reserve(node.conditions.size());
    for (const auto &condition : node.conditions)
        out.conditions.push_back(compileCondition(*out.entity, *condition));
    for (const QueryNode::Link &link : node.links) {
        const PropertyDef *relation = out.entity->property(link.relationProperty);
        if (!relation || relation->type != OBXPropertyType_Relation)
            raise(OBX_ERROR_ILLEGAL_ARGUMENT, "can't build a query link: property " + std::to_string(link.relationProperty) +
                                                  " of " + out.entity->name + " is not a relation");
        if (relation->targetEntity != link.targetEntity)
            raise(OBX_ERROR_ILLEGAL_ARGUMENT, "can't build a query link: " + out.entity->name + "." + relation->name +
                                                  " does not point at entity " + std::to_string(link.targetEntity));
        CompiledNode::Link compiled;
        compiled.relation = relation;
        compiled.target.reset(new CompiledNode);
        compileNode(store, *link.node, *compiled.target, false);
        out.links.push_back(std::move(compiled));
    }
    if (!isRoot && !node.orders.empty())
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Order applies to the query's own entity, not to a linked one");
}

void describeCondition(const CompiledCondition &c, bool withValues, std::string &out)
{
    if (c.kind == CompiledCondition::All || c.kind == CompiledCondition::Any) {
        out += "(";
        for (size_t i = 0; i < c.children.size(); ++i) {
            if (i)
                out += c.kind == CompiledCondition::All ? " AND " : " OR ";
            describeCondition(c.children[i], withValues, out);
        }
        out += ")";
        return;
    }
    out += c.property->name + " " + opName(c.op) + " ";
    if (!withValues) {
        out += c.op == OpBetween ? "? and ?" : "?";
        return;
    }
    switch (c.kind) {
    case CompiledCondition::Int:
        out += c.unsignedCompare ? std::to_string(c.int1) : std::to_string(int64_t(c.int1));
        if (c.op == OpBetween)
            out += " and " + (c.unsignedCompare ? std::to_string(c.int2) : std::to_string(int64_t(c.int2)));
        break;
    case CompiledCondition::Double:
        out += std::to_string(c.double1);
        if (c.op == OpBetween)
            out += " and " + std::to_string(c.double2);
        break;
    default:
        out += "\"" + c.text + "\"";
        break;
    }
}

void describeNode(const CompiledNode &node, bool withValues, std::string &out)
{
    out += node.entity->name;
    const char *joiner = " where ";
    for (const CompiledCondition &c : node.conditions) {
        out += joiner;
        describeCondition(c, withValues, out);
        joiner = " AND ";
    }
    for (const CompiledNode::Link &link : node.links) {
        out += joiner + std::string("link ") + link.relation->name + " -> [";
        describeNode(*link.target, withValues, out);
        out += "]";
        joiner = " AND ";
    }
}

} // namespace

std::shared_ptr<const QueryPlan> QueryPlan::compile(const StoreImpl &store, const QueryNode &root)
{
    auto plan = std::make_shared<QueryPlan>();
    compileNode(store, root, plan->root, true);
    const EntityDef &entity = *plan->root.entity;

    size_t answered = 0;
    for (const CompiledCondition &c : plan->root.conditions) {
        if (c.op != OpEqual || !c.property || !c.property->indexed)
            continue;
        if (c.kind == CompiledCondition::Int && !(c.property->skipZero && c.int1 == 0)) {
            plan->lookups.push_back(IndexLookup{c.property, c.int1});
            ++answered;
        } else if (c.kind == CompiledCondition::Text && c.caseSensitive) {
            plan->lookups.push_back(IndexLookup{c.property, IndexUpkeep::keyOfText(c.text)});
            ++answered;
        }
    }
    plan->onlyLookups = answered > 0 && answered == plan->root.conditions.size() && plan->root.links.empty();

    for (const QueryNode::Order &order : root.orders) {
        const PropertyDef *property = entity.property(order.property);
        if (!property)
            raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity " + entity.name + " has no property with id " + std::to_string(order.property));
        if (property->type == OBXPropertyType_StringVector)
            raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Cannot order by the list " + entity.name + "." + property->name);
        OrderKey key;
        key.property = property;
        key.descending = (order.flags & OBXOrderFlags_DESCENDING) != 0;
        key.unsignedOrder = property->unsignedValue || (order.flags & OBXOrderFlags_UNSIGNED) != 0;
        key.caseSensitive = (order.flags & OBXOrderFlags_CASE_SENSITIVE) != 0;
        key.isText = property->type == OBXPropertyType_String;
        plan->orders.push_back(key);
    }
    return plan;
}

bool QueryPlan::matchesNode(const CompiledNode &node, MDB_txn *txn, const RowView &row)
{
    for (const CompiledCondition &c : node.conditions)
        if (!evaluate(c, row))
            return false;
    for (const CompiledNode::Link &link : node.links) {
        const obx_id target = row.intField(*link.relation);
        if (target == 0)
            return false;
        uint8_t keyBytes[8];
        putBe64(keyBytes, target);
        MDB_val key{8, keyBytes};
        MDB_val value;
        const int rc = mdb_get(txn, link.target->entity->dbi, &key, &value);
        if (rc == MDB_NOTFOUND)
            return false;
        if (rc)
            raiseLmdb(rc, "Could not read " + link.target->entity->name + " #" + std::to_string(target));
        RowView targetRow;
        targetRow.open(value.mv_data, value.mv_size, *link.target->entity, target);
        if (!matchesNode(*link.target, txn, targetRow))
            return false;
    }
    return true;
}

uint64_t QueryPlan::orderValue(const OrderKey &key, const RowView &row)
{
    constexpr uint64_t kSign = uint64_t(1) << 63;
    uint64_t v;
    if (key.property->isFloating) {
        const double d = row.doubleField(*key.property);
        std::memcpy(&v, &d, 8);
        v = (v & kSign) ? ~v : (v | kSign);
    } else {
        v = row.intField(*key.property);
        if (!key.unsignedOrder)
            v ^= kSign;
    }
    return key.descending ? ~v : v;
}

int QueryPlan::compareText(std::string_view a, std::string_view b, bool caseSensitive)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(caseSensitive ? a[i] : fold(a[i]));
        const unsigned char y = static_cast<unsigned char>(caseSensitive ? b[i] : fold(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string QueryPlan::describe(bool withValues) const
{
    std::string out;
    describeNode(root, withValues, out);
    for (size_t i = 0; i < orders.size(); ++i) {
        out += i ? ", " : " order by ";
        out += orders[i].property->name + (orders[i].descending ? " desc" : "");
    }
    return out;
}

} // namespace internal
} // namespace obx
