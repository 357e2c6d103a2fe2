#include "store/city.h"

#include "entities_generated.h"

void City::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const City &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_title = fbb.CreateString(object.title);
    fbs::CityBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_title(offset_title);
    builder.add_version(object.version);
    fbb.Finish(builder.Finish());
}

void City::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, City &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::City>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    outObject.version = table->version();
}

std::unique_ptr<City> City::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<City>();
    fromFlatBuffer(data, size, *object);
    return object;
}
