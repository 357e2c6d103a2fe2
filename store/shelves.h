#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Shelves
{
    uint64_t id = 0;
    std::string server_id;
    std::string user_id;
    std::string name;
    int32_t color = 0;
    int32_t type = 0;
    int32_t position = 0;
    std::vector<std::string> access;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Shelves_
{
    static constexpr obx::Property<Shelves, OBXPropertyType_Long> id{15, 1};
    static constexpr obx::Property<Shelves, OBXPropertyType_String> server_id{15, 2};
    static constexpr obx::Property<Shelves, OBXPropertyType_String> user_id{15, 3};
    static constexpr obx::Property<Shelves, OBXPropertyType_String> name{15, 4};
    static constexpr obx::Property<Shelves, OBXPropertyType_Int> color{15, 5};
    static constexpr obx::Property<Shelves, OBXPropertyType_Int> type{15, 6};
    static constexpr obx::Property<Shelves, OBXPropertyType_Int> position{15, 7};
    static constexpr obx::Property<Shelves, OBXPropertyType_StringVector> access{15, 8};
};

// The binding the store's boxes and queries use.
struct Shelves::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 15; }
    static obx_id getObjectId(const Shelves &object) { return object.id; }
    static void setObjectId(Shelves &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Shelves &object);
    static void fromFlatBuffer(const void *data, size_t size, Shelves &outObject);
    static std::unique_ptr<Shelves> newFromFlatBuffer(const void *data, size_t size);
};
