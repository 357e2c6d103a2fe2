#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Scroll
{
    uint64_t id = 0;
    uint64_t entityId = 0;
    int32_t entityType = 0;
    int32_t position = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Scroll_
{
    static constexpr obx::Property<Scroll, OBXPropertyType_Long> id{21, 1};
    static constexpr obx::Property<Scroll, OBXPropertyType_Long> entityId{21, 2};
    static constexpr obx::Property<Scroll, OBXPropertyType_Int> entityType{21, 3};
    static constexpr obx::Property<Scroll, OBXPropertyType_Int> position{21, 4};
};

// The binding the store's boxes and queries use.
struct Scroll::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 21; }
    static obx_id getObjectId(const Scroll &object) { return object.id; }
    static void setObjectId(Scroll &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Scroll &object);
    static void fromFlatBuffer(const void *data, size_t size, Scroll &outObject);
    static std::unique_ptr<Scroll> newFromFlatBuffer(const void *data, size_t size);
};
