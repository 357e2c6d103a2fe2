#include "store/filetenant.h"

#include "entities_generated.h"

void FileTenant::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileTenant &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    const auto offset_name = fbb.CreateString(object.name);
    const auto offset_phone = fbb.CreateString(object.phone);
    fbs::FileTenantBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_name(offset_name);
    builder.add_phone(offset_phone);
    builder.add_rent(object.rent);
    builder.add_mortgage(object.mortgage);
    builder.add_due_date(object.due_date);
    fbb.Finish(builder.Finish());
}

void FileTenant::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileTenant &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileTenant>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    if (const auto *value = table->name())
        outObject.name = value->c_str();
    if (const auto *value = table->phone())
        outObject.phone = value->c_str();
    outObject.rent = table->rent();
    outObject.mortgage = table->mortgage();
    outObject.due_date = table->due_date();
}

std::unique_ptr<FileTenant> FileTenant::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileTenant>();
    fromFlatBuffer(data, size, *object);
    return object;
}
