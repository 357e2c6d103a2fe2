#include "store/togglefield.h"

#include "entities_generated.h"

void ToggleField::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const ToggleField &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_title = fbb.CreateString(object.title);
    const auto offset_parent_key = fbb.CreateString(object.parent_key);
    const auto offset_request_title = fbb.CreateString(object.request_title);
    const auto offset_attached_inputs = fbb.CreateVectorOfStrings(object.attached_inputs);
    const auto offset_attached_toggles = fbb.CreateVectorOfStrings(object.attached_toggles);
    fbs::ToggleFieldBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_title(offset_title);
    builder.add_key(object.key);
    builder.add_parent_key(offset_parent_key);
    builder.add_request_title(offset_request_title);
    builder.add_attached_inputs(offset_attached_inputs);
    builder.add_attached_toggles(offset_attached_toggles);
    fbb.Finish(builder.Finish());
}

void ToggleField::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, ToggleField &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::ToggleField>(data);
    outObject.id = table->id();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    outObject.key = table->key();
    if (const auto *value = table->parent_key())
        outObject.parent_key = value->c_str();
    if (const auto *value = table->request_title())
        outObject.request_title = value->c_str();
    if (const auto *values = table->attached_inputs())
        for (const auto *value : *values)
            outObject.attached_inputs.emplace_back(value->c_str());
    if (const auto *values = table->attached_toggles())
        for (const auto *value : *values)
            outObject.attached_toggles.emplace_back(value->c_str());
}

std::unique_ptr<ToggleField> ToggleField::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<ToggleField>();
    fromFlatBuffer(data, size, *object);
    return object;
}
