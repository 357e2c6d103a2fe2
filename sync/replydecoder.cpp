#include "sync/replydecoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace UGENERAL {

namespace {

const int kChunk = 32768;
const qint64 kDeflateMaxRatio = 1032;

// Qt's decoder is several times slower than inflate; this one keeps its rule of skipping every
// character outside the standard alphabet ("=" included).
QByteArray fromBase64(const std::string &text)
{
    static const struct Table
    {
        unsigned char v[256];
        Table()
        {
            std::fill(std::begin(v), std::end(v), 0xFF);
            const char *abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            for (unsigned char i = 0; i < 64; ++i)
                v[static_cast<unsigned char>(abc[i])] = i;
        }
    } table;

    QByteArray out(static_cast<qsizetype>(text.size() / 4 * 3 + 3), Qt::Uninitialized);
    char *o = out.data();
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text.data());
    const unsigned char *end = p + text.size();
    unsigned acc = 0;
    int bits = 0;
    while (p < end) {
        if (end - p >= 4) {
            const unsigned a = table.v[p[0]], b = table.v[p[1]], c = table.v[p[2]], d = table.v[p[3]];
            if (bits == 0 && (a | b | c | d) < 64) {
                const unsigned v = (a << 18) | (b << 12) | (c << 6) | d;
                o[0] = static_cast<char>(v >> 16);
                o[1] = static_cast<char>(v >> 8);
                o[2] = static_cast<char>(v);
                o += 3;
                p += 4;
                continue;
            }
        }
        const unsigned v = table.v[*p++];
        if (v >= 64)
            continue;
        acc = (acc << 6) | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            *o++ = static_cast<char>(acc >> bits);
            acc &= (1u << bits) - 1;
        }
    }
    out.resize(o - out.constData());
    return out;
}

// The gzip trailer's ISIZE (the size modulo 4 GiB), trusted only as far as deflate can expand
// and never past the limit: the trailer is the sender's word, not a fact.
qint64 expectedSize(const QByteArray &compressed)
{
    if (compressed.size() < 18)
        return 0;
    const unsigned char *t = reinterpret_cast<const unsigned char *>(compressed.constData()) + compressed.size() - 4;
    const qint64 isize = static_cast<qint64>(t[0] | (t[1] << 8) | (t[2] << 16) | (quint32(t[3]) << 24));
    return std::min({isize, qint64(compressed.size()) * kDeflateMaxRatio, kMaxDecodedSize});
}

void setError(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

} // namespace

bool gunzipPayload(const QByteArray &compressed, QByteArray &out, QString *error)
{
    out.clear();
    if (compressed.isEmpty())
        return true;

    z_stream zs{};
    if (inflateInit2(&zs, 15 + 16) != Z_OK) { // 15 + 16: the gzip wrapper only
        setError(error, QStringLiteral("not one whole gzip stream"));
        return false;
    }

    bool ended = false;
    bool failed = false;
    bool tooLarge = false;
    qint64 used = 0;
    try {
        // Inflating straight into the output's tail spares a copy of every chunk. The buffer
        // never grows past the limit plus one chunk, far below QByteArray's int sizes.
        out.reserve(static_cast<int>(expectedSize(compressed) + kChunk));
        const char *in = compressed.constData();
        qint64 left = compressed.size();
        while (left > 0 && !ended && !failed && !tooLarge) {
            const int feed = static_cast<int>(std::min<qint64>(left, kChunk));
            zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in));
            zs.avail_in = static_cast<uInt>(feed);
            do {
                if (used > kMaxDecodedSize) {
                    tooLarge = true;
                    break;
                }
                const qint64 want = used + kChunk;
                if (out.size() < want) {
                    const qint64 grown = want <= out.capacity() ? want : std::max<qint64>(want, qint64(out.size()) * 2);
                    out.resize(static_cast<int>(std::min<qint64>(grown, kMaxDecodedSize + kChunk)));
                }
                zs.next_out = reinterpret_cast<Bytef *>(out.data() + used);
                zs.avail_out = kChunk;
                const int rc = inflate(&zs, Z_NO_FLUSH);
                used += kChunk - static_cast<qint64>(zs.avail_out);
                if (rc == Z_STREAM_END) {
                    ended = true;
                    break;
                }
                if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
                    failed = true;
                    break;
                }
                // Z_BUF_ERROR only says this chunk is used up; the next one goes on.
                if (rc == Z_BUF_ERROR)
                    break;
            } while (zs.avail_out == 0);
            in += feed;
            left -= feed;
        }
    } catch (const std::bad_alloc &) {
        inflateEnd(&zs);
        out = QByteArray();
        setError(error, QStringLiteral("not enough memory to inflate the reply"));
        return false;
    }
    inflateEnd(&zs);
    if (used > kMaxDecodedSize)
        tooLarge = true;
    if (tooLarge) {
        out = QByteArray();
        setError(error, QStringLiteral("the reply inflates past %1 MiB").arg(kMaxDecodedSize >> 20));
        return false;
    }
    out.resize(static_cast<int>(used));
    if (!ended || failed)
        setError(error, QStringLiteral("not one whole gzip stream"));
    return ended && !failed;
}

bool decodeReplyBytes(const std::string &base64, QByteArray &json, QString *error)
{
    json.clear();
    // Base64 of the largest compressed reply that can decode within the limit (deflate never
    // shrinks data by much less than 1/1032, and stored blocks grow it only a little).
    if (qint64(base64.size()) / 4 * 3 > kMaxDecodedSize + (kMaxDecodedSize >> 4)) {
        setError(error, QStringLiteral("the reply is larger than %1 MiB").arg(kMaxDecodedSize >> 20));
        return false;
    }
    QByteArray compressed;
    try {
        compressed = fromBase64(base64);
    } catch (const std::bad_alloc &) {
        setError(error, QStringLiteral("not enough memory to decode the reply"));
        return false;
    }
    if (compressed.isEmpty() && !base64.empty()) {
        if (error)
            *error = QStringLiteral("not Base64");
        return false;
    }
    if (!gunzipPayload(compressed, json, error))
        return false;
    // The reply is read as a C string further on; a NUL would cut it short unseen.
    if (std::memchr(json.constData(), 0, static_cast<size_t>(json.size()))) {
        json.clear();
        setError(error, QStringLiteral("the reply holds a NUL byte"));
        return false;
    }
    return true;
}

bool decodeReply(const std::string &base64, QString &text, QString *error)
{
    text.clear();
    QByteArray json;
    if (!decodeReplyBytes(base64, json, error))
        return false;
    try {
        text = QString::fromUtf8(json);
    } catch (const std::bad_alloc &) {
        text.clear();
        setError(error, QStringLiteral("not enough memory to decode the reply"));
        return false;
    }
    return true;
}

} // namespace UGENERAL
