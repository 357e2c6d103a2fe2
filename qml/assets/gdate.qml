pragma Singleton
import QtQuick 2.15

// Jalali dates for the screens. Timestamps are milliseconds since the epoch, read in local time.
QtObject {
    id: dates

    function gregorian_to_jalali(gy, gm, gd) {
        try {
            gy = Number(gy)
            gm = Number(gm)
            gd = Number(gd)
            var g_d_m = [0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334]
            var jy = gy <= 1600 ? 0 : 979
            gy = gy <= 1600 ? gy - 621 : gy - 1600
            var gy2 = gm > 2 ? gy + 1 : gy
            var days = 365 * gy + parseInt((gy2 + 3) / 4) - parseInt((gy2 + 99) / 100)
                    + parseInt((gy2 + 399) / 400) - 80 + gd + g_d_m[gm - 1]
            jy += 33 * parseInt(days / 12053)
            days %= 12053
            jy += 4 * parseInt(days / 1461)
            days %= 1461
            jy += parseInt((days - 1) / 365)
            if (days > 365)
                days = (days - 1) % 365
            var jm = days < 186 ? 1 + parseInt(days / 31) : 7 + parseInt((days - 186) / 30)
            var jd = 1 + (days < 186 ? days % 31 : (days - 186) % 30)
            return [jy, jm, jd]
        } catch (e) {
            Toast.error(e, "gregorian_to_jalali")
            return [0, 0, 0]
        }
    }

    function jalali_to_gregorian(jy, jm, jd) {
        try {
            jy = Number(jy)
            jm = Number(jm)
            jd = Number(jd)
            var gy = jy <= 979 ? 621 : 1600
            if (jy > 979)
                jy -= 979
            var days = 365 * jy + parseInt(jy / 33) * 8 + parseInt(((jy % 33) + 3) / 4) + 78 + jd
                    + (jm < 7 ? (jm - 1) * 31 : (jm - 7) * 30 + 186)
            gy += 400 * parseInt(days / 146097)
            days %= 146097
            if (days > 36524) {
                days -= 1
                gy += 100 * parseInt(days / 36524)
                days %= 36524
                if (days >= 365)
                    days += 1
            }
            gy += 4 * parseInt(days / 1461)
            days %= 1461
            gy += parseInt((days - 1) / 365)
            if (days > 365)
                days = (days - 1) % 365
            var gd = days + 1
            var leap = (gy % 4 === 0 && gy % 100 !== 0) || gy % 400 === 0
            var lengths = [0, 31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
            var gm = 0
            while (gm < 13 && gd > lengths[gm]) {
                gd -= lengths[gm]
                ++gm
            }
            return [gy, gm, gd]
        } catch (e) {
            Toast.error(e, "jalali_to_gregorian")
            return [0, 0, 0]
        }
    }

    function is_leap_year(year) {
        try {
            return [1, 5, 9, 13, 17, 22, 26, 30].indexOf(Number(year) % 33) !== -1
        } catch (e) {
            Toast.error(e, "is_leap_year")
            return false
        }
    }

    function stringdate_to_time(text) {
        try {
            var parts = String(text).split(":")
            return {"hour": parts[0], "minute": parts.length > 1 ? parts[1] : ""}
        } catch (e) {
            Toast.error(e, "stringdate_to_time")
            return {"hour": "", "minute": ""}
        }
    }

    function current_persian_date() {
        try {
            var now = new Date()
            var j = gregorian_to_jalali(now.getFullYear(), now.getMonth() + 1, now.getDate())
            var parts = j.join("/").split("/")
            return {"year": parts[0], "month": parts[1], "day": parts[2]}
        } catch (e) {
            Toast.error(e, "current_persian_date")
            return {"year": "", "month": "", "day": ""}
        }
    }

    function current_persian_date_with_hour() {
        try {
            var now = new Date()
            var j = gregorian_to_jalali(now.getFullYear(), now.getMonth() + 1, now.getDate())
            return formatDate(j[0], j[1], j[2], true) + " " + format(now.getHours()) + ":"
                    + format(now.getMinutes())
        } catch (e) {
            Toast.error(e, "current_persian_date_with_hour")
            return ""
        }
    }

    function timestamp_to_jdate(timestamp, withHour) {
        try {
            var d = new Date(Number(timestamp))
            var j = gregorian_to_jalali(d.getFullYear(), d.getMonth() + 1, d.getDate())
            var text = formatDate(j[0], j[1], j[2], true)
            if (withHour === true)
                text += " " + format(d.getHours()) + ":" + format(d.getMinutes())
            return text
        } catch (e) {
            Toast.error(e, "timestamp_to_jdate")
            return ""
        }
    }

    function timestamp_to_jalali(timestamp) {
        try {
            var d = new Date(Number(timestamp))
            var j = gregorian_to_jalali(d.getFullYear(), d.getMonth() + 1, d.getDate())
            return {"year": j[0], "month": j[1], "day": j[2], "hour": d.getHours(),
                    "minute": d.getMinutes()}
        } catch (e) {
            Toast.error(e, "timestamp_to_jalali")
            return {"year": 0, "month": 0, "day": 0, "hour": 0, "minute": 0}
        }
    }

    function formatDate(y, m, d, isJalali, separator) {
        try {
            var sep = separator !== undefined && separator !== null ? separator
                                                                     : (isJalali ? "/" : "-")
            return y + sep + format(m) + sep + format(d)
        } catch (e) {
            Toast.error(e, "formatDate")
            return ""
        }
    }

    function format(number) {
        try {
            return number < 10 ? "0" + number : number
        } catch (e) {
            Toast.error(e, "format")
            return ""
        }
    }

    function jalali_to_timestamp(jy, jm, jd) {
        try {
            var g = jalali_to_gregorian(parseInt(jy), parseInt(jm), parseInt(jd))
            var d = new Date()
            // Year, month and day in one call: setting them one by one would let today's day of
            // the month spill the date into the next month.
            d.setFullYear(g[0], g[1] - 1, g[2])
            return d.getTime()
        } catch (e) {
            Toast.error(e, "jalali_to_timestamp")
            return 0
        }
    }

    function current_timestamp() {
        try {
            return new Date().getTime()
        } catch (e) {
            Toast.error(e, "current_timestamp")
            return 0
        }
    }
}
