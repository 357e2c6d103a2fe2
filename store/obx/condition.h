#pragma once

// A condition as the query builder collects it: leaves name a property by id, groups combine
// their children. Nothing is resolved against a model until the query is built.

#include "obx.h"

#include <memory>
#include <string>
#include <vector>

namespace obx {
namespace internal {

struct ConditionNode
{
    enum Kind { Leaf, All, Any };
    enum ValueKind { IntValue, DoubleValue, StringValue };

    Kind kind = Leaf;
    obx_schema_id entity = 0;
    obx_schema_id property = 0;
    int op = OpEqual;
    ValueKind valueKind = IntValue;
    int64_t int1 = 0;
    int64_t int2 = 0;
    double double1 = 0;
    double double2 = 0;
    std::string text;
    bool caseSensitive = true;
    std::vector<std::shared_ptr<ConditionNode>> children;
};

} // namespace internal
} // namespace obx
