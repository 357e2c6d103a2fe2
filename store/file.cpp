#include "store/file.h"

#include "entities_generated.h"

void File::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const File &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    const auto offset_agent_id = fbb.CreateString(object.agent_id);
    const auto offset_customer_id = fbb.CreateString(object.customer_id);
    const auto offset_guard_id = fbb.CreateString(object.guard_id);
    const auto offset_customer_name = fbb.CreateString(object.customer_name);
    const auto offset_customer_mobile = fbb.CreateString(object.customer_mobile);
    const auto offset_districts = fbb.CreateVectorOfStrings(object.districts);
    const auto offset_district_array = fbb.CreateString(object.district_array);
    const auto offset_pins = fbb.CreateVectorOfStrings(object.pins);
    const auto offset_documents = fbb.CreateVectorOfStrings(object.documents);
    const auto offset_hashtags = fbb.CreateVectorOfStrings(object.hashtags);
    const auto offset_manual_code = fbb.CreateString(object.manual_code);
    const auto offset_address = fbb.CreateString(object.address);
    const auto offset_description = fbb.CreateString(object.description);
    fbs::FileBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_user_id(offset_user_id);
    builder.add_agent_id(offset_agent_id);
    builder.add_customer_id(offset_customer_id);
    builder.add_guard_id(offset_guard_id);
    builder.add_customer_name(offset_customer_name);
    builder.add_customer_mobile(offset_customer_mobile);
    builder.add_trade_type(object.trade_type);
    builder.add_property_type(object.property_type);
    builder.add_districts(offset_districts);
    builder.add_district_array(offset_district_array);
    builder.add_pins(offset_pins);
    builder.add_documents(offset_documents);
    builder.add_hashtags(offset_hashtags);
    builder.add_auto_code(object.auto_code);
    builder.add_manual_code(offset_manual_code);
    builder.add_address(offset_address);
    builder.add_deleted(object.deleted);
    builder.add_description(offset_description);
    builder.add_area(object.area);
    builder.add_home(object.home);
    builder.add_price_1(object.price_1);
    builder.add_price_2(object.price_2);
    builder.add_full_rent_price(object.full_rent_price);
    builder.add_loan(object.loan);
    builder.add_is_private(object.is_private);
    builder.add_draft(object.draft);
    builder.add_room(object.room);
    builder.add_seen(object.seen);
    builder.add_ad_colleague(object.ad_colleague);
    builder.add_ad_public(object.ad_public);
    builder.add_synced(object.synced);
    builder.add_lat(object.lat);
    builder.add_lng(object.lng);
    builder.add_date(object.date);
    builder.add_edit_date(object.edit_date);
    builder.add_info_id(object.info_id);
    builder.add_meter_id(object.meter_id);
    builder.add_tenant_id(object.tenant_id);
    builder.add_toggle_id(object.toggle_id);
    fbb.Finish(builder.Finish());
}

void File::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, File &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::File>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
    if (const auto *value = table->agent_id())
        outObject.agent_id = value->c_str();
    if (const auto *value = table->customer_id())
        outObject.customer_id = value->c_str();
    if (const auto *value = table->guard_id())
        outObject.guard_id = value->c_str();
    if (const auto *value = table->customer_name())
        outObject.customer_name = value->c_str();
    if (const auto *value = table->customer_mobile())
        outObject.customer_mobile = value->c_str();
    outObject.trade_type = table->trade_type();
    outObject.property_type = table->property_type();
    if (const auto *values = table->districts())
        for (const auto *value : *values)
            outObject.districts.emplace_back(value->c_str());
    if (const auto *value = table->district_array())
        outObject.district_array = value->c_str();
    if (const auto *values = table->pins())
        for (const auto *value : *values)
            outObject.pins.emplace_back(value->c_str());
    if (const auto *values = table->documents())
        for (const auto *value : *values)
            outObject.documents.emplace_back(value->c_str());
    if (const auto *values = table->hashtags())
        for (const auto *value : *values)
            outObject.hashtags.emplace_back(value->c_str());
    outObject.auto_code = table->auto_code();
    if (const auto *value = table->manual_code())
        outObject.manual_code = value->c_str();
    if (const auto *value = table->address())
        outObject.address = value->c_str();
    outObject.deleted = table->deleted();
    if (const auto *value = table->description())
        outObject.description = value->c_str();
    outObject.area = table->area();
    outObject.home = table->home();
    outObject.price_1 = table->price_1();
    outObject.price_2 = table->price_2();
    outObject.full_rent_price = table->full_rent_price();
    outObject.loan = table->loan();
    outObject.is_private = table->is_private();
    outObject.draft = table->draft();
    outObject.room = table->room();
    outObject.seen = table->seen();
    outObject.ad_colleague = table->ad_colleague();
    outObject.ad_public = table->ad_public();
    outObject.synced = table->synced();
    outObject.lat = table->lat();
    outObject.lng = table->lng();
    outObject.date = table->date();
    outObject.edit_date = table->edit_date();
    outObject.info_id = table->info_id();
    outObject.meter_id = table->meter_id();
    outObject.tenant_id = table->tenant_id();
    outObject.toggle_id = table->toggle_id();
}

std::unique_ptr<File> File::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<File>();
    fromFlatBuffer(data, size, *object);
    return object;
}
