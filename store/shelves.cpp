#include "store/shelves.h"

#include "entities_generated.h"

void Shelves::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Shelves &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    const auto offset_name = fbb.CreateString(object.name);
    const auto offset_access = fbb.CreateVectorOfStrings(object.access);
    fbs::ShelvesBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_user_id(offset_user_id);
    builder.add_name(offset_name);
    builder.add_color(object.color);
    builder.add_type(object.type);
    builder.add_position(object.position);
    builder.add_access(offset_access);
    fbb.Finish(builder.Finish());
}

void Shelves::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Shelves &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Shelves>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
    if (const auto *value = table->name())
        outObject.name = value->c_str();
    outObject.color = table->color();
    outObject.type = table->type();
    outObject.position = table->position();
    if (const auto *values = table->access())
        for (const auto *value : *values)
            outObject.access.emplace_back(value->c_str());
}

std::unique_ptr<Shelves> Shelves::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Shelves>();
    fromFlatBuffer(data, size, *object);
    return object;
}
