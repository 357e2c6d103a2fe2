#include "store/obx/row.h"

namespace obx::internal {

namespace {

bool verifyProperty(const flatbuffers::Table *table, flatbuffers::Verifier &verifier, const PropertyInfo &p)
{
    const flatbuffers::voffset_t field = p.offset();
    switch (p.type) {
    case OBXPropertyType_Bool:
        return table->VerifyField<uint8_t>(verifier, field, 1);
    case OBXPropertyType_Short:
        return table->VerifyField<int16_t>(verifier, field, 2);
    case OBXPropertyType_Int:
    case OBXPropertyType_Float:
        return table->VerifyField<int32_t>(verifier, field, 4);
    case OBXPropertyType_Long:
    case OBXPropertyType_Relation:
    case OBXPropertyType_Double:
        return table->VerifyField<int64_t>(verifier, field, 8);
    case OBXPropertyType_String:
        return table->VerifyOffset(verifier, field)
            && verifier.VerifyString(table->GetPointer<const flatbuffers::String *>(field));
    case OBXPropertyType_StringVector: {
        const auto *vec = table->GetPointer<const flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>> *>(field);
        return table->VerifyOffset(verifier, field) && verifier.VerifyVector(vec) && verifier.VerifyVectorOfStrings(vec);
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
    if (!data || size < sizeof(flatbuffers::uoffset_t) * 2 || size > FLATBUFFERS_MAX_BUFFER_SIZE)
        return false;
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    flatbuffers::Verifier verifier(bytes, size, 8, 1000000);
    const flatbuffers::uoffset_t rootOffset = flatbuffers::ReadScalar<flatbuffers::uoffset_t>(bytes);
    if (rootOffset < sizeof(flatbuffers::uoffset_t) || rootOffset > size - sizeof(flatbuffers::soffset_t))
        return false;
    const flatbuffers::Table *table = flatbuffers::GetRoot<flatbuffers::Table>(bytes);
    if (!table->VerifyTableStart(verifier))
        return false;
    for (const auto &p : properties)
        if (!verifyProperty(table, verifier, deref(p)))
            return false;
    return verifier.EndTable();
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
