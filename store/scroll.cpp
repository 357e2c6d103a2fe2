#include "store/scroll.h"

#include "entities_generated.h"

void Scroll::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Scroll &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    fbs::ScrollBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_entityId(object.entityId);
    builder.add_entityType(object.entityType);
    builder.add_position(object.position);
    fbb.Finish(builder.Finish());
}

void Scroll::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Scroll &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Scroll>(data);
    outObject.id = table->id();
    outObject.entityId = table->entityId();
    outObject.entityType = table->entityType();
    outObject.position = table->position();
}

std::unique_ptr<Scroll> Scroll::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Scroll>();
    fromFlatBuffer(data, size, *object);
    return object;
}
