import QtQuick 2.15
import com 1.0
import "cloudupload.js" as Logic

// Puts `file` into the object store and tells the screen the object's name through finished().
Item {
    id: root

    property var uploadingImage: null
    property int defaultPartSizeInKb: 5 * 1024
    property int currentIndex: 0
    property string file: ""
    property double fileSize: 0
    property var fileInfo: ({})
    property var existingFolder
    property var uploadType
    property bool is_multipart: false

    signal progress(var uploaded, var total)
    signal finished(var data)

    UploaderIO {
        id: io
        onFileUploaded: root.uploaded(success, result)
        onUploadProgress: root.reportProgress(u, t)
    }

    function start() {
        try {
            if (Consts.mobile)
                file = file.replace("file://", "")
            if (io.getBucketName() !== "") {
                startProcess()
                return
            }
            if (!Sockets.connected) {
                Toast.show(Sockets.offlineMessage)
                if (root.uploadingImage)
                    root.uploadingImage.error()
                return
            }
            if (Logic.waitForCredentials(credentialsReady, Date.now())) {
                Sockets.on("aws_target_result", function (res) {
                    Sockets.off("aws_target_result")
                    Sockets.off("aws_target_result_error")
                    Logic.credentialsArrived(Logic.target(res.content))
                })
                Sockets.on("aws_target_result_error", function () {
                    Sockets.off("aws_target_result")
                    Sockets.off("aws_target_result_error")
                    Logic.credentialsArrived(null)
                })
                Sockets.send("aws_target", Logic.credentialsContent(Account.userId(), Account.agentId()))
            }
        } catch (e) {
            Toast.error(e, "start")
        }
    }

    function credentialsReady(target) {
        try {
            if (!target) {
                if (root.uploadingImage)
                    root.uploadingImage.error()
                return
            }
            if (io.getBucketName() === "") {
                io.setEndpoint(target.endpoint)
                io.setAccessKey(target.accessKeyId)
                io.setSecretKey(target.secretAccessKey)
                io.setBucketName(target.bucket)
                io.setForcePathStyle(target.forcePathStyle)
                io.makeClient()
            }
            startProcess()
        } catch (e) {
            Toast.error(e, "credentialsReady")
        }
    }

    function startProcess() {
        currentIndex = 0
        prepareFileInfo()
        io.prepare(file, Consts.fixNumbers(Logic.dateText(new Date())), is_multipart)
        if (is_multipart)
            partStep()
        else
            io.upload()
    }

    function prepareFileInfo() {
        if (Logic.shouldCompress(file)) {
            if (Consts.mobile)
                file = "file://" + io.compressImageiOS(file)
            else
                file = "file:///" + io.compressImage(file)
        }
        fileSize = io.file_size(file)
        is_multipart = Logic.isMultipart(fileSize)
        if (is_multipart)
            fileInfo = Logic.partInfo(file, fileSize, currentIndex)
    }

    function partStep() {
        var done = currentIndex * Logic.partSize
        if (root.uploadingImage)
            root.uploadingImage.refresh(done, fileSize, Logic.percent(done, fileSize))
        io.uploadMultiPart(currentIndex)
    }

    function uploaded(success, result) {
        try {
            if (success && result.ok) {
                if (is_multipart && !fileInfo.last) {
                    currentIndex += 1
                    var info = fileInfo
                    info.last = Logic.isLastPart(fileSize, currentIndex)
                    fileInfo = info
                    partStep()
                    return
                }
                if (root.uploadingImage)
                    root.uploadingImage.finishedSuccessfully()
                root.finished(result.content.file)
            } else if (success) {
                Toast.show(result.message)
                if (root.uploadingImage)
                    root.uploadingImage.error()
            } else if (root.uploadingImage) {
                root.uploadingImage.error()
            }
        } catch (e) {
            Toast.error(e, "uploaded")
        }
    }

    function reportProgress(u, t) {
        var done = currentIndex * Logic.partSize + u
        if (root.uploadingImage)
            root.uploadingImage.refresh(done, fileSize, Logic.percent(done, fileSize))
        root.progress(done, fileSize)
    }
}
