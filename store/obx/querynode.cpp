#include "querynode.h"

#include "condition.h"
#include "errors.h"

namespace obx {
namespace internal {

namespace {

// Conditions name their entity; one meant for another entity is a caller's mistake that would
// otherwise read the wrong fields.
void checkEntity(const ConditionNode &condition, obx_schema_id entity)
{
    if (condition.kind == ConditionNode::Leaf) {
        if (condition.entity != entity)
            raise(OBX_ERROR_ILLEGAL_ARGUMENT, "A condition on entity " + std::to_string(condition.entity) +
                                                  " was added to a query of entity " + std::to_string(entity));
        return;
    }
    for (const auto &child : condition.children)
        checkEntity(*child, entity);
}

} // namespace

std::shared_ptr<QueryNode> newQueryNode(obx_schema_id entityId)
{
    auto node = std::make_shared<QueryNode>();
    node->entity = entityId;
    return node;
}

void addCondition(QueryNode &node, const QueryCondition &condition)
{
    if (!condition.node())
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "A query condition is empty");
    checkEntity(*condition.node(), node.entity);
    node.conditions.push_back(condition.node());
}

std::shared_ptr<QueryNode> addLink(QueryNode &node, obx_schema_id relationPropertyId, obx_schema_id targetEntityId)
{
    QueryNode::Link link;
    link.relationProperty = relationPropertyId;
    link.targetEntity = targetEntityId;
    link.node = newQueryNode(targetEntityId);
    node.links.push_back(link);
    return link.node;
}

void addOrder(QueryNode &node, obx_schema_id propertyId, uint32_t flags)
{
    node.orders.push_back(QueryNode::Order{propertyId, flags});
}

} // namespace internal
} // namespace obx
