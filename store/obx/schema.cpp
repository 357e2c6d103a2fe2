#include "schema.h"

#include <algorithm>
#include <set>

namespace obx {
namespace internal {

namespace {

constexpr uint32_t kIndexFlags = OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_HASH | OBXPropertyFlags_UNIQUE;

uint8_t widthOf(OBXPropertyType type)
{
    switch (type) {
    case OBXPropertyType_Bool:
        return 1;
    case OBXPropertyType_Short:
        return 2;
    case OBXPropertyType_Int:
    case OBXPropertyType_Float:
    case OBXPropertyType_String:       // offset to the string
    case OBXPropertyType_StringVector: // offset to the vector
        return 4;
    case OBXPropertyType_Long:
    case OBXPropertyType_Double:
    case OBXPropertyType_Relation:
        return 8;
    }
    return 0;
}

std::string qualified(const EntityDef &e, const PropertyDef &p)
{
    return e.name + "." + p.name;
}

} // namespace

const char *typeName(OBXPropertyType type)
{
    switch (type) {
    case OBXPropertyType_Bool: return "Bool";
    case OBXPropertyType_Short: return "Short";
    case OBXPropertyType_Int: return "Int";
    case OBXPropertyType_Long: return "Long";
    case OBXPropertyType_Float: return "Float";
    case OBXPropertyType_Double: return "Double";
    case OBXPropertyType_String: return "String";
    case OBXPropertyType_Relation: return "Relation";
    case OBXPropertyType_StringVector: return "StringVector";
    }
    return "unknown";
}

std::string Schema::finish()
{
    if (entities.empty())
        return "The model has no entities";
    std::set<obx_schema_id> indexIds;
    for (EntityDef &e : entities) {
        if (lastEntityId != 0 && e.id > lastEntityId)
            return "Entity " + e.name + " has id " + std::to_string(e.id) + ", above the model's last entity id " +
                   std::to_string(lastEntityId);
        if (lastEntityId != 0 && e.id == lastEntityId && e.uid != lastEntityUid)
            return "The model's last entity id " + std::to_string(lastEntityId) + " names uid " +
                   std::to_string(lastEntityUid) + ", but entity " + e.name + " has uid " + std::to_string(e.uid);
        std::sort(e.properties.begin(), e.properties.end(),
                  [](const PropertyDef &a, const PropertyDef &b) { return a.id < b.id; });
        e.idProperty = nullptr;
        e.indexes.clear();
        e.slotById.assign(e.properties.empty() ? 1 : e.properties.back().id + 1, -1);
        for (size_t i = 0; i < e.properties.size(); ++i) {
            PropertyDef &p = e.properties[i];
            e.slotById[p.id] = int(i);
            if (e.lastPropertyId != 0 && p.id > e.lastPropertyId)
                return "Property " + qualified(e, p) + " has id " + std::to_string(p.id) +
                       ", above the entity's last property id " + std::to_string(e.lastPropertyId);
            if (e.lastPropertyId != 0 && p.id == e.lastPropertyId && p.uid != e.lastPropertyUid)
                return "The last property id of " + e.name + " names uid " + std::to_string(e.lastPropertyUid) +
                       ", but property " + qualified(e, p) + " has uid " + std::to_string(p.uid);
            p.voffset = uint16_t(2 + 2 * p.id);
            p.width = widthOf(p.type);
            p.isScalarInt = p.type == OBXPropertyType_Bool || p.type == OBXPropertyType_Short ||
                            p.type == OBXPropertyType_Int || p.type == OBXPropertyType_Long ||
                            p.type == OBXPropertyType_Relation;
            p.isFloating = p.type == OBXPropertyType_Float || p.type == OBXPropertyType_Double;
            // Ids and relations are local ids, which are unsigned whatever the flags say.
            p.unsignedValue = (p.flags & (OBXPropertyFlags_UNSIGNED | OBXPropertyFlags_ID)) != 0 ||
                              p.type == OBXPropertyType_Relation || p.type == OBXPropertyType_Bool;
            if (p.flags & OBXPropertyFlags_ID) {
                if (e.idProperty)
                    return "Entity " + e.name + " has two id properties";
                if (p.type != OBXPropertyType_Long)
                    return "The id property " + qualified(e, p) + " must be a Long";
                e.idProperty = &p;
                e.selfAssignableIds = (p.flags & OBXPropertyFlags_ID_SELF_ASSIGNABLE) != 0;
            }
            if (p.type == OBXPropertyType_Relation && p.targetName.empty())
                return "Relation property " + qualified(e, p) + " has no target entity";
            const bool wantsIndex = (p.flags & kIndexFlags) != 0;
            if (wantsIndex && !(p.flags & OBXPropertyFlags_ID)) {
                if (p.isFloating || p.type == OBXPropertyType_StringVector)
                    return "Property " + qualified(e, p) + " of type " + typeName(p.type) + " cannot be indexed";
                if (p.indexId == 0)
                    return "Indexed property " + qualified(e, p) + " has no index id";
                if (lastIndexId != 0 && p.indexId > lastIndexId)
                    return "Index id " + std::to_string(p.indexId) + " of " + qualified(e, p) +
                           " is above the model's last index id " + std::to_string(lastIndexId);
                if (lastIndexId != 0 && p.indexId == lastIndexId && p.indexUid != lastIndexUid)
                    return "The model's last index id " + std::to_string(lastIndexId) + " names uid " +
                           std::to_string(lastIndexUid) + ", but the index of " + qualified(e, p) + " has uid " +
                           std::to_string(p.indexUid);
                if (!indexIds.insert(p.indexId).second)
                    return "Index id " + std::to_string(p.indexId) + " is used twice";
                p.indexed = true;
                p.unique = (p.flags & OBXPropertyFlags_UNIQUE) != 0;
                p.skipZero = (p.flags & OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO) != 0 && p.isScalarInt;
            } else if (p.indexId != 0) {
                return "Property " + qualified(e, p) + " has an index id but no index flag";
            }
        }
        if (!e.idProperty)
            return "Entity " + e.name + " has no id property";
    }
    for (EntityDef &e : entities)
        for (PropertyDef &p : e.properties) {
            if (p.type != OBXPropertyType_Relation)
                continue;
            const EntityDef *target = entityByName(p.targetName);
            if (!target)
                return "Relation " + qualified(e, p) + " targets " + p.targetName + ", which is not in the model";
            p.targetEntity = target->id;
        }
    // Pointers into the property vectors are taken only now that the vectors no longer change.
    entitySlotById_.assign(maxEntityId() + 1, -1);
    for (size_t i = 0; i < entities.size(); ++i) {
        EntityDef &e = entities[i];
        entitySlotById_[e.id] = int(i);
        e.idProperty = nullptr;
        for (const PropertyDef &p : e.properties) {
            if (p.flags & OBXPropertyFlags_ID)
                e.idProperty = &p;
            if (p.indexed)
                e.indexes.push_back(&p);
        }
    }
    return std::string();
}

const EntityDef *Schema::entity(obx_schema_id entityId) const
{
    if (entityId >= entitySlotById_.size() || entitySlotById_[entityId] < 0)
        return nullptr;
    return &entities[size_t(entitySlotById_[entityId])];
}

EntityDef *Schema::entity(obx_schema_id entityId)
{
    return const_cast<EntityDef *>(static_cast<const Schema *>(this)->entity(entityId));
}

const EntityDef *Schema::entityByName(const std::string &name) const
{
    for (const EntityDef &e : entities)
        if (e.name == name)
            return &e;
    return nullptr;
}

obx_schema_id Schema::maxEntityId() const
{
    obx_schema_id max = 0;
    for (const EntityDef &e : entities)
        max = std::max(max, e.id);
    return max;
}

obx_schema_id Schema::maxIndexId() const
{
    obx_schema_id max = 0;
    for (const EntityDef &e : entities)
        for (const PropertyDef &p : e.properties)
            max = std::max(max, p.indexId);
    return max;
}

} // namespace internal
} // namespace obx
