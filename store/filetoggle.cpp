#include "store/filetoggle.h"

#include "entities_generated.h"

void FileToggle::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const FileToggle &object)
{
    fbb.Clear();
    // Every field is written, defaults included, so a stored row always carries all of them.
    fbb.ForceDefaults(true);
    const auto offset_file_id = fbb.CreateString(object.file_id);
    const auto offset_condition = fbb.CreateString(object.condition);
    const auto offset_coverage = fbb.CreateString(object.coverage);
    const auto offset_direction = fbb.CreateString(object.direction);
    const auto offset_facilities = fbb.CreateString(object.facilities);
    const auto offset_frontage = fbb.CreateString(object.frontage);
    const auto offset_heat_cool = fbb.CreateString(object.heat_cool);
    const auto offset_joints = fbb.CreateString(object.joints);
    const auto offset_kitchen = fbb.CreateString(object.kitchen);
    const auto offset_location = fbb.CreateString(object.location);
    const auto offset_parking = fbb.CreateString(object.parking);
    const auto offset_points = fbb.CreateString(object.points);
    const auto offset_progress = fbb.CreateString(object.progress);
    const auto offset_roof = fbb.CreateString(object.roof);
    const auto offset_skeleton = fbb.CreateString(object.skeleton);
    const auto offset_trait = fbb.CreateString(object.trait);
    const auto offset_terrain = fbb.CreateString(object.terrain);
    const auto offset_wall = fbb.CreateString(object.wall);
    const auto offset_wc = fbb.CreateString(object.wc);
    fbs::FileToggleBuilder builder(fbb);
    builder.add_id(object.id);
    builder.add_file_id(offset_file_id);
    builder.add_condition(offset_condition);
    builder.add_coverage(offset_coverage);
    builder.add_direction(offset_direction);
    builder.add_facilities(offset_facilities);
    builder.add_frontage(offset_frontage);
    builder.add_heat_cool(offset_heat_cool);
    builder.add_joints(offset_joints);
    builder.add_kitchen(offset_kitchen);
    builder.add_location(offset_location);
    builder.add_parking(offset_parking);
    builder.add_points(offset_points);
    builder.add_progress(offset_progress);
    builder.add_roof(offset_roof);
    builder.add_skeleton(offset_skeleton);
    builder.add_trait(offset_trait);
    builder.add_terrain(offset_terrain);
    builder.add_wall(offset_wall);
    builder.add_wc(offset_wc);
    fbb.Finish(builder.Finish());
}

void FileToggle::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, FileToggle &outObject)
{
    const auto *table = flatbuffers::GetRoot<fbs::FileToggle>(data);
    outObject.id = table->id();
    if (const auto *value = table->file_id())
        outObject.file_id = value->c_str();
    if (const auto *value = table->condition())
        outObject.condition = value->c_str();
    if (const auto *value = table->coverage())
        outObject.coverage = value->c_str();
    if (const auto *value = table->direction())
        outObject.direction = value->c_str();
    if (const auto *value = table->facilities())
        outObject.facilities = value->c_str();
    if (const auto *value = table->frontage())
        outObject.frontage = value->c_str();
    if (const auto *value = table->heat_cool())
        outObject.heat_cool = value->c_str();
    if (const auto *value = table->joints())
        outObject.joints = value->c_str();
    if (const auto *value = table->kitchen())
        outObject.kitchen = value->c_str();
    if (const auto *value = table->location())
        outObject.location = value->c_str();
    if (const auto *value = table->parking())
        outObject.parking = value->c_str();
    if (const auto *value = table->points())
        outObject.points = value->c_str();
    if (const auto *value = table->progress())
        outObject.progress = value->c_str();
    if (const auto *value = table->roof())
        outObject.roof = value->c_str();
    if (const auto *value = table->skeleton())
        outObject.skeleton = value->c_str();
    if (const auto *value = table->trait())
        outObject.trait = value->c_str();
    if (const auto *value = table->terrain())
        outObject.terrain = value->c_str();
    if (const auto *value = table->wall())
        outObject.wall = value->c_str();
    if (const auto *value = table->wc())
        outObject.wc = value->c_str();
}

std::unique_ptr<FileToggle> FileToggle::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto object = std::make_unique<FileToggle>();
    fromFlatBuffer(data, size, *object);
    return object;
}
