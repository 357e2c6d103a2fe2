// JSON text to and from the value tree, as socket.io packets carry it.
#pragma once

#include "sio/message.h"

#include <string>
#include <vector>

namespace sio {
namespace json {

// Appends the JSON text of `value` to `out`. Object keys come out in sorted order. Binary values
// become {"_placeholder":true,"num":n} and are appended to `attachments` (null without it).
// Non-finite numbers, which JSON cannot carry, become null.
void write(const message &value, std::string &out, std::vector<message::bytes> *attachments);

// Parses one JSON value, surrounded by optional white space. Integers that fit 64 bits become
// integer values, other numbers doubles. Answers null, with the reason in `error`, for text
// that is not JSON or nests deeper than 512 levels.
message::ptr parse(const char *data, std::size_t size, std::string *error);
message::ptr parse(const std::string &text, std::string *error);

} // namespace json
} // namespace sio
