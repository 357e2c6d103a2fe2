#include "store/tavorlin.h"

#include "entities_generated.h"

void Tavorlin::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Tavorlin &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_name = fbb.CreateString(object.name);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    const auto offset_order_field = fbb.CreateString(object.order_field);
    const auto offset_order_type = fbb.CreateString(object.order_type);
    const auto offset_access = fbb.CreateVectorOfStrings(object.access);
    fbs::TavorlinBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_name(offset_name);
    builder.add_user_id(offset_user_id);
    builder.add_trade_type(object.trade_type);
    builder.add_property_type(object.property_type);
    builder.add_color(object.color);
    builder.add_shared(object.shared);
    builder.add_order_field(offset_order_field);
    builder.add_order_type(offset_order_type);
    builder.add_access(offset_access);
    builder.add_is_default(object.is_default);
    fbb.Finish(builder.Finish());
}

void Tavorlin::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Tavorlin &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Tavorlin>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->name())
        outObject.name = value->c_str();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
    outObject.trade_type = table->trade_type();
    outObject.property_type = table->property_type();
    outObject.color = table->color();
    outObject.shared = table->shared();
    if (const auto *value = table->order_field())
        outObject.order_field = value->c_str();
    if (const auto *value = table->order_type())
        outObject.order_type = value->c_str();
    if (const auto *values = table->access())
        for (const auto *value : *values)
            outObject.access.emplace_back(value->c_str());
    outObject.is_default = table->is_default();
}

std::unique_ptr<Tavorlin> Tavorlin::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Tavorlin>();
    fromFlatBuffer(data, size, *object);
    return object;
}
