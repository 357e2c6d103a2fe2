#pragma once

// One level of a query as the builder collects it: conditions (combined with AND), links to
// the rows a relation points at, and the order.

#include "obx.h"

#include <memory>
#include <vector>

namespace obx {
namespace internal {

struct QueryNode
{
    struct Link
    {
        obx_schema_id relationProperty = 0;
        obx_schema_id targetEntity = 0;
        std::shared_ptr<QueryNode> node;
    };
    struct Order
    {
        obx_schema_id property = 0;
        uint32_t flags = 0;
    };

    obx_schema_id entity = 0;
    std::vector<std::shared_ptr<ConditionNode>> conditions;
    std::vector<Link> links;
    std::vector<Order> orders;
};

} // namespace internal
} // namespace obx
