#include "sync/messageconversion.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QUrl>

#include <exception>

namespace UGENERAL {

namespace {

sio::message::ptr scalarToMessage(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return sio::message::make_boolean(value.toBool());
    case QJsonValue::Double:
        return sio::message::make_double(value.toDouble());
    case QJsonValue::String:
        return sio::message::make_string(value.toString().toStdString());
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return sio::message::make_string(std::string());
    default:
        return nullptr;
    }
}

} // namespace

sio::message::ptr jsonValueToMessage(const QJsonArray &array)
{
    auto out = sio::message::make_array();
    auto &items = out->get_vector();
    items.reserve(static_cast<std::size_t>(array.size()));
    for (const QJsonValue &value : array) {
        if (value.isArray()) {
            try {
                items.push_back(jsonValueToMessage(value.toArray()));
            } catch (const std::exception &) {
                qDebug() << "Array Faild";
            }
        } else if (value.isObject()) {
            try {
                items.push_back(jsonObjectToMessage(value.toObject()));
            } catch (const std::exception &) {
                qDebug() << "Faild";
            }
        } else {
            items.push_back(scalarToMessage(value));
        }
    }
    return out;
}

void jsonObjectToMessage(const QJsonObject &object, const sio::message::ptr &target)
{
    auto &map = target->get_map();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonValue value = it.value();
        if (it.key() == QLatin1String("FILES")) {
            filesToBinaryMessages(value.toObject(), target);
            continue;
        }
        const std::string key = it.key().toStdString();
        if (value.isArray()) {
            try {
                map[key] = jsonValueToMessage(value.toArray());
            } catch (const std::exception &) {
                qDebug() << "Array Faild";
            }
        } else if (value.isObject()) {
            try {
                map[key] = jsonObjectToMessage(value.toObject());
            } catch (const std::exception &) {
                qDebug() << "Faild";
            }
        } else {
            map[key] = scalarToMessage(value);
        }
    }
}

sio::message::ptr jsonObjectToMessage(const QJsonObject &object)
{
    auto out = sio::message::make_object();
    jsonObjectToMessage(object, out);
    return out;
}

void filesToBinaryMessages(const QJsonObject &files, const sio::message::ptr &target)
{
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QString path = QUrl(it.value().toString()).toLocalFile();
        QFile file(path);
        if (path.isEmpty() || !QFileInfo::exists(path) || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        qDebug() << "Length: " << bytes.size();
        target->get_map()[it.key().toStdString()] =
            sio::message::make_binary(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
}

sio::message::list parseEmitPayload(const QString &json)
{
    try {
        const QJsonObject object = QJsonDocument::fromJson(json.toUtf8()).object();
        return {jsonObjectToMessage(object)};
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace UGENERAL
