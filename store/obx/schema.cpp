#include "store/obx/schema.h"

#include "store/obx/lasterror.h"

#include <set>

namespace obx::internal {

const PropertyInfo *EntityInfo::property(obx_schema_id id) const
{
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : &properties[it->second];
}

std::vector<const PropertyInfo *> EntityInfo::indexed() const
{
    std::vector<const PropertyInfo *> result;
    for (const PropertyInfo &p : properties)
        if (p.indexId != 0)
            result.push_back(&p);
    return result;
}

const EntityInfo *Schema::entity(obx_schema_id id) const
{
    for (const EntityInfo &e : entities)
        if (e.id == id)
            return &e;
    return nullptr;
}

const EntityInfo *Schema::entity(const std::string &name) const
{
    for (const EntityInfo &e : entities)
        if (e.name == name)
            return &e;
    return nullptr;
}

bool Schema::finish(std::string &message)
{
    std::set<obx_schema_id> indexIds;
    for (EntityInfo &e : entities) {
        bool hasId = false;
        for (PropertyInfo &p : e.properties) {
            if (p.flags & OBXPropertyFlags_ID) {
                hasId = true;
                if (p.type != OBXPropertyType_Long || p.id != 1) {
                    message = "Entity " + e.name + ": the ID property must be the Long property 1";
                    return false;
                }
                e.selfAssignableIds = (p.flags & OBXPropertyFlags_ID_SELF_ASSIGNABLE) != 0;
            }
            if (p.type == OBXPropertyType_Relation) {
                const EntityInfo *target = entity(p.target);
                if (!target) {
                    message = "Relation " + e.name + "." + p.name + " targets unknown entity " + p.target;
                    return false;
                }
                p.targetId = target->id;
            }
            if (p.indexId != 0 && !indexIds.insert(p.indexId).second) {
                message = "Index id " + std::to_string(p.indexId) + " is used twice";
                return false;
            }
            if ((p.flags & (OBXPropertyFlags_UNIQUE)) && p.indexId == 0) {
                message = "Unique property " + e.name + "." + p.name + " has no index";
                return false;
            }
        }
        if (!hasId) {
            message = "Entity " + e.name + " has no ID property";
            return false;
        }
    }
    return true;
}

} // namespace obx::internal

using obx::internal::EntityInfo;
using obx::internal::PropertyInfo;

namespace {

// Keeps the model's first error; later calls on a failed model do nothing.
obx_err modelError(OBX_model *model, obx_err code, const std::string &message)
{
    if (model->errorCode == OBX_SUCCESS) {
        model->errorCode = code;
        model->errorMessage = message;
    }
    return obx::internal::setLastError(code, message);
}

obx_err checkModel(OBX_model *model)
{
    if (!model)
        return obx::internal::setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Model is null");
    if (model->errorCode != OBX_SUCCESS)
        return model->errorCode;
    return OBX_SUCCESS;
}

EntityInfo *lastEntity(OBX_model *model)
{
    return model->schema.entities.empty() ? nullptr : &model->schema.entities.back();
}

PropertyInfo *lastProperty(OBX_model *model)
{
    EntityInfo *e = lastEntity(model);
    return e && !e->properties.empty() ? &e->properties.back() : nullptr;
}

bool knownType(OBXPropertyType type)
{
    switch (type) {
    case OBXPropertyType_Bool:
    case OBXPropertyType_Short:
    case OBXPropertyType_Int:
    case OBXPropertyType_Long:
    case OBXPropertyType_Float:
    case OBXPropertyType_Double:
    case OBXPropertyType_String:
    case OBXPropertyType_Relation:
    case OBXPropertyType_StringVector:
        return true;
    }
    return false;
}

} // namespace

OBX_model *obx_model()
{
    return new OBX_model();
}

obx_err obx_model_free(OBX_model *model)
{
    delete model;
    return OBX_SUCCESS;
}

obx_err obx_model_error_code(OBX_model *model)
{
    return model ? model->errorCode : OBX_ERROR_ILLEGAL_ARGUMENT;
}

