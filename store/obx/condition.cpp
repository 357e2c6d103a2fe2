#include "condition.h"

#include "errors.h"

namespace obx {

namespace {

using internal::ConditionNode;

std::shared_ptr<ConditionNode> group(ConditionNode::Kind kind, const std::vector<QueryCondition> &conditions)
{
    auto node = std::make_shared<ConditionNode>();
    node->kind = kind;
    for (const QueryCondition &condition : conditions) {
        if (!condition.node())
            internal::raise(OBX_ERROR_ILLEGAL_ARGUMENT, "A query condition is empty");
        // a && b && c becomes one group of three rather than a chain of pairs.
        if (condition.node()->kind == kind)
            node->children.insert(node->children.end(), condition.node()->children.begin(),
                                  condition.node()->children.end());
        else
            node->children.push_back(condition.node());
    }
    return node;
}

std::shared_ptr<ConditionNode> leaf(obx_schema_id entity, obx_schema_id property, int op)
{
    if (op < internal::OpEqual || op > internal::OpContainsElement)
        internal::raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Unknown condition operation " + std::to_string(op));
    auto node = std::make_shared<ConditionNode>();
    node->entity = entity;
    node->property = property;
    node->op = op;
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

namespace internal {

QueryCondition intCondition(obx_schema_id entity, obx_schema_id property, int op, int64_t a, int64_t b)
{
    auto node = leaf(entity, property, op);
    node->valueKind = ConditionNode::IntValue;
    node->int1 = a;
    node->int2 = b;
    return QueryCondition(node);
}

QueryCondition doubleCondition(obx_schema_id entity, obx_schema_id property, int op, double a, double b)
{
    auto node = leaf(entity, property, op);
    node->valueKind = ConditionNode::DoubleValue;
    node->double1 = a;
    node->double2 = b;
    return QueryCondition(node);
}

QueryCondition stringCondition(obx_schema_id entity, obx_schema_id property, int op, const std::string &value,
                               bool caseSensitive)
{
    auto node = leaf(entity, property, op);
    node->valueKind = ConditionNode::StringValue;
    node->text = value;
    node->caseSensitive = caseSensitive;
    return QueryCondition(node);
}

} // namespace internal
} // namespace obx
