#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct District
{
    uint64_t id = 0;
    std::string server_id;
    std::string title;
    std::string user_id;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct District_
{
    static constexpr obx::Property<District, OBXPropertyType_Long> id{4, 1};
    static constexpr obx::Property<District, OBXPropertyType_String> server_id{4, 2};
    static constexpr obx::Property<District, OBXPropertyType_String> title{4, 3};
    static constexpr obx::Property<District, OBXPropertyType_String> user_id{4, 4};
};

// The binding the store's boxes and queries use.
struct District::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 4; }
    static obx_id getObjectId(const District &object) { return object.id; }
    static void setObjectId(District &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const District &object);
    static void fromFlatBuffer(const void *data, size_t size, District &outObject);
    static std::unique_ptr<District> newFromFlatBuffer(const void *data, size_t size);
};
