#include "modelcalls.h"

#include "errors.h"

#include <new>

using obx::internal::EntityDef;
using obx::internal::PropertyDef;
using obx::internal::setLastError;

namespace {

constexpr uint32_t kKnownFlags = OBXPropertyFlags_ID | OBXPropertyFlags_INDEXED | OBXPropertyFlags_UNIQUE |
                                 OBXPropertyFlags_ID_SELF_ASSIGNABLE | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO |
                                 OBXPropertyFlags_INDEX_HASH | OBXPropertyFlags_UNSIGNED;
constexpr obx_schema_id kMaxPropertyId = 32766; // the vtable offset 2 + 2 * id must fit 16 bits

obx_err nullModel()
{
    setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Model is null");
    return OBX_ERROR_ILLEGAL_ARGUMENT;
}

// Records the first error of the model; later calls report it again.
obx_err fail(OBX_model *model, const std::string &message)
{
    if (model->errorCode == OBX_SUCCESS) {
        model->errorCode = OBX_ERROR_ILLEGAL_ARGUMENT;
        model->errorMessage = message;
    }
    setLastError(model->errorCode, model->errorMessage);
    return model->errorCode;
}

obx_err earlierError(OBX_model *model)
{
    setLastError(model->errorCode, model->errorMessage);
    return model->errorCode;
}

bool uidTaken(const OBX_model *model, obx_uid uid)
{
    for (const EntityDef &e : model->schema.entities) {
        if (e.uid == uid)
            return true;
        for (const PropertyDef &p : e.properties)
            if (p.uid == uid || (p.indexUid != 0 && p.indexUid == uid))
                return true;
    }
    return false;
}

bool indexIdTaken(const OBX_model *model, obx_schema_id indexId)
{
    for (const EntityDef &e : model->schema.entities)
        for (const PropertyDef &p : e.properties)
            if (p.indexId == indexId)
                return true;
    return false;
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

EntityDef *currentEntity(OBX_model *model)
{
    if (model->currentEntity < 0)
        return nullptr;
    return &model->schema.entities[size_t(model->currentEntity)];
}

PropertyDef *currentProperty(OBX_model *model)
{
    EntityDef *entity = currentEntity(model);
    if (!entity || model->currentProperty < 0)
        return nullptr;
    return &entity->properties[size_t(model->currentProperty)];
}

obx_err setIndex(OBX_model *model, PropertyDef *property, obx_schema_id indexId, obx_uid indexUid)
{
    if (indexId == 0 || indexUid == 0)
        return fail(model, "Index id and uid of " + property->name + " must not be 0");
    if (property->indexId != 0)
        return fail(model, "Property " + property->name + " already has an index");
    if (indexIdTaken(model, indexId))
        return fail(model, "Index id " + std::to_string(indexId) + " is used twice");
    if (uidTaken(model, indexUid))
        return fail(model, "Uid " + std::to_string(indexUid) + " is used twice");
    property->indexId = indexId;
    property->indexUid = indexUid;
    return OBX_SUCCESS;
}

} // namespace

OBX_model *obx_model()
{
    OBX_model *model = new (std::nothrow) OBX_model;
    if (!model)
        setLastError(OBX_ERROR_STORAGE_GENERAL, "Out of memory");
    return model;
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
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    if (!name || !*name)
        return fail(model, "Entity name must not be empty");
    if (entity_id == 0 || entity_uid == 0)
        return fail(model, std::string("Entity id and uid of ") + name + " must not be 0");
    for (const EntityDef &e : model->schema.entities) {
        if (e.id == entity_id)
            return fail(model, "Entity id " + std::to_string(entity_id) + " is used twice");
        if (e.name == name)
            return fail(model, std::string("Entity name ") + name + " is used twice");
    }
    if (uidTaken(model, entity_uid))
        return fail(model, "Uid " + std::to_string(entity_uid) + " is used twice");
    EntityDef entity;
    entity.name = name;
    entity.id = entity_id;
    entity.uid = entity_uid;
    model->schema.entities.push_back(std::move(entity));
    model->currentEntity = int(model->schema.entities.size() - 1);
    model->currentProperty = -1;
    return OBX_SUCCESS;
}

obx_err obx_model_property(OBX_model *model, const char *name, OBXPropertyType type, obx_schema_id property_id,
                           obx_uid property_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    EntityDef *entity = currentEntity(model);
    if (!entity)
        return fail(model, "A property needs an entity first");
    if (!name || !*name)
        return fail(model, "Property name of " + entity->name + " must not be empty");
    if (!knownType(type))
        return fail(model, std::string("Property ") + name + " has unknown type " + std::to_string(int(type)));
    if (property_id == 0 || property_uid == 0)
        return fail(model, std::string("Property id and uid of ") + name + " must not be 0");
    if (property_id > kMaxPropertyId)
        return fail(model, std::string("Property id of ") + name + " is too large");
    for (const PropertyDef &p : entity->properties) {
        if (p.id == property_id)
            return fail(model, "Property id " + std::to_string(property_id) + " is used twice in " + entity->name);
        if (p.name == name)
            return fail(model, std::string("Property name ") + name + " is used twice in " + entity->name);
    }
    if (uidTaken(model, property_uid))
        return fail(model, "Uid " + std::to_string(property_uid) + " is used twice");
    PropertyDef property;
    property.name = name;
    property.type = type;
    property.id = property_id;
    property.uid = property_uid;
    entity->properties.push_back(std::move(property));
    model->currentProperty = int(entity->properties.size() - 1);
    return OBX_SUCCESS;
}

obx_err obx_model_property_flags(OBX_model *model, uint32_t flags)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    PropertyDef *property = currentProperty(model);
    if (!property)
        return fail(model, "Property flags need a property first");
    if (flags & ~kKnownFlags)
        return fail(model, "Property " + property->name + " has unknown flags " + std::to_string(flags));
    property->flags = flags;
    return OBX_SUCCESS;
}

