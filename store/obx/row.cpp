#include "store/obx/row.h"

#include <atomic>

namespace obx::internal {

namespace {

std::atomic<RowChecks> rowChecks{RowChecks::HandWritten};

// The bounds and alignment checks of FlatBuffers' own verifier, done straight on the bytes: a
// row is checked on every first read, and the verifier's bookkeeping (depth, table count, a
// call per check) costs more than the checks themselves. Offsets are counted from the start of
// the row, as the verifier counts them, and alignment is checked against that start too.
class Bytes
{
public:
    Bytes(const uint8_t *bytes, size_t size) : p_(bytes), size_(size) {}

    // The verifier's Verify(at, length).
    bool fits(size_t at, size_t length) const { return length < size_ && at <= size_ - length; }
    bool aligned(size_t at, size_t alignment) const { return (at & (alignment - 1)) == 0; }
    template <class T> T read(size_t at) const { return flatbuffers::ReadScalar<T>(p_ + at); }
    uint8_t byte(size_t at) const { return p_[at]; }

    // A uoffset_t at `at` that points forward inside the row; its target in `target`.
    bool offset(size_t at, size_t &target) const
    {
        if (!aligned(at, 4) || !fits(at, 4))
            return false;
        const uint32_t o = read<uint32_t>(at);
        if (o == 0 || int32_t(o) < 0 || !fits(at + o, 1))
            return false;
        target = at + o;
        return true;
    }
    // A vector or string at `at` of `count` elements of elementSize bytes; its end in `end`.
    bool vector(size_t at, size_t elementSize, uint32_t &count, size_t &end) const
    {
        if (!aligned(at, 4) || !fits(at, 4))
            return false;
        count = read<uint32_t>(at);
        if (count >= FLATBUFFERS_MAX_BUFFER_SIZE / elementSize)
            return false;
        const size_t bytes = 4 + elementSize * count;
        end = at + bytes;
        return fits(at, bytes);
    }
    bool string(size_t at) const
    {
        uint32_t length;
        size_t end;
        return vector(at, 1, length, end) && fits(end, 1) && byte(end) == 0;
    }

private:
    const uint8_t *p_;
    size_t size_;
};

// One field of the table at `table` whose vtable (of vsize bytes) lies at `vtable`.
bool verifyProperty(const Bytes &b, size_t table, size_t vtable, size_t vsize, const PropertyInfo &p)
{
    const flatbuffers::voffset_t field = p.offset();
    const size_t at = field < vsize ? b.read<flatbuffers::voffset_t>(vtable + field) : 0;
    if (at == 0)
        return true; // absent: the default
    const size_t where = table + at;
    const auto scalar = [&](size_t width) { return b.aligned(where, width) && b.fits(where, width); };
    switch (p.type) {
    case OBXPropertyType_Bool:
        return scalar(1);
    case OBXPropertyType_Short:
        return scalar(2);
    case OBXPropertyType_Int:
    case OBXPropertyType_Float:
        return scalar(4);
    case OBXPropertyType_Long:
    case OBXPropertyType_Relation:
    case OBXPropertyType_Double:
        return scalar(8);
    case OBXPropertyType_String: {
        size_t text;
        return b.offset(where, text) && b.string(text);
    }
    case OBXPropertyType_StringVector: {
        size_t list, end;
        uint32_t count;
        if (!b.offset(where, list) || !b.vector(list, 4, count, end))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            size_t text;
            if (!b.offset(list + 4 + size_t(i) * 4, text) || !b.string(text))
                return false;
        }
        return true;
    }
    }
    return true;
}

const PropertyInfo &deref(const PropertyInfo &p)
{
    return p;
}

const PropertyInfo &deref(const PropertyInfo *p)
{
    return *p;
}

template <class Properties>
bool verifyTable(const void *data, size_t size, const Properties &properties)
{
    if (!data || size < sizeof(flatbuffers::uoffset_t) * 2 || size >= FLATBUFFERS_MAX_BUFFER_SIZE)
        return false;
    const Bytes b(static_cast<const uint8_t *>(data), size);
    const size_t table = b.read<flatbuffers::uoffset_t>(0);
    if (table < sizeof(flatbuffers::uoffset_t) || table > size - sizeof(flatbuffers::soffset_t))
        return false;
    // The table starts with the (signed) distance back to its vtable, whose first entry is the
    // vtable's own size.
    if (!b.aligned(table, 4) || !b.fits(table, 4))
        return false;
    const size_t vtable = table - size_t(b.read<flatbuffers::soffset_t>(table));
    if (!b.aligned(vtable, 2) || !b.fits(vtable, 2))
        return false;
    const size_t vsize = b.read<flatbuffers::voffset_t>(vtable);
    if ((vsize & 1) != 0 || !b.fits(vtable, vsize))
        return false;
    for (const auto &p : properties)
        if (!verifyProperty(b, table, vtable, vsize, deref(p)))
            return false;
    return true;
}

// The same checks through FlatBuffers' own verifier. It follows the root offset and the offsets
// of a vector's strings without checking them first, so those are checked here before.
bool libraryProperty(flatbuffers::Verifier &v, const uint8_t *bytes, const flatbuffers::Table *t,
                     const PropertyInfo &p)
{
    using Strings = flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>>;
    const flatbuffers::voffset_t f = p.offset();
    switch (p.type) {
    case OBXPropertyType_Bool:
        return t->VerifyField<uint8_t>(v, f, 1);
    case OBXPropertyType_Short:
        return t->VerifyField<int16_t>(v, f, 2);
    case OBXPropertyType_Int:
    case OBXPropertyType_Float:
        return t->VerifyField<int32_t>(v, f, 4);
    case OBXPropertyType_Long:
    case OBXPropertyType_Relation:
    case OBXPropertyType_Double:
        return t->VerifyField<int64_t>(v, f, 8);
    case OBXPropertyType_String:
        return t->VerifyOffset(v, f) && v.VerifyString(t->GetPointer<const flatbuffers::String *>(f));
    case OBXPropertyType_StringVector: {
        if (!t->VerifyOffset(v, f))
            return false;
        const Strings *list = t->GetPointer<const Strings *>(f);
        if (!list)
            return true;
        if (!v.VerifyVector(list))
            return false;
        const size_t first = size_t(reinterpret_cast<const uint8_t *>(list) - bytes) + 4;
        for (size_t i = 0; i < list->size(); ++i) {
            const size_t element = first + 4 * i;
            const flatbuffers::uoffset_t o = v.VerifyOffset(element);
            if (!o || !v.VerifyString(reinterpret_cast<const flatbuffers::String *>(bytes + element + o)))
                return false;
        }
        return true;
    }
    }
    return true;
}

template <class Properties>
bool verifyWithLibrary(const void *data, size_t size, const Properties &properties)
{
    if (!data || size < sizeof(flatbuffers::uoffset_t) * 2 || size >= FLATBUFFERS_MAX_BUFFER_SIZE)
        return false;
    const auto *bytes = static_cast<const uint8_t *>(data);
    flatbuffers::Verifier v(bytes, size);
    const flatbuffers::uoffset_t root = v.VerifyOffset(0);
    if (!root)
        return false;
    const auto *t = reinterpret_cast<const flatbuffers::Table *>(bytes + root);
    if (!t->VerifyTableStart(v))
        return false;
    for (const auto &p : properties)
        if (!libraryProperty(v, bytes, t, deref(p)))
            return false;
    return v.EndTable();
}

} // namespace

