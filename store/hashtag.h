#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct HashTag
{
    uint64_t id = 0;
    std::string server_id;
    std::string title;
    std::string user_id;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct HashTag_
{
    static constexpr obx::Property<HashTag, OBXPropertyType_Long> id{12, 1};
    static constexpr obx::Property<HashTag, OBXPropertyType_String> server_id{12, 2};
    static constexpr obx::Property<HashTag, OBXPropertyType_String> title{12, 3};
    static constexpr obx::Property<HashTag, OBXPropertyType_String> user_id{12, 4};
};

// The binding the store's boxes and queries use.
struct HashTag::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 12; }
    static obx_id getObjectId(const HashTag &object) { return object.id; }
    static void setObjectId(HashTag &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const HashTag &object);
    static void fromFlatBuffer(const void *data, size_t size, HashTag &outObject);
    static std::unique_ptr<HashTag> newFromFlatBuffer(const void *data, size_t size);
};