obx_err obx_model_property_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    PropertyDef *property = currentProperty(model);
    if (!property)
        return fail(model, "An index id needs a property first");
    return setIndex(model, property, index_id, index_uid);
}

obx_err obx_model_property_relation(OBX_model *model, const char *target_entity, obx_schema_id index_id,
                                    obx_uid index_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    PropertyDef *property = currentProperty(model);
    if (!property)
        return fail(model, "A relation needs a property first");
    if (property->type != OBXPropertyType_Relation)
        return fail(model, "Property " + property->name + " is not a Relation");
    if (!target_entity || !*target_entity)
        return fail(model, "Relation " + property->name + " needs a target entity");
    property->targetName = target_entity;
    return setIndex(model, property, index_id, index_uid);
}

obx_err obx_model_entity_last_property_id(OBX_model *model, obx_schema_id property_id, obx_uid property_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    EntityDef *entity = currentEntity(model);
    if (!entity)
        return fail(model, "The last property id needs an entity first");
    if (property_id == 0 || property_uid == 0)
        return fail(model, "Last property id and uid of " + entity->name + " must not be 0");
    entity->lastPropertyId = property_id;
    entity->lastPropertyUid = property_uid;
    return OBX_SUCCESS;
}

obx_err obx_model_last_entity_id(OBX_model *model, obx_schema_id entity_id, obx_uid entity_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    if (entity_id == 0 || entity_uid == 0)
        return fail(model, "Last entity id and uid must not be 0");
    model->schema.lastEntityId = entity_id;
    model->schema.lastEntityUid = entity_uid;
    return OBX_SUCCESS;
}

obx_err obx_model_last_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid)
{
    if (!model)
        return nullModel();
    if (model->errorCode)
        return earlierError(model);
    if (index_id == 0 || index_uid == 0)
        return fail(model, "Last index id and uid must not be 0");
    model->schema.lastIndexId = index_id;
    model->schema.lastIndexUid = index_uid;
    return OBX_SUCCESS;
}
