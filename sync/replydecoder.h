// Replies and pushes arrive as Base64 of gzip-compressed UTF-8 JSON.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace UGENERAL {

// The most a reply may inflate to. The largest real reply (a page of the first download) is a
// few MB; anything near this is a broken or hostile sender, answered false.
constexpr qint64 kMaxDecodedSize = qint64(256) << 20;

// Inflates one gzip member (bytes after it are ignored) into `out`. Answers true only when the
// stream is whole and within kMaxDecodedSize; zlib-wrapped or raw deflate data, a truncated
// stream, corrupt data and an oversized one answer false with the reason in `error`. Empty
// input is an empty text. Never throws.
bool gunzipPayload(const QByteArray &compressed, QByteArray &out, QString *error = nullptr);

// Base64 (characters outside the alphabet skipped), then gunzipPayload, then UTF-8. A reply
// that does not decode whole gives the empty text and false, with the reason in `error`: a
// partial text must never pass for a reply, nor one holding a NUL byte. Never throws.
bool decodeReply(const std::string &base64, QString &text, QString *error = nullptr);
// The same up to the UTF-8 bytes, which are left as they are.
bool decodeReplyBytes(const std::string &base64, QByteArray &json, QString *error = nullptr);

} // namespace UGENERAL
