#include "sync/replydecoder.h"

#include <zlib.h>

#include <algorithm>
#include <iterator>

namespace UGENERAL {

namespace {

const int kChunk = 32768;
const qsizetype kDeflateMaxRatio = 1032;

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

// The gzip trailer's ISIZE (the size modulo 4 GiB), trusted only as far as deflate can expand.
qsizetype expectedSize(const QByteArray &compressed)
{
    if (compressed.size() < 18)
        return 0;
    const unsigned char *t = reinterpret_cast<const unsigned char *>(compressed.constData()) + compressed.size() - 4;
    const qsizetype isize = static_cast<qsizetype>(t[0] | (t[1] << 8) | (t[2] << 16) | (quint32(t[3]) << 24));
    return std::min(isize, compressed.size() * kDeflateMaxRatio);
}

} // namespace

bool gunzipPayload(const QByteArray &compressed, QByteArray &out)
{
    out.clear();
    if (compressed.isEmpty())
        return true;

    z_stream zs{};
    if (inflateInit2(&zs, 15 + 16) != Z_OK) // 15 + 16: the gzip wrapper only
        return false;

    // Inflating straight into the output's tail spares a copy of every chunk.
    out.reserve(expectedSize(compressed) + kChunk);
    const char *in = compressed.constData();
    qsizetype left = compressed.size();
    qsizetype used = 0;
    bool ended = false;
    bool failed = false;
    while (left > 0 && !ended && !failed) {
        const int feed = static_cast<int>(std::min<qsizetype>(left, kChunk));
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in));
        zs.avail_in = static_cast<uInt>(feed);
        do {
            const qsizetype want = used + kChunk;
            if (out.size() < want)
                out.resize(want <= out.capacity() ? want : std::max<qsizetype>(want, out.size() * 2));
            zs.next_out = reinterpret_cast<Bytef *>(out.data() + used);
            zs.avail_out = kChunk;
            const int rc = inflate(&zs, Z_NO_FLUSH);
            used += kChunk - static_cast<qsizetype>(zs.avail_out);
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
    inflateEnd(&zs);
    out.resize(used);
    return ended && !failed;
}

bool decodeReply(const std::string &base64, QString &text, QString *error)
{
    text.clear();
    const QByteArray compressed = fromBase64(base64);
    if (compressed.isEmpty() && !base64.empty()) {
        if (error)
            *error = QStringLiteral("not Base64");
        return false;
    }
    QByteArray json;
    if (!gunzipPayload(compressed, json)) {
        if (error)
            *error = QStringLiteral("not one whole gzip stream");
        return false;
    }
    text = QString::fromUtf8(json);
    return true;
}

} // namespace UGENERAL
