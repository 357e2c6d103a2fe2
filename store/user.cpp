#include "store/user.h"

#include "entities_generated.h"

void User::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const User &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_city_id = fbb.CreateString(object.city_id);
    const auto offset_image = fbb.CreateString(object.image);
    const auto offset_invisible_toggles = fbb.CreateVectorOfStrings(object.invisible_toggles);
    const auto offset_name_family = fbb.CreateString(object.name_family);
    const auto offset_mobile = fbb.CreateString(object.mobile);
    const auto offset_business_name = fbb.CreateString(object.business_name);
    const auto offset_union_code = fbb.CreateString(object.union_code);
    const auto offset_mobile_1 = fbb.CreateString(object.mobile_1);
    const auto offset_mobile_2 = fbb.CreateString(object.mobile_2);
    const auto offset_phone_1 = fbb.CreateString(object.phone_1);
    const auto offset_phone_2 = fbb.CreateString(object.phone_2);
    const auto offset_site = fbb.CreateString(object.site);
    const auto offset_email = fbb.CreateString(object.email);
    const auto offset_address = fbb.CreateString(object.address);
    const auto offset_telegram_channel = fbb.CreateString(object.telegram_channel);
    const auto offset_instagram = fbb.CreateString(object.instagram);
    const auto offset_description = fbb.CreateString(object.description);
    const auto offset_token = fbb.CreateString(object.token);
    const auto offset_status_text = fbb.CreateString(object.status_text);
    fbs::UserBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_parent_id(object.parent_id);
    builder.add_server_id(offset_server_id);
    builder.add_city_id(offset_city_id);
    builder.add_image(offset_image);
    builder.add_invisible_toggles(offset_invisible_toggles);
    builder.add_name_family(offset_name_family);
    builder.add_mobile(offset_mobile);
    builder.add_business_name(offset_business_name);
    builder.add_union_code(offset_union_code);
    builder.add_mobile_1(offset_mobile_1);
    builder.add_mobile_2(offset_mobile_2);
    builder.add_phone_1(offset_phone_1);
    builder.add_phone_2(offset_phone_2);
    builder.add_site(offset_site);
    builder.add_email(offset_email);
    builder.add_address(offset_address);
    builder.add_telegram_channel(offset_telegram_channel);
    builder.add_instagram(offset_instagram);
    builder.add_type(object.type);
    builder.add_updated_date(object.updated_date);
    builder.add_access(object.access);
    builder.add_current(object.current);
    builder.add_description(offset_description);
    builder.add_logged_in(object.logged_in);
    builder.add_sync_data(object.sync_data);
    builder.add_token(offset_token);
    builder.add_status(object.status);
    builder.add_status_text(offset_status_text);
    builder.add_country_code(object.country_code);
    builder.add_lat(object.lat);
    builder.add_lng(object.lng);
    fbb.Finish(builder.Finish());
}

void User::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, User &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::User>(data);
    outObject.id = table->id();
    outObject.parent_id = table->parent_id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->city_id())
        outObject.city_id = value->c_str();
    if (const auto *value = table->image())
        outObject.image = value->c_str();
    if (const auto *values = table->invisible_toggles())
        for (const auto *value : *values)
            outObject.invisible_toggles.emplace_back(value->c_str());
    if (const auto *value = table->name_family())
        outObject.name_family = value->c_str();
    if (const auto *value = table->mobile())
        outObject.mobile = value->c_str();
    if (const auto *value = table->business_name())
        outObject.business_name = value->c_str();
    if (const auto *value = table->union_code())
        outObject.union_code = value->c_str();
    if (const auto *value = table->mobile_1())
        outObject.mobile_1 = value->c_str();
    if (const auto *value = table->mobile_2())
        outObject.mobile_2 = value->c_str();
    if (const auto *value = table->phone_1())
        outObject.phone_1 = value->c_str();
    if (const auto *value = table->phone_2())
        outObject.phone_2 = value->c_str();
    if (const auto *value = table->site())
        outObject.site = value->c_str();
    if (const auto *value = table->email())
        outObject.email = value->c_str();
    if (const auto *value = table->address())
        outObject.address = value->c_str();
    if (const auto *value = table->telegram_channel())
        outObject.telegram_channel = value->c_str();
    if (const auto *value = table->instagram())
        outObject.instagram = value->c_str();
    outObject.type = table->type();
    outObject.updated_date = table->updated_date();
    outObject.access = table->access();
    outObject.current = table->current();
    if (const auto *value = table->description())
        outObject.description = value->c_str();
    outObject.logged_in = table->logged_in();
    outObject.sync_data = table->sync_data();
    if (const auto *value = table->token())
        outObject.token = value->c_str();
    outObject.status = table->status();
    if (const auto *value = table->status_text())
        outObject.status_text = value->c_str();
    outObject.country_code = table->country_code();
    outObject.lat = table->lat();
    outObject.lng = table->lng();
}

std::unique_ptr<User> User::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<User>();
    fromFlatBuffer(data, size, *object);
    return object;
}
