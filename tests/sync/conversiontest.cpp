#include "sync/messageconversion.h"
#include "sync/replydecoder.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace UGENERAL;
using sio::message;

namespace {

// windowBits 31 makes gzip, 15 the zlib wrapper.
QByteArray compress(const QByteArray &data, int windowBits = 31)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<int>(deflateBound(&zs, static_cast<uLong>(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(static_cast<int>(zs.total_out));
    deflateEnd(&zs);
    return out;
}

message::ptr convert(const char *json)
{
    const sio::message::list args = parseEmitPayload(QString::fromUtf8(json));
    EXPECT_EQ(args.size(), 1u);
    return args.empty() ? nullptr : args.front();
}

std::string decoded(const QByteArray &base64, bool *ok = nullptr)
{
    QString text;
    const bool result = decodeReply(base64.toStdString(), text);
    if (ok)
        *ok = result;
    return text.toStdString();
}

// A gzip stream of `size` zero bytes, deflated piece by piece so that the test never holds them,
// with its trailer's size field replaced by `claimed`.
QByteArray gzipBomb(qint64 size, quint32 claimed)
{
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    char buf[65536];
    for (qint64 left = size; left >= 0; left -= zeros.size()) {
        const bool last = left <= zeros.size();
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        zs.avail_in = static_cast<uInt>(last ? left : zeros.size());
        do {
            zs.next_out = reinterpret_cast<Bytef *>(buf);
            zs.avail_out = sizeof buf;
            deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buf, static_cast<int>(sizeof buf - zs.avail_out));
        } while (zs.avail_out == 0);
        if (last)
            break;
    }
    deflateEnd(&zs);
    for (int i = 0; i < 4; ++i)
        out[out.size() - 4 + i] = static_cast<char>(claimed >> (8 * i));
    return out;
}

} // namespace

TEST(MessageConversion, TypesFollowTheWireRules)
{
    const message::ptr m = convert(R"({"a":3,"b":null,"c":"سلام","d":true,
        "e":[1,null,"x",[2],{"f":null},false],"g":{"h":1700000000123}})");
    ASSERT_TRUE(m && m->is(message::flag::object));
    EXPECT_TRUE(m->at("a")->is(message::flag::floating));
    EXPECT_EQ(m->at("a")->get_double(), 3.0);
    EXPECT_TRUE(m->at("b")->is(message::flag::string));
    EXPECT_EQ(m->at("b")->get_string(), "");
    EXPECT_EQ(m->at("c")->get_string(), "سلام");
    EXPECT_TRUE(m->at("d")->get_bool());
    const auto &e = m->at("e")->get_vector();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0]->get_double(), 1.0);
    EXPECT_EQ(e[1]->get_string(), "");
    EXPECT_EQ(e[2]->get_string(), "x");
    EXPECT_EQ(e[3]->get_vector()[0]->get_double(), 2.0);
    EXPECT_EQ(e[4]->at("f")->get_string(), "");
    EXPECT_FALSE(e[5]->get_bool());
    EXPECT_EQ(m->at("g")->at("h")->get_double(), 1700000000123.0);

    // Text that is not a JSON object still sends one (empty) object.
    for (const char *text : {"not json", "[1,2]", ""}) {
        const message::ptr empty = convert(text);
        ASSERT_TRUE(empty) << text;
        EXPECT_TRUE(empty->is(message::flag::object) && empty->get_map().empty()) << text;
    }
}

