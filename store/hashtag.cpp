#include "store/hashtag.h"

#include "entities_generated.h"

void HashTag::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const HashTag &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_title = fbb.CreateString(object.title);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    fbs::HashTagBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_title(offset_title);
    builder.add_user_id(offset_user_id);
    fbb.Finish(builder.Finish());
}

void HashTag::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, HashTag &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::HashTag>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
}

std::unique_ptr<HashTag> HashTag::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<HashTag>();
    fromFlatBuffer(data, size, *object);
    return object;
}
