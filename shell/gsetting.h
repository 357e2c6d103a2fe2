#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QSettings;

namespace UGENERAL {

// The per-user settings file "preference.ini" (INI format, general section) in the
// application-data location.
class GSetting : public QObject
{
    Q_OBJECT
public:
    explicit GSetting(QObject *parent = nullptr);

    // Where the settings file lives; follows the application identity set at registration.
    static QString filePath();

public Q_SLOTS:
    void set_value(const QString &key, const QVariant &value);
    void set_value_if_not_set(const QString &key, const QVariant &value);
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    bool bool_value(const QString &key, bool defaultValue) const;
    void init_to_defaults();
    void remove();

Q_SIGNALS:
    void settingChanged(const QString &key);

private:
    QSettings *m_settings;
};

} // namespace UGENERAL
