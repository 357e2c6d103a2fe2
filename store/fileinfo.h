#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileInfo
{
    uint64_t id = 0;
    std::string file_id;
    int32_t amount_of_interest = 0;
    int32_t build_year = 0;
    float dahane = 0;
    float delivery = 0;
    int32_t floor_one = 0;
    int32_t floor_all = 0;
    float floor_space = 0;
    uint64_t grant_amount = 0;
    float manufacturer_share = 0;
    int32_t num_parking = 0;
    int32_t num_person = 0;
    int32_t number_of_owners = 0;
    float sahm = 0;
    int32_t unit_one = 0;
    int32_t unit_all = 0;
    float warehouse = 0;
    float balcony = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct FileInfo_
{
    static constexpr obx::Property<FileInfo, OBXPropertyType_Long> id{7, 1};
    static constexpr obx::Property<FileInfo, OBXPropertyType_String> file_id{7, 2};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> amount_of_interest{7, 3};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> build_year{7, 5};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> dahane{7, 6};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> delivery{7, 7};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> floor_one{7, 8};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> floor_all{7, 9};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> floor_space{7, 10};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Long> grant_amount{7, 11};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> manufacturer_share{7, 12};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> num_parking{7, 13};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> num_person{7, 14};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> number_of_owners{7, 15};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> sahm{7, 16};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> unit_one{7, 17};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Int> unit_all{7, 18};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> warehouse{7, 19};
    static constexpr obx::Property<FileInfo, OBXPropertyType_Float> balcony{7, 20};
};

// The binding the store's boxes and queries use.
struct FileInfo::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 7; }
    static obx_id getObjectId(const FileInfo &object) { return object.id; }
    static void setObjectId(FileInfo &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileInfo &object);
    static void fromFlatBuffer(const void *data, size_t size, FileInfo &outObject);
    static std::unique_ptr<FileInfo> newFromFlatBuffer(const void *data, size_t size);
};
