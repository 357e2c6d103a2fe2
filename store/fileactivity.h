#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileActivity
{
    uint64_t id = 0;
    std::string file_id;
    std::string server_id;
    std::vector<std::string> documents;
    std::string text;
    int32_t type = 0;
    std::string user_id;
    uint64_t date = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileActivity_
{
    static constexpr obx::Property<FileActivity, OBXPropertyType_Long> id{6, 1};
    static constexpr obx::Property<FileActivity, OBXPropertyType_String> file_id{6, 2};
    static constexpr obx::Property<FileActivity, OBXPropertyType_String> server_id{6, 3};
    static constexpr obx::Property<FileActivity, OBXPropertyType_StringVector> documents{6, 4};
    static constexpr obx::Property<FileActivity, OBXPropertyType_String> text{6, 5};
    static constexpr obx::Property<FileActivity, OBXPropertyType_Int> type{6, 6};
    static constexpr obx::Property<FileActivity, OBXPropertyType_String> user_id{6, 7};
    static constexpr obx::Property<FileActivity, OBXPropertyType_Long> date{6, 8};
};

// The binding the store's boxes and queries use.
struct FileActivity::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 6; }
    static obx_id getObjectId(const FileActivity &object) { return object.id; }
    static void setObjectId(FileActivity &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileActivity &object);
    static void fromFlatBuffer(const void *data, size_t size, FileActivity &outObject);
    static std::unique_ptr<FileActivity> newFromFlatBuffer(const void *data, size_t size);
};
