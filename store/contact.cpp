#include "store/contact.h"

#include "entities_generated.h"

void Contact::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Contact &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_name_family = fbb.CreateString(object.name_family);
    const auto offset_address = fbb.CreateString(object.address);
    const auto offset_job = fbb.CreateString(object.job);
    const auto offset_mobile_1 = fbb.CreateString(object.mobile_1);
    const auto offset_mobile_2 = fbb.CreateString(object.mobile_2);
    const auto offset_phone_1 = fbb.CreateString(object.phone_1);
    const auto offset_phone_2 = fbb.CreateString(object.phone_2);
    const auto offset_type = fbb.CreateVectorOfStrings(object.type);
    fbs::ContactBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_user_id(object.user_id);
    builder.add_name_family(offset_name_family);
    builder.add_address(offset_address);
    builder.add_job(offset_job);
    builder.add_mobile_1(offset_mobile_1);
    builder.add_mobile_2(offset_mobile_2);
    builder.add_phone_1(offset_phone_1);
    builder.add_phone_2(offset_phone_2);
    builder.add_type(offset_type);
    fbb.Finish(builder.Finish());
}

void Contact::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Contact &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Contact>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    outObject.user_id = table->user_id();
    if (const auto *value = table->name_family())
        outObject.name_family = value->c_str();
    if (const auto *value = table->address())
        outObject.address = value->c_str();
    if (const auto *value = table->job())
        outObject.job = value->c_str();
    if (const auto *value = table->mobile_1())
        outObject.mobile_1 = value->c_str();
    if (const auto *value = table->mobile_2())
        outObject.mobile_2 = value->c_str();
    if (const auto *value = table->phone_1())
        outObject.phone_1 = value->c_str();
    if (const auto *value = table->phone_2())
        outObject.phone_2 = value->c_str();
    if (const auto *values = table->type())
        for (const auto *value : *values)
            outObject.type.emplace_back(value->c_str());
}

std::unique_ptr<Contact> Contact::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Contact>();
    fromFlatBuffer(data, size, *object);
    return object;
}
