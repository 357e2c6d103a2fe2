#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TavorlinPosition
{
    uint64_t id = 0;
    int32_t position = 0;
    std::string tavorlin_id;
    std::string shelves_id;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct TavorlinPosition_
{
    static constexpr obx::Property<TavorlinPosition, OBXPropertyType_Long> id{20, 1};
    static constexpr obx::Property<TavorlinPosition, OBXPropertyType_Int> position{20, 2};
    static constexpr obx::Property<TavorlinPosition, OBXPropertyType_String> tavorlin_id{20, 3};
    static constexpr obx::Property<TavorlinPosition, OBXPropertyType_String> shelves_id{20, 4};
};

// The binding the store's boxes and queries use.
struct TavorlinPosition::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 20; }
    static obx_id getObjectId(const TavorlinPosition &object) { return object.id; }
    static void setObjectId(TavorlinPosition &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const TavorlinPosition &object);
    static void fromFlatBuffer(const void *data, size_t size, TavorlinPosition &outObject);
    static std::unique_ptr<TavorlinPosition> newFromFlatBuffer(const void *data, size_t size);
};
