#include "store/card.h"

#include "entities_generated.h"

void Card::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Card &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_title = fbb.CreateString(object.title);
    const auto offset_inputs = fbb.CreateVectorOfStrings(object.inputs);
    const auto offset_toggles = fbb.CreateVectorOfStrings(object.toggles);
    fbs::CardBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_title(offset_title);
    builder.add_trade_type(object.trade_type);
    builder.add_property_type(object.property_type);
    builder.add_single_select(object.single_select);
    builder.add_inputs(offset_inputs);
    builder.add_toggles(offset_toggles);
    builder.add_stepper(object.stepper);
    fbb.Finish(builder.Finish());
}

void Card::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Card &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Card>(data);
    outObject.id = table->id();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    outObject.trade_type = table->trade_type();
    outObject.property_type = table->property_type();
    outObject.single_select = table->single_select();
    if (const auto *values = table->inputs())
        for (const auto *value : *values)
            outObject.inputs.emplace_back(value->c_str());
    if (const auto *values = table->toggles())
        for (const auto *value : *values)
            outObject.toggles.emplace_back(value->c_str());
    outObject.stepper = table->stepper();
}

std::unique_ptr<Card> Card::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Card>();
    fromFlatBuffer(data, size, *object);
    return object;
}
