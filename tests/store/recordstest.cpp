// The entity records and their FlatBuffers bindings: what a stored row holds and how it reads back.

#include "store/file.h"
#include "store/fileinfo.h"
#include "store/scroll.h"
#include "store/user.h"

#include <flatbuffers/flatbuffers.h>
#include <gtest/gtest.h>

namespace {

template <class T> std::vector<uint8_t> encode(const T &record)
{
    flatbuffers::FlatBufferBuilder fbb(1024);
    T::_OBX_MetaInfo::toFlatBuffer(fbb, record);
    return std::vector<uint8_t>(fbb.GetBufferPointer(), fbb.GetBufferPointer() + fbb.GetSize());
}

const flatbuffers::Table *root(const std::vector<uint8_t> &bytes)
{
    return flatbuffers::GetRoot<flatbuffers::Table>(bytes.data());
}

// The vtable entry of property id p sits at byte offset 2 + 2p.
bool hasField(const std::vector<uint8_t> &bytes, int propertyId)
{
    return root(bytes)->GetOptionalFieldOffset(flatbuffers::voffset_t(2 + 2 * propertyId)) != 0;
}

File sampleFile()
{
    File f;
    f.id = 42;
    f.server_id = "srv-1";
    f.user_id = "owner";
    f.customer_name = "علی رضایی";
    f.trade_type = 3;
    f.property_type = 7;
    f.districts = {"d1", "d2"};
    f.district_array = "ونک#,#,#,#";
    f.pins = {};
    f.auto_code = 18446744073709551615ULL;
    f.area = 85.5f;
    f.price_1 = 12000000000ULL;
    f.is_private = true;
    f.room = -2;
    f.lat = 35.6892;
    f.lng = 51.389;
    f.date = 1700000000000ULL;
    f.info_id = 9;
    f.toggle_id = 11;
    return f;
}

} // namespace

TEST(Records, FileRoundTripKeepsEveryMember)
{
    const File in = sampleFile();
    const std::vector<uint8_t> bytes = encode(in);
    flatbuffers::Verifier verifier(bytes.data(), bytes.size());
    ASSERT_TRUE(verifier.VerifyTableStart(bytes.data() + flatbuffers::ReadScalar<flatbuffers::uoffset_t>(bytes.data())));

    std::unique_ptr<File> out = File::_OBX_MetaInfo::newFromFlatBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(out->id, 42u);
    EXPECT_EQ(out->server_id, "srv-1");
    EXPECT_EQ(out->customer_name, "علی رضایی");
    EXPECT_EQ(out->trade_type, 3);
    EXPECT_EQ(out->property_type, 7);
    EXPECT_EQ(out->districts, (std::vector<std::string>{"d1", "d2"}));
    EXPECT_EQ(out->district_array, "ونک#,#,#,#");
    EXPECT_TRUE(out->pins.empty());
    EXPECT_EQ(out->auto_code, 18446744073709551615ULL);
    EXPECT_FLOAT_EQ(out->area, 85.5f);
    EXPECT_EQ(out->price_1, 12000000000ULL);
    EXPECT_TRUE(out->is_private);
    EXPECT_FALSE(out->draft);
    EXPECT_EQ(out->room, -2);
    EXPECT_DOUBLE_EQ(out->lat, 35.6892);
    EXPECT_EQ(out->date, 1700000000000ULL);
    EXPECT_EQ(out->info_id, 9u);
    EXPECT_EQ(out->meter_id, 0u);
    EXPECT_EQ(out->toggle_id, 11u);
}

TEST(Records, DefaultRecordStillWritesEveryField)
{
    const std::vector<uint8_t> file = encode(File());
    for (int p = 1; p <= 41; ++p)
        EXPECT_TRUE(hasField(file, p)) << "File property " << p;

    // FileInfo has no property 4: its entry at offset 10 stays empty, build_year sits at 12.
    const std::vector<uint8_t> info = encode(FileInfo());
    EXPECT_FALSE(hasField(info, 4));
    for (int p : {1, 2, 3, 5, 10, 20})
        EXPECT_TRUE(hasField(info, p)) << "FileInfo property " << p;

    // User has no properties 21 and 22.
    const std::vector<uint8_t> user = encode(User());
    EXPECT_FALSE(hasField(user, 21));
    EXPECT_FALSE(hasField(user, 22));
    EXPECT_TRUE(hasField(user, 23));
    EXPECT_TRUE(hasField(user, 34));
}

TEST(Records, FileInfoBuildYearLandsAtItsOwnOffset)
{
    FileInfo in;
    in.amount_of_interest = 3;
    in.build_year = 1398;
    in.floor_space = 85.5f;
    in.balcony = 4.25f;
    const std::vector<uint8_t> bytes = encode(in);
    EXPECT_EQ(root(bytes)->GetField<int32_t>(12, 0), 1398);
    FileInfo out;
    FileInfo::_OBX_MetaInfo::fromFlatBuffer(bytes.data(), bytes.size(), out);
    EXPECT_EQ(out.amount_of_interest, 3);
    EXPECT_EQ(out.build_year, 1398);
    EXPECT_FLOAT_EQ(out.floor_space, 85.5f);
    EXPECT_FLOAT_EQ(out.balcony, 4.25f);
}

TEST(Records, ShortTableReadsDefaultsForMissingFields)
{
    // A row written with only id and entityId, as by an older model.
    flatbuffers::FlatBufferBuilder fbb;
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(4, 5, 0);
    fbb.AddElement<uint64_t>(6, 77, 0);
    fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
    Scroll out;
    out.position = 99;
    Scroll::_OBX_MetaInfo::fromFlatBuffer(fbb.GetBufferPointer(), fbb.GetSize(), out);
    EXPECT_EQ(out.id, 5u);
    EXPECT_EQ(out.entityId, 77u);
    EXPECT_EQ(out.entityType, 0);
    EXPECT_EQ(out.position, 0);
}

TEST(Records, TextWithNulKeepsOnlyWhatComesBefore)
{
    User in;
    in.name_family = std::string("abc\0def", 7);
    in.invisible_toggles = {std::string("1\0002", 3), "3"};
    const std::vector<uint8_t> bytes = encode(in);
    User out;
    User::_OBX_MetaInfo::fromFlatBuffer(bytes.data(), bytes.size(), out);
    EXPECT_EQ(out.name_family, "abc");
    EXPECT_EQ(out.invisible_toggles, (std::vector<std::string>{"1", "3"}));
}
