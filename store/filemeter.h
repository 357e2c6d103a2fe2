#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileMeter
{
    uint64_t id = 0;
    std::string file_id;
    float after_corrective = 0;
    float building = 0;
    float corrective = 0;
    float crossing = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileMeter_
{
    static constexpr obx::Property<FileMeter, OBXPropertyType_Long> id{9, 1};
    static constexpr obx::Property<FileMeter, OBXPropertyType_String> file_id{9, 2};
    static constexpr obx::Property<FileMeter, OBXPropertyType_Float> after_corrective{9, 3};
    static constexpr obx::Property<FileMeter, OBXPropertyType_Float> building{9, 4};
    static constexpr obx::Property<FileMeter, OBXPropertyType_Float> corrective{9, 5};
    static constexpr obx::Property<FileMeter, OBXPropertyType_Float> crossing{9, 6};
};

// The binding the store's boxes and queries use.
struct FileMeter::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 9; }
    static obx_id getObjectId(const FileMeter &object) { return object.id; }
    static void setObjectId(FileMeter &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileMeter &object);
    static void fromFlatBuffer(const void *data, size_t size, FileMeter &outObject);
    static std::unique_ptr<FileMeter> newFromFlatBuffer(const void *data, size_t size);
};
