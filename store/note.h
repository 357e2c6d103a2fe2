#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Note
{
    uint64_t id = 0;
    std::string server_id;
    std::string user_id;
    std::string title;
    std::string body;
    std::string color;
    uint64_t date = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Note_
{
    static constexpr obx::Property<Note, OBXPropertyType_Long> id{14, 1};
    static constexpr obx::Property<Note, OBXPropertyType_String> server_id{14, 2};
    static constexpr obx::Property<Note, OBXPropertyType_String> user_id{14, 3};
    static constexpr obx::Property<Note, OBXPropertyType_String> title{14, 4};
    static constexpr obx::Property<Note, OBXPropertyType_String> body{14, 5};
    static constexpr obx::Property<Note, OBXPropertyType_String> color{14, 6};
    static constexpr obx::Property<Note, OBXPropertyType_Long> date{14, 7};
};

// The binding the store's boxes and queries use.
struct Note::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 14; }
    static obx_id getObjectId(const Note &object) { return object.id; }
    static void setObjectId(Note &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Note &object);
    static void fromFlatBuffer(const void *data, size_t size, Note &outObject);
    static std::unique_ptr<Note> newFromFlatBuffer(const void *data, size_t size);
};
