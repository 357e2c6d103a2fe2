#pragma once

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

namespace UGENERAL {

// Gregorian to Jalali (Persian solar) dates with Persian month and weekday names, for the
// native side (board JSON, Excel export). One object serves one thread.
class GDateConvertor : public QObject
{
    Q_OBJECT
public:
    explicit GDateConvertor(QObject *parent = nullptr);

    // Decimal texts of a Gregorian year (from 1600), month (1-12) and day. Returns the Jalali
    // year, month and day without leading zeros, then the Persian month name.
    QStringList toJalali(const QString &year, const QString &month, const QString &day);

    // Milliseconds since the epoch, read as a local date, as "year/month/day" in Jalali.
    QString toJalaliString(qint64 msecsSinceEpoch);

    // The date taken at construction: the four entries of toJalali and the Persian weekday name.
    QStringList currentJalaliDate();

    void monthNames();
    void weekdayNames();

private:
    QDateTime m_now;
    QMap<int, QString> m_months;
    // English long weekday name to the Persian one.
    QMap<QString, QString> m_weekdays;
};

} // namespace UGENERAL
