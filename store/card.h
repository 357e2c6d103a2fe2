#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct InputField;

struct Card
{
    uint64_t id = 0;
    std::string title;
    int32_t trade_type = 0;
    int32_t property_type = 0;
    bool single_select = false;
    std::vector<std::string> inputs;
    std::vector<std::string> toggles;
    obx_id stepper = 0;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Card_
{
    static constexpr obx::Property<Card, OBXPropertyType_Long> id{1, 1};
    static constexpr obx::Property<Card, OBXPropertyType_String> title{1, 2};
    static constexpr obx::Property<Card, OBXPropertyType_Int> trade_type{1, 3};
    static constexpr obx::Property<Card, OBXPropertyType_Int> property_type{1, 4};
    static constexpr obx::Property<Card, OBXPropertyType_Bool> single_select{1, 5};
    static constexpr obx::Property<Card, OBXPropertyType_StringVector> inputs{1, 6};
    static constexpr obx::Property<Card, OBXPropertyType_StringVector> toggles{1, 7};
    static constexpr obx::RelationProperty<Card, InputField> stepper{1, 8};
};

// The binding the store's boxes and queries use.
struct Card::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 1; }
    static obx_id getObjectId(const Card &object) { return object.id; }
    static void setObjectId(Card &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Card &object);
    static void fromFlatBuffer(const void *data, size_t size, Card &outObject);
    static std::unique_ptr<Card> newFromFlatBuffer(const void *data, size_t size);
};