TEST(MessageConversion, FilesTravelAsBinaryValues)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i)
        bytes.append(static_cast<char>(i % 251));
    QFile file(dir.filePath(QStringLiteral("photo.jpg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const QString url = QUrl::fromLocalFile(file.fileName()).toString();
    const QString missing = QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone.jpg"))).toString();

    const QString json = QStringLiteral(R"({"name":"x","FILES":{"photo":"%1","lost":"%2","nested":"%1"},
                                           "list":[{"FILES":{"inner":"%1"}}],"nested":"later key wins"})")
                             .arg(url, missing);
    const sio::message::list args = parseEmitPayload(json);
    ASSERT_EQ(args.size(), 1u);
    const message::ptr m = args[0];
    EXPECT_FALSE(m->at("FILES"));
    EXPECT_FALSE(m->at("lost"));
    EXPECT_EQ(m->at("name")->get_string(), "x");
    ASSERT_TRUE(m->at("photo") && m->at("photo")->is(message::flag::binary));
    EXPECT_EQ(*m->at("photo")->get_binary(), bytes.toStdString());
    EXPECT_EQ(m->at("nested")->get_string(), "later key wins");
    const message::ptr inner = m->at("list")->get_vector()[0];
    EXPECT_EQ(*inner->at("inner")->get_binary(), bytes.toStdString());
}

TEST(ReplyDecoding, GunzipKeepsOnlyWholeGzipStreams)
{
    QByteArray out("stale");
    EXPECT_TRUE(gunzipPayload(QByteArray(), out));
    EXPECT_TRUE(out.isEmpty());

    const QByteArray json = QStringLiteral(R"({"ok":true,"content":{"title":"آپارتمان"}})").toUtf8();
    EXPECT_TRUE(gunzipPayload(compress(json), out));
    EXPECT_EQ(out, json);

    // Bytes after the first member are ignored.
    EXPECT_TRUE(gunzipPayload(compress(json) + "trailing garbage" + compress("second"), out));
    EXPECT_EQ(out, json);

    EXPECT_FALSE(gunzipPayload(compress(json, 15), out)); // zlib wrapper, not gzip
    EXPECT_FALSE(gunzipPayload(compress(json, -15), out)); // raw deflate
    EXPECT_FALSE(gunzipPayload(QByteArray::fromRawData("\x1f\x8b\x08\x00garbage here", 16), out));
    EXPECT_FALSE(gunzipPayload(QByteArray("plainly not compressed"), out));
    const QByteArray whole = compress(json);
    for (int cut : {1, 10, whole.size() / 2, whole.size() - 1})
        EXPECT_FALSE(gunzipPayload(whole.left(cut), out)) << cut;

    // Several megabytes, across many 32 KiB steps, come out exactly.
    QByteArray big;
    quint32 x = 12345;
    while (big.size() < 5 * 1024 * 1024) {
        x = x * 1103515245u + 12345u;
        big.append(QByteArray::number(x >> 8, 36)).append(' ');
    }
    EXPECT_TRUE(gunzipPayload(compress(big), out));
    EXPECT_EQ(out, big);
}

TEST(ReplyDecoding, BrokenRepliesGiveTheEmptyText)
{
    const QByteArray json = QStringLiteral(R"({"ok":true,"message":{"msg":"ثبت شد"}})").toUtf8();
    const QByteArray packed = compress(json).toBase64();
    bool ok = false;
    EXPECT_EQ(decoded(packed, &ok), json.toStdString());
    EXPECT_TRUE(ok);

    // Characters outside the Base64 alphabet are skipped.
    QByteArray wrapped = packed;
    for (int i = 60; i < wrapped.size(); i += 61)
        wrapped.insert(i, '\n');
    EXPECT_EQ(decoded(wrapped, &ok), json.toStdString());

    // Every padding length decodes.
    for (int n = 0; n < 40; ++n) {
        const QByteArray text = QByteArray("[\"") + QByteArray(n, 'x') + "\"]";
        EXPECT_EQ(decoded(compress(text).toBase64()), text.toStdString()) << n;
        EXPECT_EQ(decoded(compress(text).toBase64(QByteArray::OmitTrailingEquals)), text.toStdString()) << n;
    }

    EXPECT_EQ(decoded("", &ok), "");
    EXPECT_TRUE(ok);

    // A truncated stream would give a partial text that might still parse; it gives nothing.
    const QByteArray half = compress(json).left(compress(json).size() - 6).toBase64();
    for (const QByteArray &bad : {half, QByteArray("!!!!"), compress(json, 15).toBase64(), json.toBase64()}) {
        EXPECT_EQ(decoded(bad, &ok), "") << bad.constData();
        EXPECT_FALSE(ok) << bad.constData();
    }
}

TEST(ReplyDecoding, HostileRepliesAnswerFalseWithoutThrowing)
{
    // Inflating past the limit, whatever the trailer claims, stops there with a clear reason.
    QByteArray bomb = gzipBomb(kMaxDecodedSize + (8 << 20), 0);
    ASSERT_LT(bomb.size(), 4 << 20);
    for (quint32 claimed : {1000u, 0x80000000u, 0xFFFFFFFFu}) {
        for (int i = 0; i < 4; ++i)
            bomb[bomb.size() - 4 + i] = static_cast<char>(claimed >> (8 * i));
        QString text("stale");
        QString error;
        bool ok = true;
        EXPECT_NO_THROW(ok = decodeReply(bomb.toBase64().toStdString(), text, &error)) << claimed;
        EXPECT_FALSE(ok) << claimed;
        EXPECT_TRUE(text.isEmpty());
        EXPECT_TRUE(error.contains(QStringLiteral("MiB"))) << error.toStdString();
    }

    // A trailer claiming 2 GiB on a small honest stream is caught by zlib's length check.
    QByteArray lying = compress("{\"ok\":true}");
    lying[lying.size() - 1] = '\x80';
    QByteArray out;
    QString error;
    bool ok = true;
    EXPECT_NO_THROW(ok = gunzipPayload(lying, out, &error));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.isEmpty());

    // Right at the limit still decodes.
    const QByteArray edge = gzipBomb(kMaxDecodedSize, static_cast<quint32>(kMaxDecodedSize));
    EXPECT_TRUE(gunzipPayload(edge, out));
    EXPECT_EQ(out.size(), kMaxDecodedSize);
    out.clear();

    // A NUL inside would cut the text where it is read; the reply is refused whole.
    for (const QByteArray &json : {QByteArray("{\"ok\":true,\"message\":\"a\0b\"}", 27), QByteArray(1, '\0')}) {
        QString text;
        EXPECT_FALSE(decodeReply(compress(json).toBase64().toStdString(), text, &error)) << json.size();
        EXPECT_TRUE(text.isEmpty());
        EXPECT_TRUE(error.contains(QStringLiteral("NUL")));
    }
}
