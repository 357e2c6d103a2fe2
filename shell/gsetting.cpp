#include "shell/gsetting.h"

#include <QFile>
#include <QJSValue>
#include <QSettings>
#include <QStandardPaths>

namespace UGENERAL {

namespace {

const char *const kFileName = "/preference.ini";

// QML may hand over a script value; stored as such it would not survive the INI file.
QVariant plain(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

} // namespace

GSetting::GSetting(QObject *parent)
    : QObject(parent), m_settings(new QSettings(filePath(), QSettings::IniFormat, this))
{
}

QString GSetting::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
           + QLatin1String(kFileName);
}

void GSetting::set_value(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, plain(value));
    // Written at once, so a crash right after a save keeps it.
    m_settings->sync();
    Q_EMIT settingChanged(key);
}

void GSetting::set_value_if_not_set(const QString &key, const QVariant &value)
{
    if (m_settings->contains(key))
        return;
    set_value(key, value);
}

QVariant GSetting::value(const QString &key, const QVariant &defaultValue) const
{
    return m_settings->value(key, plain(defaultValue));
}

bool GSetting::bool_value(const QString &key, bool defaultValue) const
{
    return m_settings->value(key, defaultValue).toBool();
}

void GSetting::init_to_defaults()
{
    if (!m_settings->contains(QStringLiteral("test")))
        set_value(QStringLiteral("test"), 1);
}

void GSetting::remove()
{
    QFile::remove(m_settings->fileName());
}

} // namespace UGENERAL
