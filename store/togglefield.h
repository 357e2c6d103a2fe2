#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ToggleField
{
    uint64_t id = 0;
    std::string title;
    int32_t key = 0;
    std::string parent_key;
    std::string request_title;
    std::vector<std::string> attached_inputs;
    std::vector<std::string> attached_toggles;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct ToggleField_
{
    static constexpr obx::Property<ToggleField, OBXPropertyType_Long> id{16, 1};
    static constexpr obx::Property<ToggleField, OBXPropertyType_String> title{16, 2};
    static constexpr obx::Property<ToggleField, OBXPropertyType_Int> key{16, 3};
    static constexpr obx::Property<ToggleField, OBXPropertyType_String> parent_key{16, 4};
    static constexpr obx::Property<ToggleField, OBXPropertyType_String> request_title{16, 5};
    static constexpr obx::Property<ToggleField, OBXPropertyType_StringVector> attached_inputs{16, 6};
    static constexpr obx::Property<ToggleField, OBXPropertyType_StringVector> attached_toggles{16, 7};
};

// The binding the store's boxes and queries use.
struct ToggleField::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 16; }
    static obx_id getObjectId(const ToggleField &object) { return object.id; }
    static void setObjectId(ToggleField &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const ToggleField &object);
    static void fromFlatBuffer(const void *data, size_t size, ToggleField &outObject);
    static std::unique_ptr<ToggleField> newFromFlatBuffer(const void *data, size_t size);
};
