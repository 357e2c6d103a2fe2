#include "sio/packet.h"

#include <gtest/gtest.h>

#include <cstring>

using sio::message;
using sio::packet;

namespace {

packet decode(const std::string &text)
{
    packet p;
    std::string error;
    EXPECT_TRUE(packet::decode(text.data(), text.size(), p, error)) << text << ": " << error;
    return p;
}

} // namespace

TEST(Packet, EncodesEventsNamespacesAndAttachments)
{
    std::vector<message::bytes> attachments;
    EXPECT_EQ(packet(packet::type::connect, "").encode(attachments), "40");
    EXPECT_EQ(packet(packet::type::connect, "/admin").encode(attachments), "40/admin,");
    EXPECT_EQ(packet::make_event("/", "e", {message::make_integer(1)}).encode(attachments), R"(42["e",1])");
    EXPECT_EQ(packet::make_event("/admin", "e", {}).encode(attachments), R"(42/admin,["e"])");

    const std::string bytes("\x00\x01\xFF", 3);
    auto arg = message::make_object({{"file", message::make_binary(bytes)}, {"name", message::make_string("x")}});
    EXPECT_EQ(packet::make_event("/", "upload", {arg}).encode(attachments),
              R"(451-["upload",{"file":{"_placeholder":true,"num":0},"name":"x"}])");
    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(*attachments[0], bytes);
}

TEST(Packet, DecodesEveryKindTheServerSends)
{
    packet p = decode(R"(0{"sid":"abc"})");
    EXPECT_EQ(p.kind(), packet::type::connect);
    EXPECT_EQ(p.nsp(), "/");

    p = decode(R"(2["reply","data",3])");
    EXPECT_EQ(p.kind(), packet::type::event);
    EXPECT_EQ(p.event_name(), "reply");
    ASSERT_EQ(p.event_args().size(), 2u);
    EXPECT_EQ(p.event_args()[0]->get_string(), "data");
    EXPECT_EQ(p.id(), -1);

    p = decode(R"(2/admin,17["ev"])");
    EXPECT_EQ(p.nsp(), "/admin");
    EXPECT_EQ(p.id(), 17);
    EXPECT_TRUE(p.event_args().empty());

    p = decode(R"(52-["bin",{"_placeholder":true,"num":1},[{"_placeholder":true,"num":0}]])");
    EXPECT_EQ(p.pending_attachments(), 2u);
    EXPECT_FALSE(p.add_attachment(std::make_shared<const std::string>("first")));
    EXPECT_TRUE(p.add_attachment(std::make_shared<const std::string>(std::string("\0second", 7))));
    ASSERT_EQ(p.event_args().size(), 2u);
    EXPECT_EQ(*p.event_args()[0]->get_binary(), std::string("\0second", 7));
    EXPECT_EQ(*p.event_args()[1]->get_vector()[0]->get_binary(), "first");

    EXPECT_EQ(decode("1").kind(), packet::type::disconnect);
    p = decode(R"(4{"message":"refused"})");
    EXPECT_EQ(p.kind(), packet::type::connect_error);
    EXPECT_EQ(p.data()->at("message")->get_string(), "refused");
}

TEST(Packet, RefusesBrokenPackets)
{
    const char *bad[] = {"", "9", "2", "2{}", "2\"x\"", "5-[\"x\"]", "5x-[\"x\"]", "51[\"x\"]", "2[\"x\"", "2/admin,"};
    for (const char *text : bad) {
        packet p;
        std::string error;
        EXPECT_FALSE(packet::decode(text, std::strlen(text), p, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    // A placeholder that names no frame spoils the event rather than reading past the frames.
    packet p = decode(R"(51-["bin",{"_placeholder":true,"num":5}])");
    EXPECT_TRUE(p.add_attachment(std::make_shared<const std::string>("only")));
    EXPECT_EQ(p.event_name(), "");
}
