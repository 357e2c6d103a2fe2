#pragma once

// Reading one stored row's fields straight from its FlatBuffers bytes, by the model's types and
// offsets, so that conditions, order and indexes never build an object.

#include "store/obx/schema.h"

#include <string_view>
#include <vector>

namespace obx::internal {

class Row
{
public:
    Row(const EntityInfo &entity, const void *data, size_t size)
        : entity_(entity), data_(static_cast<const uint8_t *>(data)), size_(size),
          table_(flatbuffers::GetRoot<flatbuffers::Table>(data_))
    {
    }

    // Checks the table and every field the model knows against the buffer's bounds.
    static bool verify(const EntityInfo &entity, const void *data, size_t size);
    // The table and only these fields: enough for a reader that touches no other field.
    static bool verifyFields(const void *data, size_t size, const std::vector<const PropertyInfo *> &properties);

    // Integer properties as signed 64-bit; an unsigned Long comes back as its bit pattern.
    int64_t integer(const PropertyInfo &p) const;
    double floating(const PropertyInfo &p) const;
    // Absent texts read as empty.
    std::string_view text(const PropertyInfo &p) const;
    const flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>> *texts(const PropertyInfo &p) const
    {
        return table_->GetPointer<const flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>> *>(p.offset());
    }
    uint64_t id() const { return table_->GetField<uint64_t>(4, 0); }

private:
    const EntityInfo &entity_;
    const uint8_t *data_;
    size_t size_;
    const flatbuffers::Table *table_;
};

} // namespace obx::internal
