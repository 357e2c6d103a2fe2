#include "sync/replydecoder.h"

#include <zlib.h>

#include <algorithm>

namespace UGENERAL {

namespace {

const int kChunk = 32768;

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
            if (out.size() < used + kChunk)
                out.resize(std::max<qsizetype>(used + kChunk, out.size() * 2));
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
    const QByteArray raw = QByteArray::fromRawData(base64.data(), static_cast<int>(base64.size()));
    const QByteArray compressed = QByteArray::fromBase64(raw);
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
