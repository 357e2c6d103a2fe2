#pragma once

// What a query builder collects: conditions (a tree of AND/OR groups over leaf tests), links
// to related entities with their own conditions, and the order.

#include "store/obx/obx.h"

#include <memory>
#include <string>
#include <vector>

namespace obx::internal {

struct ConditionNode
{
    enum Kind { Leaf, All, Any };
    Kind kind = Leaf;
    obx_schema_id entity = 0;
    obx_schema_id property = 0;
    int op = OpEqual;
    bool isDouble = false; // the operands are da/db rather than a/b
    int64_t a = 0, b = 0;
    double da = 0, db = 0;
    std::string text;
    bool caseSensitive = true;
    bool foldDigits = false;
    std::vector<int64_t> values; // OpOneOf
    std::vector<std::shared_ptr<ConditionNode>> children;
};

struct QueryNode
{
    struct Link
    {
        obx_schema_id relationProperty;
        std::shared_ptr<QueryNode> target;
    };
    struct Order
    {
        obx_schema_id property;
        uint32_t flags;
    };
    obx_schema_id entity = 0;
    std::vector<std::shared_ptr<ConditionNode>> conditions; // combined with AND
    std::vector<Link> links;
    std::vector<Order> orders;
};

} // namespace obx::internal
