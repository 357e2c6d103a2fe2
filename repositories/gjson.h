#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace UGENERAL {

// Lenient reading of the JSON that the server and QML send: a missing or mistyped value reads
// as 0, false or the empty text and never fails, and numbers are clamped to the target's range.
class GJson
{
public:
    // The text of a string value; "" for anything else.
    static QString text(const QJsonObject &object, const QString &key);
    static std::string utf8(const QJsonObject &object, const QString &key);
    // A whole number from a JSON number (truncated) or a decimal text; 0 otherwise.
    static qint64 integer(const QJsonValue &value);
    static qint64 integer(const QJsonObject &object, const QString &key);
    static int32_t int32(const QJsonObject &object, const QString &key);
    static int16_t int16(const QJsonObject &object, const QString &key);
    static uint64_t uint64(const QJsonObject &object, const QString &key);
    // A number with decimals from a JSON number or a decimal text; 0 otherwise.
    static double number(const QJsonValue &value);
    static double number(const QJsonObject &object, const QString &key);
    // JSON true, or a non-zero number.
    static bool flag(const QJsonObject &object, const QString &key);

    // A real truncated toward zero and clamped to the target's range (NaN reads as 0), so a
    // negative or huge server number never takes an undefined conversion.
    static qint64 toInt64(double value);
    static int32_t toInt32(double value);
    static uint64_t toUInt64(double value);
    // Clamped to the float range; NaN reads as 0.
    static float toFloat(double value);

    static QString fromUtf8(const std::string &text) { return QString::fromStdString(text); }
    static QJsonArray toArray(const std::vector<std::string> &texts);
    static std::vector<std::string> toStrings(const QJsonArray &array);
};

} // namespace UGENERAL
