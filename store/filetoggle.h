#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileToggle
{
    uint64_t id = 0;
    std::string file_id;
    std::string condition;
    std::string coverage;
    std::string direction;
    std::string facilities;
    std::string frontage;
    std::string heat_cool;
    std::string joints;
    std::string kitchen;
    std::string location;
    std::string parking;
    std::string points;
    std::string progress;
    std::string roof;
    std::string skeleton;
    std::string trait;
    std::string terrain;
    std::string wall;
    std::string wc;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileToggle_
{
    static constexpr obx::Property<FileToggle, OBXPropertyType_Long> id{11, 1};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> file_id{11, 2};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> condition{11, 3};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> coverage{11, 4};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> direction{11, 5};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> facilities{11, 6};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> frontage{11, 7};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> heat_cool{11, 8};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> joints{11, 9};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> kitchen{11, 10};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> location{11, 11};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> parking{11, 12};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> points{11, 13};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> progress{11, 14};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> roof{11, 15};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> skeleton{11, 16};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> trait{11, 17};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> terrain{11, 18};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> wall{11, 19};
    static constexpr obx::Property<FileToggle, OBXPropertyType_String> wc{11, 20};
};

// The binding the store's boxes and queries use.
struct FileToggle::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 11; }
    static obx_id getObjectId(const FileToggle &object) { return object.id; }
    static void setObjectId(FileToggle &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileToggle &object);
    static void fromFlatBuffer(const void *data, size_t size, FileToggle &outObject);
    static std::unique_ptr<FileToggle> newFromFlatBuffer(const void *data, size_t size);
};
