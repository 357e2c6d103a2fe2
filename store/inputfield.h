#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct InputField
{
    uint64_t id = 0;
    std::string title;
    std::string key;
    std::string parent_key;
    std::string request_title;
    int16_t input_type = 0;
    int16_t filter_type = 0;
    int16_t max_length = 0;
    bool currency = false;
    bool single_line = false;
    bool filter = false;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct InputField_
{
    static constexpr obx::Property<InputField, OBXPropertyType_Long> id{13, 1};
    static constexpr obx::Property<InputField, OBXPropertyType_String> title{13, 2};
    static constexpr obx::Property<InputField, OBXPropertyType_String> key{13, 3};
    static constexpr obx::Property<InputField, OBXPropertyType_String> parent_key{13, 4};
    static constexpr obx::Property<InputField, OBXPropertyType_String> request_title{13, 5};
    static constexpr obx::Property<InputField, OBXPropertyType_Short> input_type{13, 6};
    static constexpr obx::Property<InputField, OBXPropertyType_Short> filter_type{13, 7};
    static constexpr obx::Property<InputField, OBXPropertyType_Short> max_length{13, 8};
    static constexpr obx::Property<InputField, OBXPropertyType_Bool> currency{13, 9};
    static constexpr obx::Property<InputField, OBXPropertyType_Bool> single_line{13, 10};
    static constexpr obx::Property<InputField, OBXPropertyType_Bool> filter{13, 11};
};

// The binding the store's boxes and queries use.
struct InputField::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 13; }
    static obx_id getObjectId(const InputField &object) { return object.id; }
    static void setObjectId(InputField &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const InputField &object);
    static void fromFlatBuffer(const void *data, size_t size, InputField &outObject);
    static std::unique_ptr<InputField> newFromFlatBuffer(const void *data, size_t size);
};
