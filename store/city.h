#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct City
{
    uint64_t id = 0;
    std::string server_id;
    std::string title;
    int32_t version = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct City_
{
    static constexpr obx::Property<City, OBXPropertyType_Long> id{2, 1};
    static constexpr obx::Property<City, OBXPropertyType_String> server_id{2, 2};
    static constexpr obx::Property<City, OBXPropertyType_String> title{2, 3};
    static constexpr obx::Property<City, OBXPropertyType_Int> version{2, 4};
};

// The binding the store's boxes and queries use.
struct City::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 2; }
    static obx_id getObjectId(const City &object) { return object.id; }
    static void setObjectId(City &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const City &object);
    static void fromFlatBuffer(const void *data, size_t size, City &outObject);
    static std::unique_ptr<City> newFromFlatBuffer(const void *data, size_t size);
};
