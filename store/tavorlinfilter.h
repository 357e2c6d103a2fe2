#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TavorlinFilter
{
    uint64_t id = 0;
    std::string key;
    std::string value_1;
    std::string value_2;
    std::string tavorlin_id;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct TavorlinFilter_
{
    static constexpr obx::Property<TavorlinFilter, OBXPropertyType_Long> id{19, 1};
    static constexpr obx::Property<TavorlinFilter, OBXPropertyType_String> key{19, 2};
    static constexpr obx::Property<TavorlinFilter, OBXPropertyType_String> value_1{19, 3};
    static constexpr obx::Property<TavorlinFilter, OBXPropertyType_String> value_2{19, 4};
    static constexpr obx::Property<TavorlinFilter, OBXPropertyType_String> tavorlin_id{19, 5};
};

// The binding the store's boxes and queries use.
struct TavorlinFilter::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 19; }
    static obx_id getObjectId(const TavorlinFilter &object) { return object.id; }
    static void setObjectId(TavorlinFilter &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const TavorlinFilter &object);
    static void fromFlatBuffer(const void *data, size_t size, TavorlinFilter &outObject);
    static std::unique_ptr<TavorlinFilter> newFromFlatBuffer(const void *data, size_t size);
};
