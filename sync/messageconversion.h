// JSON from QML into the socket.io values of one outgoing event.
#pragma once

#include "sio/message.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace UGENERAL {

// Booleans, numbers (as doubles), strings, arrays and objects; anything else becomes its text
// form, null the empty string.
sio::message::ptr jsonValueToMessage(const QJsonArray &array);

// Fills `target` (an object value) from `object`: numbers as doubles, null as "", nested arrays
// and objects converted alike. The key "FILES" maps names to local file URLs, whose bytes go
// out as binary values under those names; "FILES" itself is not sent.
void jsonObjectToMessage(const QJsonObject &object, const sio::message::ptr &target);
sio::message::ptr jsonObjectToMessage(const QJsonObject &object);

// Reads each file named in `files` (name to file URL) into a binary value of `target`; a file
// that cannot be read is left out.
void filesToBinaryMessages(const QJsonObject &files, const sio::message::ptr &target);

// The argument list of one event: one object built from the JSON text (an empty object when the
// text is not a JSON object), or no argument when the conversion fails.
sio::message::list parseEmitPayload(const QString &json);

} // namespace UGENERAL