void setRowChecks(RowChecks checks)
{
    rowChecks.store(checks, std::memory_order_relaxed);
}

bool Row::verify(const EntityInfo &entity, const void *data, size_t size)
{
    if (rowChecks.load(std::memory_order_relaxed) == RowChecks::Library)
        return verifyWithLibrary(data, size, entity.properties);
    return verifyTable(data, size, entity.properties);
}

bool Row::verifyFields(const void *data, size_t size, const std::vector<const PropertyInfo *> &properties)
{
    if (rowChecks.load(std::memory_order_relaxed) == RowChecks::Library)
        return verifyWithLibrary(data, size, properties);
    return verifyTable(data, size, properties);
}

int64_t Row::integer(const PropertyInfo &p) const
{
    switch (p.type) {
    case OBXPropertyType_Bool:
        return table_->GetField<uint8_t>(p.offset(), 0) != 0;
    case OBXPropertyType_Short:
        return table_->GetField<int16_t>(p.offset(), 0);
    case OBXPropertyType_Int:
        return table_->GetField<int32_t>(p.offset(), 0);
    case OBXPropertyType_Long:
    case OBXPropertyType_Relation:
        return int64_t(table_->GetField<uint64_t>(p.offset(), 0));
    case OBXPropertyType_Float:
        return int64_t(table_->GetField<float>(p.offset(), 0));
    case OBXPropertyType_Double:
        return int64_t(table_->GetField<double>(p.offset(), 0));
    default:
        return 0;
    }
}

double Row::floating(const PropertyInfo &p) const
{
    switch (p.type) {
    case OBXPropertyType_Float:
        return table_->GetField<float>(p.offset(), 0);
    case OBXPropertyType_Double:
        return table_->GetField<double>(p.offset(), 0);
    case OBXPropertyType_Long:
    case OBXPropertyType_Relation:
        return p.isUnsigned() || p.type == OBXPropertyType_Relation ? double(uint64_t(integer(p)))
                                                                       : double(integer(p));
    default:
        return double(integer(p));
    }
}

std::string_view Row::text(const PropertyInfo &p) const
{
    const flatbuffers::String *s = table_->GetPointer<const flatbuffers::String *>(p.offset());
    return s ? std::string_view(s->c_str(), s->size()) : std::string_view();
}

} // namespace obx::internal
