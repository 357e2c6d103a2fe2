#include "rowview.h"

#include "errors.h"

namespace obx {
namespace internal {

namespace {

// FlatBuffers buffers are addressed with 32-bit offsets.
constexpr size_t kMaxRowSize = size_t(1) << 31;

uint32_t loadU32(const uint8_t *p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

void RowView::open(const void *data, size_t size, const EntityDef &entity, obx_id id, int corruptCode)
{
    data_ = static_cast<const uint8_t *>(data);
    size_ = size;
    entity_ = &entity;
    id_ = id;
    corruptCode_ = corruptCode;
    if (!data_ || size_ < 8 || size_ >= kMaxRowSize)
        corrupt("size out of bounds");
    table_ = loadU32(data_);
    if (table_ + 4 > size_)
        corrupt("root out of bounds");
    int32_t back;
    std::memcpy(&back, data_ + table_, 4);
    const int64_t vtable = int64_t(table_) - back;
    if (vtable < 0 || size_t(vtable) + 4 > size_)
        corrupt("vtable out of bounds");
    vtable_ = size_t(vtable);
    std::memcpy(&vtableSize_, data_ + vtable_, 2);
    std::memcpy(&tableSize_, data_ + vtable_ + 2, 2);
    if (vtableSize_ < 4 || (vtableSize_ & 1) || vtable_ + vtableSize_ > size_)
        corrupt("vtable size out of bounds");
    if (tableSize_ < 4 || table_ + tableSize_ > size_)
        corrupt("table size out of bounds");
}

size_t RowView::follow(size_t pos) const
{
    const uint32_t offset = loadU32(data_ + pos);
    const size_t target = pos + offset;
    if (offset == 0 || target + 4 > size_)
        corrupt("offset out of bounds");
    return target;
}

std::string_view RowView::stringAt(size_t pos) const
{
    const uint32_t length = loadU32(data_ + pos);
    // The length, the bytes and the terminating NUL must all lie inside the row.
    if (size_t(length) + 5 > size_ - pos)
        corrupt("string out of bounds");
    if (data_[pos + 4 + length] != 0)
        corrupt("string without terminator");
    return std::string_view(reinterpret_cast<const char *>(data_ + pos + 4), length);
}

RowView::Strings RowView::vectorField(const PropertyDef &property) const
{
    Strings strings;
    strings.row = this;
    const size_t pos = fieldPos(property);
    if (!pos)
        return strings;
    const size_t vector = follow(pos);
    const uint32_t count = loadU32(data_ + vector);
    if (size_t(count) * 4 > size_ - vector - 4)
        corrupt("vector out of bounds");
    strings.start = vector + 4;
    strings.count = count;
    return strings;
}

void RowView::verify() const
{
    for (const PropertyDef &p : entity_->properties) {
        switch (p.type) {
        case OBXPropertyType_String:
            stringField(p);
            break;
        case OBXPropertyType_StringVector: {
            const Strings strings = vectorField(p);
            for (uint32_t i = 0; i < strings.count; ++i)
                strings.element(i);
            break;
        }
        default:
            fieldPos(p);
            break;
        }
    }
}

void RowView::corrupt(const char *what) const
{
    const std::string name = entity_ ? entity_->name : std::string("?");
    if (corruptCode_ == OBX_ERROR_FILE_CORRUPT)
        raise(corruptCode_, "Stored object " + name + " #" + std::to_string(id_) + " is corrupt: " + what);
    raise(corruptCode_, "Object " + name + " #" + std::to_string(id_) + " is not a valid FlatBuffers table: " + what);
}

} // namespace internal
} // namespace obx
