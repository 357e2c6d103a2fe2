#include "shell/gdateconvertor.h"
#include "tempenv.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QStringList nativeJalali(GDateConvertor &c, const QDate &d)
{
    return c.toJalali(QString::number(d.year()), QString::number(d.month()),
                      QString::number(d.day()));
}

} // namespace

TEST(DateConvertor, KnownDates)
{
    GDateConvertor c;
    EXPECT_EQ(nativeJalali(c, QDate(2023, 10, 7)),
              QStringList({"1402", "7", "15", QStringLiteral("مهر")}));
    EXPECT_EQ(nativeJalali(c, QDate(2024, 3, 20)),
              QStringList({"1403", "1", "1", QStringLiteral("فروردین")}));
    EXPECT_EQ(nativeJalali(c, QDate(2025, 3, 20)),
              QStringList({"1403", "12", "30", QStringLiteral("اسفند")}));
    EXPECT_EQ(nativeJalali(c, QDate(1979, 3, 21)),
              QStringList({"1358", "1", "1", QStringLiteral("فروردین")}));
    EXPECT_EQ(c.toJalali("2023", "09", "07").mid(0, 3), QStringList({"1402", "6", "16"}));

    const QDateTime noon(QDate(2023, 10, 7), QTime(12, 0));
    EXPECT_EQ(c.toJalaliString(noon.toMSecsSinceEpoch()), "1402/7/15");
    // Just after local midnight still belongs to that local day.
    const QDateTime early(QDate(2024, 3, 20), QTime(0, 5));
    EXPECT_EQ(c.toJalaliString(early.toMSecsSinceEpoch()), "1403/1/1");

    // Out-of-range input must not read past the month tables.
    EXPECT_EQ(c.toJalali("2023", "13", "1").size(), 4);
    EXPECT_EQ(c.toJalali("x", "", "-4").size(), 4);
}

// Runs under the Persian system locale too (a second CTest entry sets LC_ALL).
TEST(DateConvertor, CurrentDateCarriesItsWeekday)
{
    const QStringList names = {QStringLiteral("دوشنبه"), QStringLiteral("سه شنبه"),
                               QStringLiteral("چهارشنبه"), QStringLiteral("پنجشنبه"),
                               QStringLiteral("آدینه"), QStringLiteral("شنبه"),
                               QStringLiteral("یکشنبه")};
    GDateConvertor c;
    const QDate today = QDate::currentDate();
    const QStringList current = c.currentJalaliDate();
    if (QDate::currentDate() != today)
        GTEST_SKIP() << "midnight passed during the test";
    ASSERT_EQ(current.size(), 5) << QLocale::system().name().toStdString();
    EXPECT_EQ(current.mid(0, 4), nativeJalali(c, today));
    EXPECT_EQ(current.at(4), names.at(today.dayOfWeek() - 1))
        << "system locale " << QLocale::system().name().toStdString();
}

// Both implementations, day by day over 1700-2200: they agree, every day follows the one before
// in the Jalali calendar (month lengths 31 x 6, 30 x 5, then 29 or 30 in leap years), and the
// script's way back lands on the same Gregorian day.
TEST(DateConvertor, SweepAgainstScriptImplementation)
{
    auto engine = TempEnv::engine();
    QString error;
    auto o = TempEnv::create(*engine,
                             "QtObject {\n"
                             "  function sweep(flat) {\n"
                             "    var out = []\n"
                             "    for (var i = 0; i < flat.length; i += 3) {\n"
                             "      var j = Dates.gregorian_to_jalali(flat[i], flat[i + 1], flat[i + 2])\n"
                             "      var g = Dates.jalali_to_gregorian(j[0], j[1], j[2])\n"
                             "      out.push(j[0], j[1], j[2], g[0], g[1], g[2], Dates.is_leap_year(j[0]) ? 1 : 0)\n"
                             "    }\n"
                             "    return out\n"
                             "  }\n"
                             "}\n",
                             &error);
    ASSERT_TRUE(o) << error.toStdString();

    QVariantList flat;
    std::vector<QDate> days;
    for (QDate d(1700, 1, 1); d <= QDate(2200, 12, 31); d = d.addDays(1)) {
        days.push_back(d);
        flat << d.year() << d.month() << d.day();
    }
    QVariant result;
    ASSERT_TRUE(QMetaObject::invokeMethod(o.get(), "sweep", Q_RETURN_ARG(QVariant, result),
                                          Q_ARG(QVariant, QVariant(flat))));
    const QVariantList out = result.toList();
    ASSERT_EQ(out.size(), int(days.size()) * 7);

    GDateConvertor c;
    int jy0 = 0, jm0 = 0, jd0 = 0, leap0 = 0;
    int mismatches = 0, roundTrips = 0, breaks = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        const QDate &d = days[i];
        const int jy = out[i * 7].toInt(), jm = out[i * 7 + 1].toInt(), jd = out[i * 7 + 2].toInt();
        const QStringList n = nativeJalali(c, d);
        if (n.mid(0, 3) != QStringList({QString::number(jy), QString::number(jm), QString::number(jd)})) {
            if (mismatches++ < 5)
                ADD_FAILURE() << d.toString(Qt::ISODate).toStdString() << ": native "
                              << n.join('/').toStdString() << ", script " << jy << "/" << jm << "/" << jd;
        }
        if (QDate(out[i * 7 + 3].toInt(), out[i * 7 + 4].toInt(), out[i * 7 + 5].toInt()) != d) {
            if (roundTrips++ < 5)
                ADD_FAILURE() << "round trip of " << d.toString(Qt::ISODate).toStdString();
        }
        if (i > 0) {
            const int length = jm0 <= 6 ? 31 : jm0 <= 11 ? 30 : (leap0 ? 30 : 29);
            const bool next = jd0 < length ? (jy == jy0 && jm == jm0 && jd == jd0 + 1)
                              : jm0 < 12   ? (jy == jy0 && jm == jm0 + 1 && jd == 1)
                                           : (jy == jy0 + 1 && jm == 1 && jd == 1);
            if (!next && breaks++ < 5)
                ADD_FAILURE() << "after " << jy0 << "/" << jm0 << "/" << jd0 << " comes " << jy
                              << "/" << jm << "/" << jd;
        }
        jy0 = jy, jm0 = jm, jd0 = jd, leap0 = out[i * 7 + 6].toInt();
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(roundTrips, 0);
    EXPECT_EQ(breaks, 0);
}
