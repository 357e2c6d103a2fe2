#pragma once

#include "store/obx/obx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Tavorlin
{
    uint64_t id = 0;
    std::string server_id;
    std::string name;
    std::string user_id;
    int32_t trade_type = 0;
    int32_t property_type = 0;
    int32_t color = 0;
    bool shared = false;
    std::string order_field;
    std::string order_type;
    std::vector<std::string> access;
    bool is_default = false;

    struct _OBX_MetaInfo;
};

// Property descriptors for queries.
struct Tavorlin_
{
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Long> id{18, 1};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_String> server_id{18, 2};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_String> name{18, 3};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_String> user_id{18, 4};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Int> trade_type{18, 5};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Int> property_type{18, 6};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Int> color{18, 7};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Bool> shared{18, 8};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_String> order_field{18, 9};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_String> order_type{18, 10};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_StringVector> access{18, 11};
    static constexpr obx::Property<Tavorlin, OBXPropertyType_Bool> is_default{18, 12};
};

// The binding the store's boxes and queries use.
struct Tavorlin::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return 18; }
    static obx_id getObjectId(const Tavorlin &object) { return object.id; }
    static void setObjectId(Tavorlin &object, obx_id newId) { object.id = newId; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Tavorlin &object);
    static void fromFlatBuffer(const void *data, size_t size, Tavorlin &outObject);
    static std::unique_ptr<Tavorlin> newFromFlatBuffer(const void *data, size_t size);
};
