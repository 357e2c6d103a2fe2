#include "store/filematchtag.h"

#include "entities_generated.h"

void FileMatchTag::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileMatchTag &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    const auto offset_request_id = fbb.CreateString(object.request_id);
    fbs::FileMatchTagBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_request_id(offset_request_id);
    builder.add_tag(object.tag);
    fbb.Finish(builder.Finish());
}

void FileMatchTag::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileMatchTag &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileMatchTag>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    if (const auto *value = table->request_id())
        outObject.request_id = value->c_str();
    outObject.tag = table->tag();
}

std::unique_ptr<FileMatchTag> FileMatchTag::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileMatchTag>();
    fromFlatBuffer(data, size, *object);
    return object;
}
