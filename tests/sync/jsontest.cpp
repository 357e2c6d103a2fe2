#include "sio/json.h"

#include <gtest/gtest.h>

#include <cmath>

using sio::message;

namespace {

message::ptr parse(const std::string &text)
{
    std::string error;
    return sio::json::parse(text, &error);
}

std::string write(const message::ptr &m, std::vector<message::bytes> *attachments = nullptr)
{
    std::string out;
    sio::json::write(*m, out, attachments);
    return out;
}

} // namespace

TEST(Json, ReadsEveryKindOfValue)
{
    const message::ptr v = parse(R"( {"a":[1,-2,3.5,1e3,true,false,null,"x"],"big":1700000000123,
                                    "huge":123456789012345678901, "neg":-0.25, "o":{}} )");
    ASSERT_TRUE(v);
    const auto &a = v->at("a")->get_vector();
    ASSERT_EQ(a.size(), 8u);
    EXPECT_TRUE(a[0]->is(message::flag::integer));
    EXPECT_EQ(a[1]->get_int(), -2);
    EXPECT_TRUE(a[2]->is(message::flag::floating));
    EXPECT_DOUBLE_EQ(a[2]->get_double(), 3.5);
    EXPECT_TRUE(a[3]->is(message::flag::floating));
    EXPECT_DOUBLE_EQ(a[3]->get_double(), 1000);
    EXPECT_TRUE(a[4]->get_bool());
    EXPECT_FALSE(a[5]->get_bool());
    EXPECT_TRUE(a[6]->is(message::flag::null));
    EXPECT_EQ(a[7]->get_string(), "x");
    EXPECT_EQ(v->at("big")->get_int(), 1700000000123LL);
    EXPECT_TRUE(v->at("huge")->is(message::flag::floating));
    EXPECT_DOUBLE_EQ(v->at("huge")->get_double(), 123456789012345678901.0);
    EXPECT_DOUBLE_EQ(v->at("neg")->get_double(), -0.25);
    EXPECT_TRUE(v->at("o")->get_map().empty());
}

TEST(Json, DecodesEscapesAndUnicode)
{
    const message::ptr v = parse(R"(["\u0633\u0644\u0627\u0645", "\ud83d\ude00", "\ud800x", "a\n\t\"\\\/b", "سلام"])");
    ASSERT_TRUE(v);
    const auto &a = v->get_vector();
    EXPECT_EQ(a[0]->get_string(), "سلام");
    EXPECT_EQ(a[1]->get_string(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(a[2]->get_string(), "\xEF\xBF\xBDx"); // a lone surrogate cannot be UTF-8
    EXPECT_EQ(a[3]->get_string(), "a\n\t\"\\/b");
    EXPECT_EQ(a[4]->get_string(), "سلام");
}

TEST(Json, RefusesMalformedTextWithAReason)
{
    const char *bad[] = {"", "{", "[1,]", "{\"a\" 1}", "01", "tru", "\"abc", "\"a\x01\"", "1.", "-", "[1] x",
                         "{\"a\":1,}", "\"\\x\"", "\"\\u12g4\"", "nul", "{1:2}"};
    for (const char *text : bad) {
        std::string error;
        EXPECT_FALSE(sio::json::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    // Hostile nesting is refused, not a stack overflow.
    std::string error;
    EXPECT_FALSE(sio::json::parse(std::string(100000, '['), &error));
    EXPECT_EQ(error, "JSON nests too deep");
    EXPECT_TRUE(parse(std::string(500, '[') + std::string(500, ']')));
}

TEST(Json, WritesWhatJavaScriptReadsBack)
{
    auto o = message::make_object();
    o->get_map()["z"] = message::make_double(3);
    o->get_map()["a"] = message::make_double(0.1);
    o->get_map()["t"] = message::make_double(1700000000123.0);
    o->get_map()["nan"] = message::make_double(std::nan(""));
    o->get_map()["s"] = message::make_string(std::string("q\"\\\n\x01 \xD8\xB3\xFF", 9));
    o->get_map()["i"] = message::make_integer(-42);
    o->get_map()["n"] = message::make_null();
    o->get_map()["l"] = message::make_array({message::make_boolean(true), nullptr});
    EXPECT_EQ(write(o), R"({"a":0.1,"i":-42,"l":[true,null],"n":null,"nan":null,"s":"q\"\\\n\u0001 س�","t":1700000000123,"z":3})");

    // What the writer makes, the parser reads back the same.
    const std::string text = write(o);
    EXPECT_EQ(write(parse(text)), text);

    std::vector<message::bytes> attachments;
    auto withBinary = message::make_array({message::make_binary(std::string("\0\1", 2)), message::make_binary(std::string("x"))});
    EXPECT_EQ(write(withBinary, &attachments), R"([{"_placeholder":true,"num":0},{"_placeholder":true,"num":1}])");
    ASSERT_EQ(attachments.size(), 2u);
    EXPECT_EQ(*attachments[0], std::string("\0\1", 2));
}
