#include "store/filemeter.h"

#include "entities_generated.h"

void FileMeter::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileMeter &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    fbs::FileMeterBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_after_corrective(object.after_corrective);
    builder.add_building(object.building);
    builder.add_corrective(object.corrective);
    builder.add_crossing(object.crossing);
    fbb.Finish(builder.Finish());
}

void FileMeter::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileMeter &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileMeter>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    outObject.after_corrective = table->after_corrective();
    outObject.building = table->building();
    outObject.corrective = table->corrective();
    outObject.crossing = table->crossing();
}

std::unique_ptr<FileMeter> FileMeter::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileMeter>();
    fromFlatBuffer(data, size, *object);
    return object;
}
