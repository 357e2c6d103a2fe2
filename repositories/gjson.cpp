#include "repositories/gjson.h"

#include <cmath>
#include <limits>

namespace UGENERAL {

namespace {

template <class T> T clampTo(qint64 value)
{
    if (value < qint64(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (value > qint64(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return T(value);
}

qint64 clampDouble(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(value);
}

} // namespace

QString GJson::text(const QJsonObject &object, const QString &key)
{
    return object.value(key).toString();
}

std::string GJson::utf8(const QJsonObject &object, const QString &key)
{
    return object.value(key).toString().toStdString();
}

qint64 GJson::integer(const QJsonValue &value)
{
    if (value.isDouble())
        return clampDouble(value.toDouble());
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok)
            return whole;
        const double real = text.toDouble(&ok);
        return ok ? clampDouble(real) : 0;
    }
    return 0;
}

qint64 GJson::integer(const QJsonObject &object, const QString &key)
{
    return integer(object.value(key));
}

int32_t GJson::int32(const QJsonObject &object, const QString &key)
{
    return clampTo<int32_t>(integer(object, key));
}

int16_t GJson::int16(const QJsonObject &object, const QString &key)
{
    return clampTo<int16_t>(integer(object, key));
}

uint64_t GJson::uint64(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (value.isDouble() && value.toDouble() >= 18446744073709551615.0)
        return std::numeric_limits<uint64_t>::max();
    if (value.isString()) {
        bool ok = false;
        const quint64 whole = value.toString().trimmed().toULongLong(&ok);
        if (ok)
            return whole;
    }
    const qint64 whole = integer(value);
    return whole < 0 ? 0 : uint64_t(whole);
}

double GJson::number(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isString()) {
        bool ok = false;
        const double real = value.toString().trimmed().toDouble(&ok);
        return ok ? real : 0;
    }
    return 0;
}

double GJson::number(const QJsonObject &object, const QString &key)
{
    return number(object.value(key));
}

bool GJson::flag(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (value.isBool())
        return value.toBool();
    if (value.isDouble())
        return value.toDouble() != 0;
    return false;
}

qint64 GJson::toInt64(double value)
{
    return clampDouble(value);
}

int32_t GJson::toInt32(double value)
{
    return clampTo<int32_t>(clampDouble(value));
}

uint64_t GJson::toUInt64(double value)
{
    if (std::isnan(value) || value <= 0)
        return 0;
    if (value >= 18446744073709551615.0)
        return std::numeric_limits<uint64_t>::max();
    return uint64_t(value);
}

float GJson::toFloat(double value)
{
    if (std::isnan(value))
        return 0;
    const double top = double(std::numeric_limits<float>::max());
    return float(value > top ? top : (value < -top ? -top : value));
}

QJsonArray GJson::toArray(const std::vector<std::string> &texts)
{
    QJsonArray array;
    for (const std::string &text : texts)
        array.append(QString::fromStdString(text));
    return array;
}

std::vector<std::string> GJson::toStrings(const QJsonArray &array)
{
    std::vector<std::string> texts;
    texts.reserve(size_t(array.size()));
    for (const QJsonValue &value : array)
        texts.push_back(value.toString().toStdString());
    return texts;
}

} // namespace UGENERAL
