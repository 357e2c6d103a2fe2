import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Sends one picture or video: it is uploaded to the object store first, and its address goes
// into the message handed to the conversation.
Popup {
    id: dialog

    property string path: ""
    property bool isVideo: false
    property bool uploading: false

    signal sent(var message)

    function initial(options) {
        path = options && options.path ? String(options.path) : ""
        isVideo = options && options.isVideo === true
    }

    function submit() {
        try {
            if (uploading || path === "")
                return
            uploading = true
            uploader.uploadingImage = picture
            uploader.file = path.indexOf("file:") === 0 ? path : "file://" + path
            uploader.start()
        } catch (e) {
            uploading = false
            Toast.error(e, "submit")
        }
    }

    function uploaded(data) {
        uploading = false
        var acc = Account.get() || {}
        sent({"text": caption.text.trim(), "user_id": acc._id || Account.userId(),
              "type": isVideo ? 4 : 3, "media_links": [String(data.name)]})
        close()
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 420
    padding: 16

    UCloudUploader {
        id: uploader
        onFinished: dialog.uploaded(data)
    }

    contentItem: Column {
        id: column
        spacing: 10
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UUploadingImage {
            id: picture
            objectName: "attachment_picture"
            width: parent.width
            height: 240
            fillMode: Image.PreserveAspectFit
            source: dialog.isVideo ? "" : dialog.path
            onFailed: dialog.uploading = false
        }

        TextField {
            id: caption
            objectName: "attachment_text"
            width: parent.width
            placeholderText: "توضیحات"
            selectByMouse: true
        }

        UButtons {
            spacing: 12
            Button {
                objectName: "attachment_send"
                text: dialog.uploading ? "در حال ارسال..." : "ارسال"
                enabled: !dialog.uploading
                onClicked: dialog.submit()
            }
            Button {
                text: "انصراف"
                enabled: !dialog.uploading
                onClicked: dialog.close()
            }
        }
    }
}
