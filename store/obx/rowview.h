#pragma once

// Bounds-checked reading of a stored row (a FlatBuffers table) through the model's types and
// offsets. open() checks the root, table and vtable; each accessor checks the bytes it reads,
// so a damaged row raises OBX_ERROR_FILE_CORRUPT instead of reading out of bounds.
// verify() checks every field the entity's model knows, before a row reaches a binding.

#include "schema.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace obx {
namespace internal {

class RowView
{
public:
    // Raises OBX_ERROR_FILE_CORRUPT (or OBX_ERROR_ILLEGAL_ARGUMENT for rows about to be put,
    // see corruptCode) when the table's frame is out of bounds.
    void open(const void *data, size_t size, const EntityDef &entity, obx_id id, int corruptCode = OBX_ERROR_FILE_CORRUPT);

    const uint8_t *data() const { return data_; }
    size_t size() const { return size_; }

    // The field's 64-bit pattern: signed widths sign-extended, unsigned ones zero-extended;
    // 0 when absent.
    uint64_t intField(const PropertyDef &property) const
    {
        const size_t pos = fieldPos(property);
        if (!pos)
            return 0;
        switch (property.width) {
        case 1:
            return data_[pos];
        case 2: {
            uint16_t v;
            std::memcpy(&v, data_ + pos, 2);
            return property.unsignedValue ? uint64_t(v) : uint64_t(int64_t(int16_t(v)));
        }
        case 4: {
            uint32_t v;
            std::memcpy(&v, data_ + pos, 4);
            return property.unsignedValue ? uint64_t(v) : uint64_t(int64_t(int32_t(v)));
        }
        default: {
            uint64_t v;
            std::memcpy(&v, data_ + pos, 8);
            return v;
        }
        }
    }

    double doubleField(const PropertyDef &property) const
    {
        const size_t pos = fieldPos(property);
        if (!pos)
            return 0;
        if (property.type == OBXPropertyType_Float) {
            float v;
            std::memcpy(&v, data_ + pos, 4);
            return v;
        }
        double v;
        std::memcpy(&v, data_ + pos, 8);
        return v;
    }

    // The text of a String field; empty when absent.
    std::string_view stringField(const PropertyDef &property) const
    {
        const size_t pos = fieldPos(property);
        return pos ? stringAt(follow(pos)) : std::string_view();
    }

    // Elements of a StringVector field: count() and element(i).
    struct Strings
    {
        const RowView *row = nullptr;
        size_t start = 0; // position of the first element offset
        uint32_t count = 0;
        std::string_view element(uint32_t i) const { return row->stringAt(row->follow(start + 4 * size_t(i))); }
    };
    Strings vectorField(const PropertyDef &property) const;

    // Checks every field of the entity's model.
    void verify() const;

private:
    // Position of the property's inline field, 0 when absent; raises when it does not fit.
    size_t fieldPos(const PropertyDef &property) const
    {
        if (property.voffset + 2u > vtableSize_)
            return 0;
        uint16_t offset;
        std::memcpy(&offset, data_ + vtable_ + property.voffset, 2);
        if (!offset)
            return 0;
        const size_t pos = table_ + offset;
        if (offset >= tableSize_ || pos + property.width > size_)
            corrupt("field out of bounds");
        return pos;
    }
    size_t follow(size_t pos) const;            // target of the offset stored at pos
    std::string_view stringAt(size_t pos) const; // the string that starts at pos
    [[noreturn]] void corrupt(const char *what) const;

    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
    size_t table_ = 0;
    size_t vtable_ = 0;
    uint16_t vtableSize_ = 0;
    uint16_t tableSize_ = 0;
    const EntityDef *entity_ = nullptr;
    obx_id id_ = 0;
    int corruptCode_ = OBX_ERROR_FILE_CORRUPT;
};

} // namespace internal
} // namespace obx
