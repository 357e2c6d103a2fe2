#include "store/inputfield.h"

#include "entities_generated.h"

void InputField::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const InputField &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_title = fbb.CreateString(object.title);
    const auto offset_key = fbb.CreateString(object.key);
    const auto offset_parent_key = fbb.CreateString(object.parent_key);
    const auto offset_request_title = fbb.CreateString(object.request_title);
    fbs::InputFieldBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_title(offset_title);
    builder.add_key(offset_key);
    builder.add_parent_key(offset_parent_key);
    builder.add_request_title(offset_request_title);
    builder.add_input_type(object.input_type);
    builder.add_filter_type(object.filter_type);
    builder.add_max_length(object.max_length);
    builder.add_currency(object.currency);
    builder.add_single_line(object.single_line);
    builder.add_filter(object.filter);
    fbb.Finish(builder.Finish());
}

void InputField::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, InputField &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::InputField>(data);
    outObject.id = table->id();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    if (const auto *value = table->key())
        outObject.key = value->c_str();
    if (const auto *value = table->parent_key())
        outObject.parent_key = value->c_str();
    if (const auto *value = table->request_title())
        outObject.request_title = value->c_str();
    outObject.input_type = table->input_type();
    outObject.filter_type = table->filter_type();
    outObject.max_length = table->max_length();
    outObject.currency = table->currency();
    outObject.single_line = table->single_line();
    outObject.filter = table->filter();
}

std::unique_ptr<InputField> InputField::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<InputField>();
    fromFlatBuffer(data, size, *object);
    return object;
}
