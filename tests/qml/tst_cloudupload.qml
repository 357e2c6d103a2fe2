import QtQuick 2.15
import QtTest 1.2
import "qrc:/com/cloudupload.js" as Logic

TestCase {
    name: "CloudUpload"

    function test_date_and_endings() {
        compare(Logic.dateText(new Date(2026, 0, 15)), "2026/00/15")
        compare(Logic.dateText(new Date(2026, 11, 3)), "2026/11/03")
        verify(Logic.shouldCompress("file:///a/b.png"))
        verify(Logic.shouldCompress("/a/b.JPG"))
        verify(Logic.shouldCompress("/a/b.HEIC"))
        verify(!Logic.shouldCompress("/a/b.PNG"))
        verify(!Logic.shouldCompress("/a/b.mp4"))
    }

    function test_parts() {
        var part = 5242880
        verify(!Logic.isMultipart(part))
        verify(Logic.isMultipart(part + 1))
        verify(!Logic.isLastPart(part + 1, 0))
        verify(Logic.isLastPart(part + 1, 1))
        verify(Logic.isLastPart(2 * part, 1))
        compare(Logic.partInfo("file:///x/clip.mp4", 3 * part, 0).ext, ".mp4")
        compare(Logic.percent(part, 2 * part), "50.00")
    }

    // One request serves every uploader that waits for the settings; a failed one fails them all.
    function test_credentials_shared() {
        var got = []
        verify(Logic.waitForCredentials(function (t) { got.push(t ? t.bucket : null) }, 1000))
        verify(!Logic.waitForCredentials(function (t) { got.push(t ? t.bucket : null) }, 2000))
        Logic.credentialsArrived(Logic.target({"target": {"endpoint": "e", "bucket": "b",
                                                          "credentials": {"accessKeyId": "k", "secretAccessKey": "s"}}}))
        compare(got, ["b", "b"])
        compare(Logic.target(null), null)
        compare(Logic.target({"target": {}}), null)
        verify(Logic.waitForCredentials(function (t) { got.push(t) }, 5000))
        // A reply that never came: a later upload asks again, and the answer serves both.
        verify(Logic.waitForCredentials(function (t) { got.push(t) }, 5000 + Logic.answerWaitMs + 1))
        Logic.credentialsArrived(null)
        compare(got.length, 4)
        compare(got[3], null)
    }
}
