#include "store/tavorlinposition.h"

#include "entities_generated.h"

void TavorlinPosition::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const TavorlinPosition &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_tavorlin_id = fbb.CreateString(object.tavorlin_id);
    const auto offset_shelves_id = fbb.CreateString(object.shelves_id);
    fbs::TavorlinPositionBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_position(object.position);
    builder.add_tavorlin_id(offset_tavorlin_id);
    builder.add_shelves_id(offset_shelves_id);
    fbb.Finish(builder.Finish());
}

void TavorlinPosition::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, TavorlinPosition &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::TavorlinPosition>(data);
    outObject.id = table->id();
    outObject.position = table->position();
    if (const auto *value = table->tavorlin_id())
        outObject.tavorlin_id = value->c_str();
    if (const auto *value = table->shelves_id())
        outObject.shelves_id = value->c_str();
}

std::unique_ptr<TavorlinPosition> TavorlinPosition::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<TavorlinPosition>();
    fromFlatBuffer(data, size, *object);
    return object;
}
