#pragma once

// The small model the object store's own tests run on: Item points at an Owner and a Place,
// Owner points at a Place, and Place keeps the ids it is given. The model is a table that a test
// may alter (another uid, a new property) before building it.

#include "store/obx/obx.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace obxtest {

struct PropertySpec
{
    std::string name;
    OBXPropertyType type;
    obx_schema_id id;
    obx_uid uid;
    uint32_t flags = 0;
    obx_schema_id indexId = 0;
    obx_uid indexUid = 0;
    std::string target = ""; // relation target entity
};

struct EntitySpec
{
    std::string name;
    obx_schema_id id;
    obx_uid uid;
    std::vector<PropertySpec> properties;
};

std::vector<EntitySpec> testEntities();
OBX_model *buildModel(const std::vector<EntitySpec> &entities);
// Options for directory with the given model (the test model by default); raises on failure.
OBX_store_options *options(const std::string &directory, OBX_model *model = nullptr);
std::unique_ptr<obx::Store> openStore(const std::string &directory, OBX_model *model = nullptr);

// Raw access to a closed store's LMDB databases ("o<entity>", "i<index>", "meta"), for planting
// damage and for looking at what the store wrote. Keys and values are byte strings.
std::vector<std::pair<std::string, std::string>> rawEntries(const std::string &directory, const std::string &db);
void rawPut(const std::string &directory, const std::string &db, const std::string &key, const std::string &value);
std::string bigEndian(uint64_t value);

// A fresh directory under the system's temporary location, removed with everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string sub(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct Item
{
    uint64_t id = 0;
    std::string name;   // unique, hashed
    std::string tag;    // hashed
    int32_t kind = 0;   // indexed
    bool flag = false;
    int16_t small = 0;
    uint64_t amount = 0; // unsigned, indexed
    float ratio = 0;
    double weight = 0;
    std::vector<std::string> labels;
    uint64_t owner = 0; // -> Owner
    uint64_t place = 0; // -> Place
    int64_t delta = 0;  // signed
    std::string note;   // not indexed

    struct _OBX_MetaInfo;
};

struct Owner
{
    uint64_t id = 0;
    std::string name;
    int32_t level = 0;
    uint64_t place = 0; // -> Place

    struct _OBX_MetaInfo;
};

struct Place
{
    uint64_t id = 0; // self-assignable
    std::string title;

    struct _OBX_MetaInfo;
};

constexpr obx_schema_id kItem = 1, kOwner = 2, kPlace = 3;

struct Item_
{
    static constexpr obx::Property<Item, OBXPropertyType_Long> id{kItem, 1};
    static constexpr obx::Property<Item, OBXPropertyType_String> name{kItem, 2};
    static constexpr obx::Property<Item, OBXPropertyType_String> tag{kItem, 3};
    static constexpr obx::Property<Item, OBXPropertyType_Int> kind{kItem, 4};
    static constexpr obx::Property<Item, OBXPropertyType_Bool> flag{kItem, 5};
    static constexpr obx::Property<Item, OBXPropertyType_Short> small{kItem, 6};
    static constexpr obx::Property<Item, OBXPropertyType_Long> amount{kItem, 7};
    static constexpr obx::Property<Item, OBXPropertyType_Float> ratio{kItem, 8};
    static constexpr obx::Property<Item, OBXPropertyType_Double> weight{kItem, 9};
    static constexpr obx::Property<Item, OBXPropertyType_StringVector> labels{kItem, 10};
    static constexpr obx::RelationProperty<Item, Owner> owner{kItem, 11};
    static constexpr obx::RelationProperty<Item, Place> place{kItem, 12};
    static constexpr obx::Property<Item, OBXPropertyType_Long> delta{kItem, 13};
    static constexpr obx::Property<Item, OBXPropertyType_String> note{kItem, 14};
};

struct Owner_
{
    static constexpr obx::Property<Owner, OBXPropertyType_String> name{kOwner, 2};
    static constexpr obx::Property<Owner, OBXPropertyType_Int> level{kOwner, 3};
    static constexpr obx::RelationProperty<Owner, Place> place{kOwner, 4};
};

struct Place_
{
    static constexpr obx::Property<Place, OBXPropertyType_String> title{kPlace, 2};
};

struct Item::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return kItem; }
    static obx_id getObjectId(const Item &o) { return o.id; }
    static void setObjectId(Item &o, obx_id id) { o.id = id; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Item &o);
    static void fromFlatBuffer(const void *data, size_t size, Item &out);
    static std::unique_ptr<Item> newFromFlatBuffer(const void *data, size_t size);
};

struct Owner::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return kOwner; }
    static obx_id getObjectId(const Owner &o) { return o.id; }
    static void setObjectId(Owner &o, obx_id id) { o.id = id; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Owner &o);
    static void fromFlatBuffer(const void *data, size_t size, Owner &out);
    static std::unique_ptr<Owner> newFromFlatBuffer(const void *data, size_t size);
};

struct Place::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return kPlace; }
    static obx_id getObjectId(const Place &o) { return o.id; }
    static void setObjectId(Place &o, obx_id id) { o.id = id; }
    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Place &o);
    static void fromFlatBuffer(const void *data, size_t size, Place &out);
    static std::unique_ptr<Place> newFromFlatBuffer(const void *data, size_t size);
};

} // namespace obxtest
