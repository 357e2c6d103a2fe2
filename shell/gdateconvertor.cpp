#include "shell/gdateconvertor.h"

#include <QDate>
#include <QLocale>

namespace UGENERAL {

namespace {

const int kGregorianMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const int kJalaliMonthDays[12] = {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, 29};

bool isGregorianLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

} // namespace

GDateConvertor::GDateConvertor(QObject *parent)
    : QObject(parent), m_now(QDateTime::currentDateTime())
{
}

QStringList GDateConvertor::toJalali(const QString &year, const QString &month, const QString &day)
{
    monthNames();

    const int gy = year.toInt();
    const int gm = month.toInt();
    const int gd = day.toInt();

    const int y = gy - 1600;
    // A month outside 1..12 must not walk past the table.
    const int m = qBound(0, gm - 1, 11);

    long long days = 365LL * y + (gy - 1597) / 4 - (gy - 1501) / 100 + (gy - 1201) / 400;
    for (int i = 0; i < m; ++i)
        days += kGregorianMonthDays[i];
    if (m > 1 && isGregorianLeap(y))
        ++days;
    days += gd - 80;

    long long jy = 979 + 33 * (days / 12053);
    days %= 12053;
    jy += 4 * (days / 1461);
    days %= 1461;
    if (days > 365) {
        jy += (days - 1) / 365;
        days = (days - 1) % 365;
    }

    int jm = 0;
    while (jm < 11 && days >= kJalaliMonthDays[jm]) {
        days -= kJalaliMonthDays[jm];
        ++jm;
    }
    ++jm;

    return {QString::number(jy), QString::number(jm), QString::number(days + 1), m_months.value(jm)};
}

QString GDateConvertor::toJalaliString(qint64 msecsSinceEpoch)
{
    const QDate date = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).date();
    const QStringList j = toJalali(QString::number(date.year()), QString::number(date.month()),
                                   QString::number(date.day()));
    return j.mid(0, 3).join(QLatin1Char('/'));
}

QStringList GDateConvertor::currentJalaliDate()
{
    weekdayNames();
    // Numbers and the English day name are taken without the system locale: under a Persian
    // locale its texts carry Persian digits and names that match nothing.
    const QDate date = m_now.date();
    QStringList j = toJalali(QString::number(date.year()), QString::number(date.month()),
                             QString::number(date.day()));
    const QString english = QLocale::c().dayName(date.dayOfWeek(), QLocale::LongFormat);
    j.append(m_weekdays.value(english));
    return j;
}

void GDateConvertor::monthNames()
{
    if (!m_months.isEmpty())
        return;
    const char *const names[12] = {"فروردین", "اردیبهشت", "خرداد", "تیر",   "مرداد", "شهریور",
                                   "مهر",     "آبان",     "آذر",   "دی",    "بهمن",  "اسفند"};
    for (int i = 0; i < 12; ++i)
        m_months.insert(i + 1, QString::fromUtf8(names[i]));
}

void GDateConvertor::weekdayNames()
{
    if (!m_weekdays.isEmpty())
        return;
    m_weekdays.insert(QStringLiteral("Saturday"), QStringLiteral("شنبه"));
    m_weekdays.insert(QStringLiteral("Sunday"), QStringLiteral("یکشنبه"));
    m_weekdays.insert(QStringLiteral("Monday"), QStringLiteral("دوشنبه"));
    m_weekdays.insert(QStringLiteral("Tuesday"), QStringLiteral("سه شنبه"));
    m_weekdays.insert(QStringLiteral("Wednesday"), QStringLiteral("چهارشنبه"));
    m_weekdays.insert(QStringLiteral("Thursday"), QStringLiteral("پنجشنبه"));
    m_weekdays.insert(QStringLiteral("Friday"), QStringLiteral("آدینه"));
}

} // namespace UGENERAL
