#include "store/fileactivity.h"

#include "entities_generated.h"

void FileActivity::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileActivity &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_documents = fbb.CreateVectorOfStrings(object.documents);
    const auto offset_text = fbb.CreateString(object.text);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    fbs::FileActivityBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_server_id(offset_server_id);
    builder.add_documents(offset_documents);
    builder.add_text(offset_text);
    builder.add_type(object.type);
    builder.add_user_id(offset_user_id);
    builder.add_date(object.date);
    fbb.Finish(builder.Finish());
}

void FileActivity::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileActivity &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileActivity>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *values = table->documents())
        for (const auto *value : *values)
            outObject.documents.emplace_back(value->c_str());
    if (const auto *value = table->text())
        outObject.text = value->c_str();
    outObject.type = table->type();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
    outObject.date = table->date();
}

std::unique_ptr<FileActivity> FileActivity::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileActivity>();
    fromFlatBuffer(data, size, *object);
    return object;
}
