import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.platform 1.1 as Platform
import com 1.0
import "settings.js" as Logic
import "qrc:/assets/syncrecords.js" as Records

// The account's profile: names, city, location, contact details and description, sent to the
// server and stored from its reply.
Page {
    id: profile

    property var account: Account
    property var sockets: Sockets
    property var database: Database
    property var templates: Templates

    // Set when the home screen sends a manager here to complete the profile.
    property bool from_login: false
    property var form: Logic.profileForm(account.get())
    property var cities: []
    property bool busy: false

    signal done()

    function field(key, value) {
        var f = Logic.copy(form)
        f[key] = value
        form = f
    }

    function infoField(key, value) {
        var f = Logic.copy(form)
        f.info[key] = value
        form = f
    }

    function cityIndex() {
        for (var i = 0; i < cities.length; ++i)
            if (cities[i]._id === form.city_id)
                return i
        return -1
    }

    function submit() {
        try {
            var error = Logic.profileError(form, !account.isManager())
            if (error) {
                Toast.show(error)
                return
            }
            var request = Logic.profileRequest(account.userId(), form)
            busy = sockets.request("account_edit", request, function (reply) {
                busy = false
                applyReply(reply, request.image)
            }, function () { busy = false })
        } catch (e) {
            busy = false
            Toast.error(e, "submit")
        }
    }

    // sentImage: the new picture that went with the request, if any.
    function applyReply(reply, sentImage) {
        try {
            var content = reply.content
            var result = content ? content.result : null
            if (!result) {
                Toast.show(sockets.messageText(reply))
                return
            }
            var me = account.get()
            var id = -1
            if (account.isManager()) {
                id = database.saveUser(Records.managerUser(result, me), false)
                database.updateDate(reply.timestamp)
            } else {
                var info = result.info || {}
                id = database.updateAgentNameFamily(me.id, result.name_family || "", info.mobile_1 || "",
                                                    info.mobile_2 || "", info.phone_1 || "", info.phone_2 || "",
                                                    result.city_ref || "", info.email || "", reply.timestamp)
            }
            // A reply without the picture keeps the one sent.
            var image = Logic.keptImage(result, sentImage)
            if (id >= 0 && image !== "")
                database.saveUserImage(image, me.id)
            if (id >= 0)
                account.set(database.currentUser())
            Toast.show("اطلاعات شما با موفقیت ذخیره شد.")
            done()
        } catch (e) {
            Toast.error(e, "account_edit_result")
        }
    }

    function removeImage() {
        try {
            var image = account.getImagePath()
            if (!image)
                return
            sockets.request("media_link_remove", {"user_id": account.userId(), "agent_id": account.agentId(),
                                                  "property": {}, "media_link": image}, function (reply) {
                if (!reply.content) {
                    Toast.show(sockets.messageText(reply))
                    return
                }
                Toast.show("تصویر شما با موفقیت حذف گردید.")
                database.deleteUserImage(account.get().id)
                account.set(database.currentUser())
            })
        } catch (e) {
            Toast.error(e, "removeImage")
        }
    }

    // A new picture: cropped first, then uploaded; its address goes with the next submit.
    function changeImage(path) {
        try {
            var d = templates.dialog("dialog/DCrop.qml", {"pathImage": String(path)}, "com")
            if (!d)
                return null
            d.accepted.connect(function (cropped) { profile.uploadImage(cropped) })
            d.open()
            return d
        } catch (e) {
            Toast.error(e, "changeImage")
            return null
        }
    }

    function uploadImage(path) {
        imageUploader.uploadingImage = avatarPicture
        imageUploader.file = String(path).indexOf("file:") === 0 ? String(path) : "file://" + path
        imageUploader.start()
    }

    UCloudUploader {
        id: imageUploader
        onFinished: profile.field("image", String(data.name))
    }

    Component {
        id: imagePicker
        Platform.FileDialog {
            fileMode: Platform.FileDialog.OpenFile
            nameFilters: ["تصاویر (*.jpg *.png *.jpeg)"]
            folder: Utilities.picker_folder("")
            onAccepted: {
                profile.changeImage(String(file))
                destroy()
            }
            onRejected: destroy()
        }
    }

    function pickLocation() {
        try {
            templates.pickPoint(function (lat, lng) {
                var f = Logic.copy(form)
                f.lat = lat
                f.lng = lng
                form = f
            })
        } catch (e) {
            Toast.error(e, "pickLocation")
        }
    }

    Connections {
        target: profile.database
        ignoreUnknownSignals: true
        function onCityListReady(list) {
            profile.cities = list || []
        }
    }

    footer: ToolBar {
        Button {
            objectName: "profileSubmit"
            anchors.verticalCenter: parent.verticalCenter
            anchors.left: parent.left
            anchors.leftMargin: 16
            text: "ثبت"
            enabled: !profile.busy
            onClicked: profile.submit()
        }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: body.height + 32
        clip: true

        Column {
            id: body
            y: 16
            width: Math.min(parent.width - 32, 640)
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 8

            Row {
                width: parent.width
                spacing: 12
                Rectangle {
                    width: 64
                    height: 64
                    radius: 32
                    color: "#bbdefb"
                    clip: true
                    UUploadingImage {
                        id: avatarPicture
                        objectName: "profileImage"
                        anchors.fill: parent
                        source: profile.form.image ? profile.form.image : profile.account.getImagePath()
                    }
                }
                Button {
                    objectName: "profileChangeImage"
                    anchors.verticalCenter: parent.verticalCenter
                    text: "تغییر تصویر"
                    onClicked: imagePicker.createObject(profile).open()
                }
                Button {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: profile.account.getImagePath() !== ""
                    text: "حذف تصویر"
                    onClicked: profile.removeImage()
                }
            }

            Label { width: parent.width; text: "نام و نام خانوادگی" }
            TextField {
                objectName: "profileName"
                width: parent.width
                text: profile.form.name_family
                onTextEdited: profile.field("name_family", text)
            }
            Label { width: parent.width; text: "نام بنگاه"; visible: profile.account.isManager() }
            TextField {
                objectName: "profileBusiness"
                width: parent.width
                visible: profile.account.isManager()
                text: profile.form.business_name
                onTextEdited: profile.field("business_name", text)
            }
            Label { width: parent.width; text: "کد اتحادیه"; visible: profile.account.isManager() }
            TextField {
                width: parent.width
                visible: profile.account.isManager()
                text: profile.form.union_code
                onTextEdited: profile.field("union_code", text)
            }
            Label { width: parent.width; text: "شهر" }
            ComboBox {
                objectName: "profileCity"
                width: parent.width
                model: profile.cities
                textRole: "title"
                currentIndex: profile.cityIndex()
                displayText: currentIndex === -1 ? "انتخاب شهر" : currentText
                onActivated: profile.field("city_id", profile.cities[index]._id)
            }
            Row {
                width: parent.width
                spacing: 12
                Button {
                    text: "انتخاب موقعیت روی نقشه"
                    onClicked: profile.pickLocation()
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: profile.form.lat || profile.form.lng ? profile.form.lat.toFixed(5) + " , " + profile.form.lng.toFixed(5) : ""
                    color: "#757575"
                }
            }

            Repeater {
                model: [
                    {"key": "mobile_1", "title": "تلفن همراه ۱"}, {"key": "mobile_2", "title": "تلفن همراه ۲"},
                    {"key": "phone_1", "title": "تلفن ثابت ۱"}, {"key": "phone_2", "title": "تلفن ثابت ۲"},
                    {"key": "email", "title": "ایمیل"}, {"key": "site", "title": "وب سایت"},
                    {"key": "address", "title": "آدرس"}, {"key": "telegram", "title": "کانال تلگرام"},
                    {"key": "instagram", "title": "اینستاگرام"}
                ]
                Column {
                    width: body.width
                    spacing: 4
                    Label { width: parent.width; text: modelData.title }
                    TextField {
                        objectName: "profile_" + modelData.key
                        width: parent.width
                        text: profile.form.info[modelData.key]
                        onTextEdited: profile.infoField(modelData.key, text)
                    }
                }
            }

            Label { width: parent.width; text: "توضیحات" }
            TextArea {
                width: parent.width
                height: 90
                wrapMode: TextEdit.Wrap
                text: profile.form.desc
                onTextChanged: if (text !== profile.form.desc) profile.field("desc", text)
                background: Rectangle { border.color: "#bdbdbd"; radius: 4 }
            }
        }
    }

    Component.onCompleted: database.getCities()
}
