#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileMatchTag
{
    uint64_t id = 0;
    std::string file_id;
    std::string request_id;
    int32_t tag = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileMatchTag_
{
    static constexpr obx::Property<FileMatchTag, OBXPropertyType_Long> id{8, 1};
    static constexpr obx::Property<FileMatchTag, OBXPropertyType_String> file_id{8, 2};
    static constexpr obx::Property<FileMatchTag, OBXPropertyType_String> request_id{8, 3};
    static constexpr obx::Property<FileMatchTag, OBXPropertyType_Int> tag{8, 4};
};

// The binding the store's boxes and queries use.
struct FileMatchTag::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 8; }
    static obx_id getObjectId(const FileMatchTag &object) { return object.id; }
    static void setObjectId(FileMatchTag &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileMatchTag &object);
    static void fromFlatBuffer(const void *data, size_t size, FileMatchTag &outObject);
    static std::unique_ptr<FileMatchTag> newFromFlatBuffer(const void *data, size_t size);
};
