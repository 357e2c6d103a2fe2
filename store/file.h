#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileInfo;
struct FileMeter;
struct FileTenant;
struct FileToggle;

struct File
{
    uint64_t id = 0;
    std::string server_id;
    std::string user_id;
    std::string agent_id;
    std::string customer_id;
    std::string guard_id;
    std::string customer_name;
    std::string customer_mobile;
    int32_t trade_type = 0;
    int32_t property_type = 0;
    std::vector<std::string> districts;
    std::string district_array;
    std::vector<std::string> pins;
    std::vector<std::string> documents;
    std::vector<std::string> hashtags;
    uint64_t auto_code = 0;
    std::string manual_code;
    std::string address;
    bool deleted = false;
    std::string description;
    float area = 0;
    float home = 0;
    uint64_t price_1 = 0;
    uint64_t price_2 = 0;
    uint64_t full_rent_price = 0;
    uint64_t loan = 0;
    bool is_private = false;
    bool draft = false;
    int32_t room = 0;
    bool seen = false;
    bool ad_colleague = false;
    bool ad_public = false;
    bool synced = false;
    double lat = 0;
    double lng = 0;
    uint64_t date = 0;
    uint64_t edit_date = 0;
    obx_id info_id = 0;
    obx_id meter_id = 0;
    obx_id tenant_id = 0;
    obx_id toggle_id = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct File_
{
    static constexpr obx::Property<File, OBXPropertyType_Long> id{5, 1};
    static constexpr obx::Property<File, OBXPropertyType_String> server_id{5, 2};
    static constexpr obx::Property<File, OBXPropertyType_String> user_id{5, 3};
    static constexpr obx::Property<File, OBXPropertyType_String> agent_id{5, 4};
    static constexpr obx::Property<File, OBXPropertyType_String> customer_id{5, 5};
    static constexpr obx::Property<File, OBXPropertyType_String> guard_id{5, 6};
    static constexpr obx::Property<File, OBXPropertyType_String> customer_name{5, 7};
    static constexpr obx::Property<File, OBXPropertyType_String> customer_mobile{5, 8};
    static constexpr obx::Property<File, OBXPropertyType_Int> trade_type{5, 9};
    static constexpr obx::Property<File, OBXPropertyType_Int> property_type{5, 10};
    static constexpr obx::Property<File, OBXPropertyType_StringVector> districts{5, 11};
    static constexpr obx::Property<File, OBXPropertyType_String> district_array{5, 12};
    static constexpr obx::Property<File, OBXPropertyType_StringVector> pins{5, 13};
    static constexpr obx::Property<File, OBXPropertyType_StringVector> documents{5, 14};
    static constexpr obx::Property<File, OBXPropertyType_StringVector> hashtags{5, 15};
    static constexpr obx::Property<File, OBXPropertyType_Long> auto_code{5, 16};
    static constexpr obx::Property<File, OBXPropertyType_String> manual_code{5, 17};
    static constexpr obx::Property<File, OBXPropertyType_String> address{5, 18};
    static constexpr obx::Property<File, OBXPropertyType_Bool> deleted{5, 19};
    static constexpr obx::Property<File, OBXPropertyType_String> description{5, 20};
    static constexpr obx::Property<File, OBXPropertyType_Float> area{5, 21};
    static constexpr obx::Property<File, OBXPropertyType_Float> home{5, 22};
    static constexpr obx::Property<File, OBXPropertyType_Long> price_1{5, 23};
    static constexpr obx::Property<File, OBXPropertyType_Long> price_2{5, 24};
    static constexpr obx::Property<File, OBXPropertyType_Long> full_rent_price{5, 25};
    static constexpr obx::Property<File, OBXPropertyType_Long> loan{5, 26};
    static constexpr obx::Property<File, OBXPropertyType_Bool> is_private{5, 27};
    static constexpr obx::Property<File, OBXPropertyType_Bool> draft{5, 28};
    static constexpr obx::Property<File, OBXPropertyType_Int> room{5, 29};
    static constexpr obx::Property<File, OBXPropertyType_Bool> seen{5, 30};
    static constexpr obx::Property<File, OBXPropertyType_Bool> ad_colleague{5, 31};
    static constexpr obx::Property<File, OBXPropertyType_Bool> ad_public{5, 32};
    static constexpr obx::Property<File, OBXPropertyType_Bool> synced{5, 33};
    static constexpr obx::Property<File, OBXPropertyType_Double> lat{5, 34};
    static constexpr obx::Property<File, OBXPropertyType_Double> lng{5, 35};
    static constexpr obx::Property<File, OBXPropertyType_Long> date{5, 36};
    static constexpr obx::Property<File, OBXPropertyType_Long> edit_date{5, 37};
    static constexpr obx::RelationProperty<File, FileInfo> info_id{5, 38};
    static constexpr obx::RelationProperty<File, FileMeter> meter_id{5, 39};
    static constexpr obx::RelationProperty<File, FileTenant> tenant_id{5, 40};
    static constexpr obx::RelationProperty<File, FileToggle> toggle_id{5, 41};
};

// The binding the store's boxes and queries use.
struct File::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 5; }
    static obx_id getObjectId(const File &object) { return object.id; }
    static void setObjectId(File &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const File &object);
    static void fromFlatBuffer(const void *data, size_t size, File &outObject);
    static std::unique_ptr<File> newFromFlatBuffer(const void *data, size_t size);
};
