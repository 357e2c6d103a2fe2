#pragma once

// The in-memory form of a model: what the model calls describe, checked as they are made.

#include "store/obx/obx.h"

#include <map>
#include <string>
#include <vector>

namespace obx::internal {

struct PropertyInfo
{
    std::string name;
    OBXPropertyType type = OBXPropertyType_Bool;
    obx_schema_id id = 0;
    obx_uid uid = 0;
    uint32_t flags = 0;
    obx_schema_id indexId = 0; // 0: not indexed
    obx_uid indexUid = 0;
    std::string target;        // relation target entity name
    obx_schema_id targetId = 0;

    flatbuffers::voffset_t offset() const { return flatbuffers::voffset_t(2 + 2 * id); }
    bool isUnsigned() const { return (flags & OBXPropertyFlags_UNSIGNED) != 0; }
    bool isUnique() const { return (flags & OBXPropertyFlags_UNIQUE) != 0; }
    bool skipsZero() const { return (flags & OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO) != 0; }
    bool isInteger() const
    {
        return type == OBXPropertyType_Bool || type == OBXPropertyType_Short || type == OBXPropertyType_Int
            || type == OBXPropertyType_Long || type == OBXPropertyType_Relation;
    }
};

struct EntityInfo
{
    std::string name;
    obx_schema_id id = 0;
    obx_uid uid = 0;
    obx_schema_id lastPropertyId = 0;
    obx_uid lastPropertyUid = 0;
    std::vector<PropertyInfo> properties;
    std::map<obx_schema_id, size_t> byId; // property id -> index in properties
    bool selfAssignableIds = false;

    const PropertyInfo *property(obx_schema_id id) const;
    std::vector<const PropertyInfo *> indexed() const;
};

struct Schema
{
    std::vector<EntityInfo> entities;
    obx_schema_id lastEntityId = 0;
    obx_uid lastEntityUid = 0;
    obx_schema_id lastIndexId = 0;
    obx_uid lastIndexUid = 0;

    const EntityInfo *entity(obx_schema_id id) const;
    const EntityInfo *entity(const std::string &name) const;
    // Resolves relation targets; false with message when the model is inconsistent.
    bool finish(std::string &message);
};

} // namespace obx::internal

struct OBX_model
{
    obx::internal::Schema schema;
    obx_err errorCode = OBX_SUCCESS;
    std::string errorMessage;
};