const char *obx_model_error_message(OBX_model *model)
{
    return model ? model->errorMessage.c_str() : "Model is null";
}

obx_err obx_model_entity(OBX_model *model, const char *name, obx_schema_id entity_id, obx_uid entity_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    if (!name || !*name || entity_id == 0 || entity_uid == 0)
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, "Entity needs a name, an id and a uid");
    if (model->schema.entity(entity_id) || model->schema.entity(name))
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, std::string("Entity declared twice: ") + name);
    EntityInfo entity;
    entity.name = name;
    entity.id = entity_id;
    entity.uid = entity_uid;
    model->schema.entities.push_back(std::move(entity));
    return OBX_SUCCESS;
}

obx_err obx_model_property(OBX_model *model, const char *name, OBXPropertyType type, obx_schema_id property_id,
                           obx_uid property_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    EntityInfo *entity = lastEntity(model);
    if (!entity)
        return modelError(model, OBX_ERROR_ILLEGAL_STATE, "Property declared before any entity");
    if (!name || !*name || property_id == 0 || property_uid == 0 || property_id > 32000)
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, "Property needs a name, an id and a uid");
    if (!knownType(type))
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, std::string("Unsupported type of property ") + name);
    if (entity->property(property_id))
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT,
                          "Property id " + std::to_string(property_id) + " declared twice in " + entity->name);
    PropertyInfo p;
    p.name = name;
    p.type = type;
    p.id = property_id;
    p.uid = property_uid;
    entity->byId[property_id] = entity->properties.size();
    entity->properties.push_back(std::move(p));
    return OBX_SUCCESS;
}

obx_err obx_model_property_flags(OBX_model *model, uint32_t flags)
{
    if (obx_err err = checkModel(model))
        return err;
    PropertyInfo *p = lastProperty(model);
    if (!p)
        return modelError(model, OBX_ERROR_ILLEGAL_STATE, "Flags set before any property");
    p->flags = flags;
    return OBX_SUCCESS;
}

obx_err obx_model_property_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    PropertyInfo *p = lastProperty(model);
    if (!p)
        return modelError(model, OBX_ERROR_ILLEGAL_STATE, "Index set before any property");
    if (index_id == 0 || index_uid == 0)
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, "Index needs an id and a uid");
    if (p->type == OBXPropertyType_Float || p->type == OBXPropertyType_Double || p->type == OBXPropertyType_StringVector)
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, "Property " + p->name + " cannot be indexed");
    p->indexId = index_id;
    p->indexUid = index_uid;
    return OBX_SUCCESS;
}

obx_err obx_model_property_relation(OBX_model *model, const char *target_entity, obx_schema_id index_id,
                                    obx_uid index_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    PropertyInfo *p = lastProperty(model);
    if (!p || p->type != OBXPropertyType_Relation)
        return modelError(model, OBX_ERROR_ILLEGAL_STATE, "Relation set on a property that is not a Relation");
    if (!target_entity || !*target_entity)
        return modelError(model, OBX_ERROR_ILLEGAL_ARGUMENT, "Relation needs a target entity");
    p->target = target_entity;
    return obx_model_property_index_id(model, index_id, index_uid);
}

obx_err obx_model_entity_last_property_id(OBX_model *model, obx_schema_id property_id, obx_uid property_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    EntityInfo *entity = lastEntity(model);
    if (!entity)
        return modelError(model, OBX_ERROR_ILLEGAL_STATE, "Last property id set before any entity");
    entity->lastPropertyId = property_id;
    entity->lastPropertyUid = property_uid;
    return OBX_SUCCESS;
}

obx_err obx_model_last_entity_id(OBX_model *model, obx_schema_id entity_id, obx_uid entity_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    model->schema.lastEntityId = entity_id;
    model->schema.lastEntityUid = entity_uid;
    return OBX_SUCCESS;
}

obx_err obx_model_last_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid)
{
    if (obx_err err = checkModel(model))
        return err;
    model->schema.lastIndexId = index_id;
    model->schema.lastIndexUid = index_uid;
    return OBX_SUCCESS;
}
