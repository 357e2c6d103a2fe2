import QtQuick 2.15
import QtTest 1.15
import "qrc:/com/media.js" as Media
import "qrc:/templates/chat/chat.js" as ChatJs
import "qrc:/templates/instagram/instagram.js" as Insta

TestCase {
    name: "Media"

    function paths(n) {
        var out = []
        for (var i = 0; i < n; ++i)
            out.push("/p/" + i + ".jpg")
        return out
    }

    function test_limit() {
        var r = Media.addable(48, paths(5))
        compare(r.add, ["/p/0.jpg", "/p/1.jpg"])
        verify(r.toast)
        r = Media.addable(0, paths(3))
        compare(r.add.length, 3)
        verify(!r.toast)
        r = Media.addable(50, paths(1))
        compare(r.add.length, 0)
        verify(r.toast)
    }

    function test_removal_and_walk() {
        verify(!Media.needsServerRemoval({"uploaded": true, "server_path": "http://s/media/temp/2024/00/01/a.jpg"}))
        verify(!Media.needsServerRemoval({"uploaded": false, "server_path": ""}))
        verify(Media.needsServerRemoval({"uploaded": true, "server_path": "https://cdn/x/a.jpg"}))
        compare(Media.nextToUpload([{"uploaded": true}, {"uploaded": false}, {"uploaded": false}]), 1)
        compare(Media.nextToUpload([{"uploaded": true}]), -1)
        compare(Media.storedItems({"media_links": [{"path": "https://a/1.jpg"}, {"path": ""}]}),
                [{"imageSource": "https://a/1.jpg", "uploaded": true, "server_path": "https://a/1.jpg"}])
    }

    function test_volume_and_time() {
        compare(Media.getVolume(1023), "1023 b")
        compare(Media.getVolume(1536), "1.5 Kb")
        compare(Media.getVolume(3 * 1048576), "3.0 Mb")
        compare(Media.getVolume(2 * 1073741824), "2.0 Gb")
        compare(Media.remaining(125000, 0), "02:05")
        compare(Media.remaining(1000, 5000), "00:00")
    }

    // A 100 × 60 picture shown as is; the rectangle 10,5 of 30 × 20.
    function test_crop_mapping_data() {
        return [
            {"tag": "0", "r": 0, "out": {"x": 10, "y": 5, "width": 30, "height": 20}},
            {"tag": "90", "r": 90, "out": {"x": 35, "y": 10, "width": 20, "height": 30}},
            {"tag": "180", "r": 180, "out": {"x": 60, "y": 35, "width": 30, "height": 20}},
            {"tag": "270", "r": 270, "out": {"x": 5, "y": 60, "width": 20, "height": 30}}
        ]
    }
    function test_crop_mapping(data) {
        compare(Media.mapCrop({"x": 10, "y": 5, "width": 30, "height": 20}, data.r, 100, 60), data.out)
    }

    function test_fit() {
        compare(Media.fitted(2000, 1000, 500), {"width": 500, "height": 250, "scale": 4})
        compare(Media.fitted(1000, 2000, 500), {"width": 250, "height": 500, "scale": 4})
        compare(Media.fitted(0, 0, 500).scale, 1)
    }

    function test_seen_only_with_messages() {
        var c = {"_id": "c1", "count": 2}
        compare(ChatJs.seenContent(c, "u", "a", []), null)
        compare(ChatJs.seenContent(c, "u", "a", [{"create": 9}, {"create": 3}]).timestamp, 9)
        verify(ChatJs.messagesContent(c, "u", "a").seen)
        verify(!ChatJs.messagesContent({"_id": "c2", "count": 0}, "u", "a").seen)
        compare(ChatJs.rows(null), null)
        compare(ChatJs.row({"name": "n", "last_message": {"message": "m", "create": 5}}).lastMessageDate, 5)
    }

    function test_post_image() {
        compare(Insta.patterns().map(function (p) { return p.pattern_type }), [2, 1, 3, 4])
        compare(Insta.size(1), {"width": 1080, "height": 1080})
        compare(Insta.size(4), {"width": 1080, "height": 1350})
        compare(Insta.priceLabels(6), {"first": "رهن", "second": "اجاره"})
        compare(Insta.priceLabels(11), {"first": "بلاعوض", "second": "قرض الحسنه"})
        compare(Insta.priceLabels(1), {"first": "متری", "second": "کل"})
        var none = Insta.checkOptions(2, {"media_links": []})
        compare(none.map(function (o) { return o.title }),
                ["فیلد اضافی", "متن دلخواه", "لایه تاریک", "تصاویر فایل", "قیمت", "کد فایل"])
        verify(!none[3].enabled && !none[3].checked)
        var square = Insta.checkOptions(1, {"media_links": [{"path": "x"}]})
        compare(square[0].title, "ردیف سوم")
        verify(square[3].enabled && square[3].checked)
        compare(Insta.fileName("/home/u/Pictures/tavorlin/", 42), "/home/u/Pictures/tavorlin/instagram_42.jpg")
    }
}
