#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct User
{
    uint64_t id = 0;
    obx_id parent_id = 0;
    std::string server_id;
    std::string city_id;
    std::string image;
    std::vector<std::string> invisible_toggles;
    std::string name_family;
    std::string mobile;
    std::string business_name;
    std::string union_code;
    std::string mobile_1;
    std::string mobile_2;
    std::string phone_1;
    std::string phone_2;
    std::string site;
    std::string email;
    std::string address;
    std::string telegram_channel;
    std::string instagram;
    int16_t type = 0;
    uint64_t updated_date = 0;
    int32_t access = 0;
    bool current = false;
    std::string description;
    bool logged_in = false;
    bool sync_data = false;
    std::string token;
    int32_t status = 0;
    std::string status_text;
    int32_t country_code = 0;
    double lat = 0;
    double lng = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct User_
{
    static constexpr obx::Property<User, OBXPropertyType_Long> id{17, 1};
    static constexpr obx::RelationProperty<User, User> parent_id{17, 2};
    static constexpr obx::Property<User, OBXPropertyType_String> server_id{17, 3};
    static constexpr obx::Property<User, OBXPropertyType_String> city_id{17, 4};
    static constexpr obx::Property<User, OBXPropertyType_String> image{17, 5};
    static constexpr obx::Property<User, OBXPropertyType_StringVector> invisible_toggles{17, 6};
    static constexpr obx::Property<User, OBXPropertyType_String> name_family{17, 7};
    static constexpr obx::Property<User, OBXPropertyType_String> mobile{17, 8};
    static constexpr obx::Property<User, OBXPropertyType_String> business_name{17, 9};
    static constexpr obx::Property<User, OBXPropertyType_String> union_code{17, 10};
    static constexpr obx::Property<User, OBXPropertyType_String> mobile_1{17, 11};
    static constexpr obx::Property<User, OBXPropertyType_String> mobile_2{17, 12};
    static constexpr obx::Property<User, OBXPropertyType_String> phone_1{17, 13};
    static constexpr obx::Property<User, OBXPropertyType_String> phone_2{17, 14};
    static constexpr obx::Property<User, OBXPropertyType_String> site{17, 15};
    static constexpr obx::Property<User, OBXPropertyType_String> email{17, 16};
    static constexpr obx::Property<User, OBXPropertyType_String> address{17, 17};
    static constexpr obx::Property<User, OBXPropertyType_String> telegram_channel{17, 18};
    static constexpr obx::Property<User, OBXPropertyType_String> instagram{17, 19};
    static constexpr obx::Property<User, OBXPropertyType_Short> type{17, 20};
    static constexpr obx::Property<User, OBXPropertyType_Long> updated_date{17, 23};
    static constexpr obx::Property<User, OBXPropertyType_Int> access{17, 24};
    static constexpr obx::Property<User, OBXPropertyType_Bool> current{17, 25};
    static constexpr obx::Property<User, OBXPropertyType_String> description{17, 26};
    static constexpr obx::Property<User, OBXPropertyType_Bool> logged_in{17, 27};
    static constexpr obx::Property<User, OBXPropertyType_Bool> sync_data{17, 28};
    static constexpr obx::Property<User, OBXPropertyType_String> token{17, 29};
    static constexpr obx::Property<User, OBXPropertyType_Int> status{17, 30};
    static constexpr obx::Property<User, OBXPropertyType_String> status_text{17, 31};
    static constexpr obx::Property<User, OBXPropertyType_Int> country_code{17, 32};
    static constexpr obx::Property<User, OBXPropertyType_Double> lat{17, 33};
    static constexpr obx::Property<User, OBXPropertyType_Double> lng{17, 34};
};

// The binding the store's boxes and queries use.
struct User::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 17; }
    static obx_id getObjectId(const User &object) { return object.id; }
    static void setObjectId(User &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const User &object);
    static void fromFlatBuffer(const void *data, size_t size, User &outObject);
    static std::unique_ptr<User> newFromFlatBuffer(const void *data, size_t size);
};
