#pragma once

// The store's in-memory form of a model: entities, their properties and indexes, resolved and
// checked once so that queries and puts only follow pointers.

#include "obx.h"

#include <lmdb.h>

#include <string>
#include <vector>

namespace obx {
namespace internal {

struct PropertyDef
{
    std::string name;
    OBXPropertyType type = OBXPropertyType_Bool;
    obx_schema_id id = 0;
    obx_uid uid = 0;
    uint32_t flags = 0;
    obx_schema_id indexId = 0;
    obx_uid indexUid = 0;
    std::string targetName;           // Relation: the target entity's name
    obx_schema_id targetEntity = 0;   // resolved by Schema::finish()

    // Filled by Schema::finish().
    uint16_t voffset = 0;   // vtable offset of the field: 2 + 2 * id
    uint8_t width = 0;      // inline size of the field in bytes
    bool isScalarInt = false;
    bool isFloating = false;
    bool unsignedValue = false; // compared and ordered as unsigned
    bool indexed = false;
    bool unique = false;
    bool skipZero = false;

    // Set when the store opens.
    MDB_dbi indexDbi = 0;
};

struct EntityDef
{
    std::string name;
    obx_schema_id id = 0;
    obx_uid uid = 0;
    obx_schema_id lastPropertyId = 0;
    obx_uid lastPropertyUid = 0;
    std::vector<PropertyDef> properties; // in property-id order after finish()

    // Filled by Schema::finish().
    const PropertyDef *idProperty = nullptr;
    bool selfAssignableIds = false;
    std::vector<const PropertyDef *> indexes;
    std::vector<int> slotById; // property id -> position in properties, -1 when missing

    // Set when the store opens.
    MDB_dbi dbi = 0;

    const PropertyDef *property(obx_schema_id propertyId) const
    {
        if (propertyId >= slotById.size() || slotById[propertyId] < 0)
            return nullptr;
        return &properties[size_t(slotById[propertyId])];
    }
};

class Schema
{
public:
    Schema() = default;
    // Moves keep the pointers between entities and properties valid; copies would not.
    Schema(const Schema &) = delete;
    Schema &operator=(const Schema &) = delete;
    Schema(Schema &&) = default;
    Schema &operator=(Schema &&) = default;

    std::vector<EntityDef> entities;
    obx_schema_id lastEntityId = 0;
    obx_uid lastEntityUid = 0;
    obx_schema_id lastIndexId = 0;
    obx_uid lastIndexUid = 0;

    // Resolves relation targets and checks the rules between the calls; returns an error text,
    // empty when the model is sound. Call once, after the last model call.
    std::string finish();

    const EntityDef *entity(obx_schema_id entityId) const;
    EntityDef *entity(obx_schema_id entityId);
    const EntityDef *entityByName(const std::string &name) const;
    obx_schema_id maxEntityId() const;
    obx_schema_id maxIndexId() const;

private:
    std::vector<int> entitySlotById_;
};

const char *typeName(OBXPropertyType type);

} // namespace internal
} // namespace obx
