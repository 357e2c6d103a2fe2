import QtQuick 2.15
import QtTest 1.2
import com 1.0

TestCase {
    name: "Dates"

    function test_known_conversions() {
        compare(Dates.gregorian_to_jalali(2023, 10, 7), [1402, 7, 15])
        compare(Dates.gregorian_to_jalali(2024, 3, 20), [1403, 1, 1])
        compare(Dates.gregorian_to_jalali(2025, 3, 20), [1403, 12, 30])
        compare(Dates.jalali_to_gregorian(1403, 12, 30), [2025, 3, 20])
        compare(Dates.jalali_to_gregorian(1402, 12, 29), [2024, 3, 19])
        // Numeric texts must not be concatenated into the day count.
        compare(Dates.gregorian_to_jalali("2023", "10", "7"), [1402, 7, 15])
    }

    function test_leap_years() {
        verify(Dates.is_leap_year(1403))
        verify(!Dates.is_leap_year(1404))
        verify(Dates.is_leap_year(1399))
        verify(!Dates.is_leap_year(1400))
    }

    function test_formatting() {
        compare(Dates.formatDate(1402, 7, 5, true), "1402/07/05")
        compare(Dates.formatDate(2023, 9, 27, false), "2023-09-27")
        compare(Dates.formatDate(1402, 11, 12, true, "."), "1402.11.12")
        compare(Dates.format(3), "03")
        compare(Dates.format(12), 12)
        compare(Dates.stringdate_to_time("09:41"), {"hour": "09", "minute": "41"})
    }

    function test_timestamps() {
        var t = new Date(2023, 9, 7, 8, 5).getTime()
        compare(Dates.timestamp_to_jdate(t, false), "1402/07/15")
        compare(Dates.timestamp_to_jdate(t, true), "1402/07/15 08:05")
        compare(Dates.timestamp_to_jalali(t), {"year": 1402, "month": 7, "day": 15, "hour": 8,
                                               "minute": 5})

        var back = new Date(Dates.jalali_to_timestamp(1402, 12, 29))
        compare([back.getFullYear(), back.getMonth() + 1, back.getDate()], [2024, 3, 19])
        back = new Date(Dates.jalali_to_timestamp("1403", "12", "30"))
        compare([back.getFullYear(), back.getMonth() + 1, back.getDate()], [2025, 3, 20])
    }

    function test_today() {
        var now = new Date()
        var j = Dates.gregorian_to_jalali(now.getFullYear(), now.getMonth() + 1, now.getDate())
        compare(Dates.current_persian_date(), {"year": String(j[0]), "month": String(j[1]),
                                               "day": String(j[2])})
        verify(Dates.current_persian_date_with_hour().indexOf(Dates.formatDate(j[0], j[1], j[2], true)) === 0)
        verify(Math.abs(Dates.current_timestamp() - Date.now()) < 1000)
    }
}
