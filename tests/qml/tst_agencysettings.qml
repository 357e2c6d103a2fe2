import QtQuick 2.15
import QtTest 1.2
import "qrc:/templates/setting/settings.js" as Logic
import "qrc:/templates/colleague/colleague.js" as Colleague
import "qrc:/assets/syncrecords.js" as Records

TestCase {
    name: "AgencySettings"

    function test_drawer_by_role() {
        var managerMenu = ["store", "hashtag", "district", "mine", "pinned", "report", "settings", "logout"]
        compare(Logic.drawerKeys(100, 0), managerMenu)
        compare(Logic.drawerKeys(2, 0), managerMenu, "a vice-manager has the manager's menu")
        compare(Logic.drawerKeys(0, 448 | 1024), ["mine", "pinned", "report", "settings"], "one device: no logout")
        compare(Logic.drawerKeys(1, 448), ["mine", "pinned", "report", "settings", "logout"])
    }

    function test_role_presets_and_switches() {
        compare(Logic.startAccess(false, null), 448)
        compare(Logic.startAccess(true, {"access": 2 | 64}), 66)
        // A secretary gets every office right; back to an agent drops them; the one-device bit stays.
        var secretary = Logic.presetAccess(1, 448 | 1024)
        compare(secretary, 2 | 4 | 8 | 16 | 32 | 2048 | 448 | 1024)
        compare(Logic.presetAccess(0, secretary), 448 | 1024)
        compare(Logic.presetAccess(2, 0), 2 | 4 | 8 | 16 | 32 | 2048 | 448)
        verify(!Logic.switchEnabled(2, "add"), "a vice-manager's switches are fixed")
        verify(Logic.switchEnabled(0, "sensitive"))
        verify(!Logic.switchEnabled(1, "sensitive"), "sensitive details are for agents only")
        compare(Logic.withBit(448, 2, true), 450)
        compare(Logic.withBit(450, 2, false), 448)
    }

    function test_agent_rows_and_accounts() {
        var record = {"agent_ref": {"_id": "a9", "mobile": "0935", "name_family": "x"}, "access": 6, "type": 1,
                      "device": [{"platform": 64, "token": "t"}], "status": {"type": 2}}
        var row = Logic.agentRow(record, "m1")
        compare(row.user_ref, "m1")
        compare(row.status, false)
        verify(row.device === undefined, "the row drops the devices")
        var acc = Logic.agentAccount(record, "m1")
        compare(acc._id, "a9")
        compare(acc.device[0].token, "t")
        compare(Logic.nextStatus(true).type, 2)
        compare(Logic.nextStatus(false).type, 1)
    }

    function test_profile_checks() {
        compare(Logic.profileError({"name_family": "  "}, false), "نام و نام خانوادگی را تکمیل نمایید.")
        compare(Logic.profileError({"name_family": "x"}, true), "ابتدا شهر خود را انتخاب نمایید.")
        compare(Logic.profileError({"name_family": "x"}, false), "", "a manager may leave the city")
        var request = Logic.profileRequest("m1", Logic.profileForm({"name_family": "n", "city_ref": "c",
            "map": {"lat": 1, "lng": 2}, "telegram_channel": "tg", "info": {"email": "e"}, "description": "d"}))
        compare(request.city_id, "c")
        compare(request.map, {"lat": 1, "lng": 2})
        compare(request.info.telegram, "tg")
        compare(request.info.email, "e")
        compare(request.desc, "d")
    }

    function test_manager_keeps_type_image_and_token() {
        var stored = {"image": "https://cdn/me.jpg", "device": [{"token": "tok"}]}
        var saved = Records.managerUser({"_id": "m1", "name_family": "n"}, stored)
        compare(saved.type, 100)
        compare(saved.profile_image, "https://cdn/me.jpg")
        compare(saved.device, [{"platform": 64, "token": "tok"}])
        var fresh = Records.managerUser({"_id": "m1", "profile_image": "new.jpg", "device": []}, stored)
        compare(fresh.profile_image, "new.jpg", "what the server sends wins")
        compare(fresh.device, [])
        // A profile reply without the picture keeps the one just sent.
        compare(Logic.keptImage({"_id": "m1"}, "sent.jpg"), "sent.jpg")
        compare(Logic.keptImage({"profile_image": "srv.jpg"}, "sent.jpg"), "srv.jpg")
        compare(Logic.keptImage({}, undefined), "")
    }

    function test_report_filters() {
        var f = Logic.reportFilters(10, 20, false, "")
        compare(f.live, [{"key": "date", "value": {"value_1": "10", "value_2": "20"}},
                         {"key": "trade_ref", "value": {"value_1": "1", "value_2": "8"}}])
        compare(f.offers[1].value, {"value_1": "1", "value_2": "4"})
        compare(f.requests[1].value, {"value_1": "5", "value_2": "8"})
        var a = Logic.reportFilters(10, 20, true, "a1")
        compare(a.offers[1].value, {"value_1": "9", "value_2": "12"})
        compare(a.requests[1].value, {"value_1": "13", "value_2": "16"})
        compare(a.archived[2], {"key": "agent_ref", "value": {"value_1": "a1"}})
        compare(Logic.reportAgent(true, "m1", ""), "")
        compare(Logic.reportAgent(false, "a1", ""), "a1")
        compare(Logic.reportRows([{"title": "t", "count": 2}], [{"title": "t", "count": 3}]),
                [{"title": "t", "offers": 2, "requests": 3}])
        compare(Logic.parseJalali("۱۴۰۳/۰۹/۱۸"), {"year": 1403, "month": 9, "day": 18})
        compare(Logic.parseJalali("1403/13/1"), null)
    }

    function test_colleagues() {
        compare(Colleague.ownerPoint({"type": 0}, {"map": {"lat": 3, "lng": 4}}), {"lat": 3, "lng": 4})
        compare(Colleague.phoneNumbers({"mobile": "1", "info": {"mobile_1": "1", "phone_1": "2"}}), ["1", "2"])
    }
}
