#include "store/fileinfo.h"

#include "entities_generated.h"

void FileInfo::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileInfo &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    fbs::FileInfoBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_amount_of_interest(object.amount_of_interest);
    builder.add_build_year(object.build_year);
    builder.add_dahane(object.dahane);
    builder.add_delivery(object.delivery);
    builder.add_floor_one(object.floor_one);
    builder.add_floor_all(object.floor_all);
    builder.add_floor_space(object.floor_space);
    builder.add_grant_amount(object.grant_amount);
    builder.add_manufacturer_share(object.manufacturer_share);
    builder.add_num_parking(object.num_parking);
    builder.add_num_person(object.num_person);
    builder.add_number_of_owners(object.number_of_owners);
    builder.add_sahm(object.sahm);
    builder.add_unit_one(object.unit_one);
    builder.add_unit_all(object.unit_all);
    builder.add_warehouse(object.warehouse);
    builder.add_balcony(object.balcony);
    fbb.Finish(builder.Finish());
}

void FileInfo::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileInfo &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileInfo>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    outObject.amount_of_interest = table->amount_of_interest();
    outObject.build_year = table->build_year();
    outObject.dahane = table->dahane();
    outObject.delivery = table->delivery();
    outObject.floor_one = table->floor_one();
    outObject.floor_all = table->floor_all();
    outObject.floor_space = table->floor_space();
    outObject.grant_amount = table->grant_amount();
    outObject.manufacturer_share = table->manufacturer_share();
    outObject.num_parking = table->num_parking();
    outObject.num_person = table->num_person();
    outObject.number_of_owners = table->number_of_owners();
    outObject.sahm = table->sahm();
    outObject.unit_one = table->unit_one();
    outObject.unit_all = table->unit_all();
    outObject.warehouse = table->warehouse();
    outObject.balcony = table->balcony();
}

std::unique_ptr<FileInfo> FileInfo::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileInfo>();
    fromFlatBuffer(data, size, *object);
    return object;
}
