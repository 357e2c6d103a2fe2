#include "store/obx/row.h"

namespace obx::internal {

namespace {

const PropertyInfo &deref(const PropertyInfo &p)
{
    return p;
}

const PropertyInfo &deref(const PropertyInfo *p)
{
    return *p;
}

// A row is checked by FlatBuffers' own verifier, one field at a time as the model types it. The
// verifier follows the root offset and the offsets of a vector's strings without checking them
// first, so those are checked here before they are followed.
bool verifyProperty(flatbuffers::Verifier &v, const uint8_t *bytes, const flatbuffers::Table *t,
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
bool verifyTable(const void *data, size_t size, const Properties &properties)
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
        if (!verifyProperty(v, bytes, t, deref(p)))
            return false;
    return v.EndTable();
}

} // namespace

bool Row::verify(const EntityInfo &entity, const void *data, size_t size)
{
    return verifyTable(data, size, entity.properties);
}

bool Row::verifyFields(const void *data, size_t size, const std::vector<const PropertyInfo *> &properties)
{
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
