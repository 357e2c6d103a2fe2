#include "store/note.h"

#include "entities_generated.h"

void Note::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Note &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_server_id = fbb.CreateString(object.server_id);
    const auto offset_user_id = fbb.CreateString(object.user_id);
    const auto offset_title = fbb.CreateString(object.title);
    const auto offset_body = fbb.CreateString(object.body);
    const auto offset_color = fbb.CreateString(object.color);
    fbs::NoteBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_server_id(offset_server_id);
    builder.add_user_id(offset_user_id);
    builder.add_title(offset_title);
    builder.add_body(offset_body);
    builder.add_color(offset_color);
    builder.add_date(object.date);
    fbb.Finish(builder.Finish());
}

void Note::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Note &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::Note>(data);
    outObject.id = table->id();
    if (const auto *value = table->server_id())
        outObject.server_id = value->c_str();
    if (const auto *value = table->user_id())
        outObject.user_id = value->c_str();
    if (const auto *value = table->title())
        outObject.title = value->c_str();
    if (const auto *value = table->body())
        outObject.body = value->c_str();
    if (const auto *value = table->color())
        outObject.color = value->c_str();
    outObject.date = table->date();
}

std::unique_ptr<Note> Note::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<Note>();
    fromFlatBuffer(data, size, *object);
    return object;
}
