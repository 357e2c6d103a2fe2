#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct User;

struct Contact
{
    uint64_t id = 0;
    std::string server_id;
    obx_id user_id = 0;
    std::string name_family;
    std::string address;
    std::string job;
    std::string mobile_1;
    std::string mobile_2;
    std::string phone_1;
    std::string phone_2;
    std::vector<std::string> type;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Contact_
{
    static constexpr obx::Property<Contact, OBXPropertyType_Long> id{3, 1};
    static constexpr obx::Property<Contact, OBXPropertyType_String> server_id{3, 2};
    static constexpr obx::RelationProperty<Contact, User> user_id{3, 3};
    static constexpr obx::Property<Contact, OBXPropertyType_String> name_family{3, 4};
    static constexpr obx::Property<Contact, OBXPropertyType_String> address{3, 5};
    static constexpr obx::Property<Contact, OBXPropertyType_String> job{3, 6};
    static constexpr obx::Property<Contact, OBXPropertyType_String> mobile_1{3, 7};
    static constexpr obx::Property<Contact, OBXPropertyType_String> mobile_2{3, 8};
    static constexpr obx::Property<Contact, OBXPropertyType_String> phone_1{3, 9};
    static constexpr obx::Property<Contact, OBXPropertyType_String> phone_2{3, 10};
    static constexpr obx::Property<Contact, OBXPropertyType_StringVector> type{3, 11};
};

// The binding the store's boxes and queries use.
struct Contact::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 3; }
    static obx_id getObjectId(const Contact &object) { return object.id; }
    static void setObjectId(Contact &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Contact &object);
    static void fromFlatBuffer(const void *data, size_t size, Contact &outObject);
    static std::unique_ptr<Contact> newFromFlatBuffer(const void *data, size_t size);
};
