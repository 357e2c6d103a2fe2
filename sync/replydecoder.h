// Replies and pushes arrive as Base64 of gzip-compressed UTF-8 JSON.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace UGENERAL {

// Inflates one gzip member (bytes after it are ignored) into `out`. Answers true only when the
// stream is whole; zlib-wrapped or raw deflate data, a truncated stream and corrupt data answer
// false. Empty input is an empty text.
bool gunzipPayload(const QByteArray &compressed, QByteArray &out);

// Base64 (characters outside the alphabet skipped), then gunzipPayload, then UTF-8. A reply
// that does not decode whole gives the empty text and false, with the reason in `error`: a
// partial text must never pass for a reply.
bool decodeReply(const std::string &base64, QString &text, QString *error = nullptr);

} // namespace UGENERAL
