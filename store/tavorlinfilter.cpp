#include "store/tavorlinfilter.h"

#include "entities_generated.h"

void TavorlinFilter::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const TavorlinFilter &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_key = fbb.CreateString(object.key);
    const auto offset_value_1 = fbb.CreateString(object.value_1);
    const auto offset_value_2 = fbb.CreateString(object.value_2);
    const auto offset_tavorlin_id = fbb.CreateString(object.tavorlin_id);
    fbs::TavorlinFilterBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_key(offset_key);
    builder.add_value_1(offset_value_1);
    builder.add_value_2(offset_value_2);
    builder.add_tavorlin_id(offset_tavorlin_id);
    fbb.Finish(builder.Finish());
}

void TavorlinFilter::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, TavorlinFilter &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::TavorlinFilter>(data);
    outObject.id = table->id();
    if (const auto *value = table->key())
        outObject.key = value->c_str();
    if (const auto *value = table->value_1())
        outObject.value_1 = value->c_str();
    if (const auto *value = table->value_2())
        outObject.value_2 = value->c_str();
    if (const auto *value = table->tavorlin_id())
        outObject.tavorlin_id = value->c_str();
}

std::unique_ptr<TavorlinFilter> TavorlinFilter::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<TavorlinFilter>();
    fromFlatBuffer(data, size, *object);
    return object;
}
