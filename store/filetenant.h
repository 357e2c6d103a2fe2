#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileTenant
{
    uint64_t id = 0;
    std::string file_id;
    std::string name;
    std::string phone;
    uint64_t rent = 0;
    uint64_t mortgage = 0;
    uint64_t due_date = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileTenant_
{
    static constexpr obx::Property<FileTenant, OBXPropertyType_Long> id{10, 1};
    static constexpr obx::Property<FileTenant, OBXPropertyType_String> file_id{10, 2};
    static constexpr obx::Property<FileTenant, OBXPropertyType_String> name{10, 3};
    static constexpr obx::Property<FileTenant, OBXPropertyType_String> phone{10, 4};
    static constexpr obx::Property<FileTenant, OBXPropertyType_Long> rent{10, 5};
    static constexpr obx::Property<FileTenant, OBXPropertyType_Long> mortgage{10, 6};
    static constexpr obx::Property<FileTenant, OBXPropertyType_Long> due_date{10, 7};
};

// The binding the store's boxes and queries use.
struct FileTenant::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 10; }
    static obx_id getObjectId(const FileTenant &object) { return object.id; }
    static void setObjectId(FileTenant &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileTenant &object);
    static void fromFlatBuffer(const void *data, size_t size, FileTenant &outObject);
    static std::unique_ptr<FileTenant> newFromFlatBuffer(const void *data, size_t size);
};
