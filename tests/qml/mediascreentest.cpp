// Media, chat and post images in the running program: the picker of the file editor uploads to
// the local S3 server with the fixture agency server handing out its settings, remote pictures
// and videos come from a local HTTP server, and post images are read back from disk.
#include "media/mediatest.h"
#include "screensession.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJSValue>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QFileInfo>
#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char kLimit[] = "بیشتر از 50 عکس نمی توانید انتخاب کنید";

class MediaScreens : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        files = new QTemporaryDir;
        s3 = mediatest::startS3(files->path() + "/s3").release();
        Peer::Options options;
        options.script = "httpserver.js";
        options.extraArgs = {"--dir", (files->path() + "/web").toStdString()};
        QDir().mkpath(files->path() + "/web");
        http = new Peer(options);
        httpOk = http->start();
        for (int i = 0; i < 6; ++i) {
            QImage image(64 + i, 48, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 50, 200, 200));
            image.save(files->path() + QStringLiteral("/p%1.jpg").arg(i));
        }
        QFile::copy(files->path() + "/p0.jpg", files->path() + "/web/photo.jpg");
        mediatest::makeVideo(files->path() + "/web/clip.mp4", 160, 120, 1);
        session = new ScreenSession;
        started = session->start();
        if (started && s3) {
            const QJsonObject target{
                {"endpoint", QStringLiteral("http://127.0.0.1:%1").arg(s3->port())},
                {"credentials", QJsonObject{{"accessKeyId", "S3RVER"}, {"secretAccessKey", "S3RVER"}}},
                {"bucket", "media"},
                {"forcePathStyle", true}};
            session->command(QJsonObject{{"cmd", "aws_target"}, {"target", target}});
        }
    }
    static void TearDownTestSuite()
    {
        delete session;
        delete http;
        delete s3;
        delete files;
    }
    void SetUp() override
    {
        ASSERT_TRUE(started) << session->error();
        ASSERT_NE(s3, nullptr);
        ASSERT_TRUE(httpOk);
        mark = session->warningMark();
    }
    void TearDown() override
    {
        QStringList found;
        for (const QString &w : session->warningsSince(mark))
            if (!w.contains(expected))
                found << w;
        EXPECT_TRUE(found.isEmpty()) << found.join("\n").toStdString();
        session->home();
    }

    ScreenSession &s() { return *session; }
    QString photo(int i) const { return files->path() + QStringLiteral("/p%1.jpg").arg(i); }
    QString web(const QString &name) const { return QStringLiteral("http://127.0.0.1:%1/files/%2").arg(http->port()).arg(name); }

    QVariant call(QQuickItem *item, const char *method, const QVariant &arg = QVariant())
    {
        QVariant result;
        EXPECT_TRUE(QMetaObject::invokeMethod(item, method, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, arg)))
            << method;
        return result;
    }
    // Code run with the item as its scope (its properties and functions by name).
    QVariant evalOn(QQuickItem *item, const QString &code)
    {
        QQmlExpression expression(qmlContext(item), item, code);
        const QVariant value = expression.evaluate();
        EXPECT_FALSE(expression.hasError()) << expression.error().toString().toStdString();
        return value;
    }
    QJsonArray items(QQuickItem *picker)
    {
        QVariant result;
        QMetaObject::invokeMethod(picker, "list", Q_RETURN_ARG(QVariant, result));
        if (result.userType() == qMetaTypeId<QJSValue>())
            result = result.value<QJSValue>().toVariant();
        return QJsonDocument::fromVariant(result).array();
    }
    // A component made in the window, found by its objectName.
    QQuickItem *make(const QString &qml, const QString &name)
    {
        s().eval(QStringLiteral("Qt.createQmlObject('import QtQuick 2.15; import com 1.0; import com.chat 1.0; %1', "
                                "Consts.window.contentItem)").arg(qml));
        return s().find(name);
    }
    // Where the local store serves an uploaded object: the reported name lacks the bucket.
    QString objectUrl(const QString &name) const
    {
        const QString endpoint = QStringLiteral("http://127.0.0.1:%1").arg(s3->port());
        QString url = name;
        return url.replace(endpoint + "/", endpoint + "/media/");
    }
    int httpRequests(const QString &name)
    {
        int n = 0;
        for (const auto &line : http->all("request"))
            n += QString::fromStdString(field(*line, "url")).endsWith(name) ? 1 : 0;
        return n;
    }

    static QTemporaryDir *files;
    static Peer *s3;
    static Peer *http;
    static bool httpOk;
    static ScreenSession *session;
    static bool started;
    std::size_t mark = 0;
    // A warning the test provokes on purpose.
    QString expected = QStringLiteral("\x01");
};

QTemporaryDir *MediaScreens::files = nullptr;
Peer *MediaScreens::s3 = nullptr;
Peer *MediaScreens::http = nullptr;
bool MediaScreens::httpOk = false;
ScreenSession *MediaScreens::session = nullptr;
bool MediaScreens::started = false;

// The picker inside the file editor: a refused upload, the limit, the walk, the main image and
// both kinds of removal.
TEST_F(MediaScreens, PickerUploadsSwapsAndRemoves)
{
    const QString fileId = s().eval("Account.userId() + '-f0'").toString();
    s().eval(QStringLiteral("Templates.initial('generals/StackContent.qml', {}).open('file', {'file': Database.getFile('%1')})")
                 .arg(fileId));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("media") != nullptr; }));
    QQuickItem *picker = s().find("media");
    QJsonArray list = items(picker);
    ASSERT_EQ(list.size(), 1);
    const QString stored = list[0].toObject().value("server_path").toString();
    EXPECT_TRUE(stored.startsWith("http://127.0.0.1:9/"));

    // The server refuses the store's settings: the walk stops, the item waits for a retry, and
    // the form is free again.
    s().fail("aws_target", "null");
    EXPECT_EQ(call(picker, "addPaths", QStringList{photo(0)}).toInt(), 1);
    ASSERT_TRUE(s().waitUntil([&] { return !picker->property("busy").toBool(); }));
    list = items(picker);
    ASSERT_EQ(list.size(), 2);
    EXPECT_FALSE(list[1].toObject().value("uploaded").toBool());
    // Retried, it goes up.
    QMetaObject::invokeMethod(picker, "upload");
    ASSERT_TRUE(s().waitUntil([&] { return items(picker)[1].toObject().value("uploaded").toBool(); }, 20000));
    EXPECT_FALSE(picker->property("busy").toBool());
    const QString fresh = items(picker)[1].toObject().value("server_path").toString();
    EXPECT_TRUE(fresh.contains("/temp/")) << fresh.toStdString();
    int status = 0;
    mediatest::httpGet(objectUrl(fresh), &status);
    EXPECT_EQ(status, 200);

    // 48 listed, 5 picked: 2 go in, the toast tells why, and both go up one after another.
    evalOn(picker, "for (var i = 0; i < 46; ++i) model.append({'imageSource': '', 'uploaded': true, "
                   "'server_path': 'http://127.0.0.1:1/temp/d' + i + '.jpg'})");
    ASSERT_EQ(picker->property("count").toInt(), 48);
    EXPECT_EQ(call(picker, "addPaths", QStringList{photo(1), photo(2), photo(3), photo(4), photo(5)}).toInt(), 2);
    EXPECT_NE(s().findText(kLimit), nullptr);
    EXPECT_EQ(picker->property("count").toInt(), 50);
    // A further pick is refused whole.
    EXPECT_EQ(call(picker, "addPaths", QStringList{photo(1)}).toInt(), 0);
    // The editor waits for the walk before it saves.
    QQuickItem *editor = s().find("fileEditor");
    ASSERT_NE(editor, nullptr);
    const std::size_t beforeSave = s().mark();
    ASSERT_TRUE(picker->property("busy").toBool());
    QMetaObject::invokeMethod(editor, "save");
    EXPECT_NE(s().findText("لطفا تا پایان بارگذاری رسانه ها صبر کنید"), nullptr);
    // An item removed while the walk runs shifts the others; each upload still lands on its own.
    QMetaObject::invokeMethod(picker, "removeAt", Q_ARG(QVariant, 10));
    ASSERT_TRUE(s().waitUntil([&] { return !picker->property("busy").toBool(); }, 30000));
    list = items(picker);
    ASSERT_EQ(list.size(), 49);
    EXPECT_TRUE(list[47].toObject().value("imageSource").toString().endsWith("p1.jpg"));
    EXPECT_TRUE(list[48].toObject().value("imageSource").toString().endsWith("p2.jpg"));
    EXPECT_TRUE(list[47].toObject().value("server_path").toString().contains("/temp/"));
    EXPECT_TRUE(list[48].toObject().value("server_path").toString().contains("/temp/"));
    // Each stored object is that item's own picture (p1 is 65 pixels wide, p2 66).
    for (int i : {47, 48}) {
        int got = 0;
        const QImage object = QImage::fromData(mediatest::httpGet(objectUrl(list[i].toObject().value("server_path").toString()), &got));
        EXPECT_EQ(got, 200);
        EXPECT_EQ(object.width(), 65 + (i - 47)) << i;
    }
    EXPECT_EQ(editor->property("mediaLinks").toList().size(), 49);
    EXPECT_TRUE(s().requests("property_edit", beforeSave).empty());

    // The third becomes the main image after the question.
    const QJsonArray before = items(picker);
    QMetaObject::invokeMethod(picker, "askMain", Q_ARG(QVariant, 2));
    ASSERT_TRUE(s().waitUntil([&] { return s().findText("تصویر اصلی") != nullptr; }));
    ASSERT_TRUE(s().clickText("بله"));
    list = items(picker);
    EXPECT_EQ(list[0], before[2]);
    EXPECT_EQ(list[2], before[0]);

    // A fresh upload leaves without a request; the stored image is removed on the server and
    // then in the store.
    std::size_t from = s().mark();
    const int freshIndex = 1;
    ASSERT_TRUE(items(picker)[freshIndex].toObject().value("server_path").toString().contains("temp"));
    QMetaObject::invokeMethod(picker, "removeAt", Q_ARG(QVariant, freshIndex));
    EXPECT_EQ(picker->property("count").toInt(), 48);
    const int storedIndex = 1;  // the old first item moved to the third place, now the second
    ASSERT_EQ(items(picker)[storedIndex].toObject().value("server_path").toString(), stored);
    QMetaObject::invokeMethod(picker, "removeAt", Q_ARG(QVariant, storedIndex));
    const QJsonObject removal = s().waitRequest("media_link_remove", from).value("content").toObject();
    EXPECT_EQ(removal.value("media_link").toString(), stored);
    EXPECT_EQ(removal.value("property").toObject().value("file_id").toString(), fileId);
    EXPECT_EQ(s().requests("media_link_remove", from).size(), 1u);
    ASSERT_TRUE(s().waitUntil([&] { return picker->property("count").toInt() == 47; }));
    EXPECT_EQ(s().eval(QStringLiteral("Database.getFile('%1').media_links.length").arg(fileId)).toInt(), 0);
}

// Remote pictures and videos through their own downloaders and the cache.
TEST_F(MediaScreens, RemoteImageAndVideo)
{
    QQuickItem *image = make(QStringLiteral("UImage2 { objectName: \"probe_image\"; width: 80; height: 80; source: \"%1\" }")
                                 .arg(web("photo.jpg")), "probe_image");
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(s().waitUntil([&] { return image->property("shownSource").toString().startsWith("file://"); }));
    EXPECT_FALSE(image->property("broken").toBool());
    EXPECT_EQ(httpRequests("/photo.jpg"), 1);
    // A second picture of the same address comes from the cache.
    QQuickItem *again = make(QStringLiteral("UImage2 { objectName: \"probe_again\"; width: 80; height: 80; source: \"%1\" }")
                                 .arg(web("photo.jpg")), "probe_again");
    ASSERT_TRUE(s().waitUntil([&] { return again->property("shownSource").toString().startsWith("file://"); }));
    EXPECT_EQ(httpRequests("/photo.jpg"), 1);
    // A missing one shows the broken picture.
    QQuickItem *missing = make(QStringLiteral("UImage2 { objectName: \"probe_missing\"; width: 80; height: 80; source: \"%1\" }")
                                   .arg(web("none.jpg")), "probe_missing");
    ASSERT_TRUE(s().waitUntil([&] { return missing->property("broken").toBool(); }));
    EXPECT_TRUE(missing->property("shownSource").toString().isEmpty());

    // The video plays from the cache; a spoiled cached copy is fetched again with force. Loaded
    // (3) or refused: the player is past Loading (2) either way.
    const auto settled = [](QQuickItem *item) {
        QObject *player = item->property("player").value<QObject *>();
        return item->property("broken").toBool() || (player && player->property("status").toInt() == 3);
    };
    QQuickItem *video = make(QStringLiteral("UVideo { objectName: \"probe_video\"; width: 160; height: 120; hideAfter: 300; source: \"%1\" }")
                                 .arg(web("clip.mp4")), "probe_video");
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(s().waitUntil([&] { return settled(video); }, 60000));
    ASSERT_FALSE(video->property("broken").toBool());
    EXPECT_EQ(httpRequests("/clip.mp4"), 1);
    EXPECT_TRUE(s().waitUntil([&] { return !video->property("footerShown").toBool(); }, 60000));
    const QString cached = QUrl(video->property("player").value<QObject *>()->property("source").toUrl()).toLocalFile();
    ASSERT_FALSE(cached.isEmpty());
    // The first player goes before its copy is spoiled: alive, it could find the spoiled copy and
    // fetch it again itself, and that request would pass for the second item's.
    delete video;
    // The player reports the spoiled copy.
    expected = QStringLiteral("This appears to be a text file");
    {
        QFile f(cached);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    }
    QQuickItem *spoiled = make(QStringLiteral("UVideo { objectName: \"probe_spoiled\"; width: 160; height: 120; source: \"%1\" }")
                                   .arg(web("clip.mp4")), "probe_spoiled");
    ASSERT_TRUE(s().waitUntil([&] { return httpRequests("/clip.mp4") == 2; }, 60000));
    ASSERT_TRUE(s().waitUntil([&] { return settled(spoiled) && !spoiled->property("loading").toBool(); }, 60000));
    EXPECT_FALSE(spoiled->property("broken").toBool());
    EXPECT_GT(QFileInfo(cached).size(), 4096);
    for (QQuickItem *item : {image, again, missing, spoiled})
        item->deleteLater();

    // The viewer saves the picture into the pictures folder and says so.
    s().eval(QStringLiteral("Templates.dialog('UMediaViewer.qml', {'data': [{'isVideo': false, 'path': '%1', "
                            "'thumb': ''}], 'currentIndex': 0}, 'com').open()").arg(web("photo.jpg")));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("viewer_download") != nullptr; }));
    ASSERT_TRUE(s().click(s().find("viewer_download")));
    ASSERT_TRUE(s().waitUntil([&] { return s().findText("دریافت فایل به اتمام رسید.") != nullptr; }));
    const QString saved = s().eval("Utilities.getPicturesDirectory()").toString() + "/photo.jpg";
    EXPECT_FALSE(QImage(QDir::cleanPath(saved)).isNull()) << saved.toStdString();
}

// The conversations, one conversation's messages and its seen mark, and the empty text.
TEST_F(MediaScreens, ChatListMessagesAndSeen)
{
    std::size_t from = s().mark();
    s().eval("Templates.container('chat', {})");
    EXPECT_EQ(s().waitRequest("conversation_list", from).value("content").toObject().value("user_id").toString(),
              s().eval("Account.userId()").toString());
    ASSERT_TRUE(s().waitUntil([&] { return s().find("conversation_c2") != nullptr; }));
    ASSERT_TRUE(s().click(s().find("conversation_c1")));
    const QJsonObject asked = s().waitRequest("conversation_message_list_2", from).value("content").toObject();
    EXPECT_EQ(asked.value("conversation_id").toString(), "c1");
    EXPECT_EQ(asked.value("type").toInt(), 3);
    EXPECT_TRUE(asked.value("seen").toBool());
    const QJsonObject seen = s().waitRequest("conversation_message_seen_2", from).value("content").toObject();
    EXPECT_EQ(seen.value("conversation_ref").toString(), "c1");
    // The first message of the reply, as the server sent it.
    EXPECT_EQ(seen.value("timestamp").toDouble(), double(QDateTime(QDate(2024, 3, 12), QTime(9, 30), Qt::UTC).toMSecsSinceEpoch()));

    QQuickItem *view = nullptr;
    ASSERT_TRUE(s().waitUntil([&] { return (view = s().find("channel_view")) && view->property("messages").toList().size() == 3; }));
    const QVariantList messages = view->property("messages").toList();
    EXPECT_EQ(messages[0].toMap().value("_id").toString(), "m3");
    EXPECT_EQ(messages[2].toMap().value("_id").toString(), "m1");
    // Date lines: above m3 (two days after m2) and above the oldest, not between m2 and m1.
    EXPECT_TRUE(messages[0].toMap().value("showDate").toBool());
    EXPECT_FALSE(messages[1].toMap().value("showDate").toBool());
    EXPECT_TRUE(messages[2].toMap().value("showDate").toBool());
    // The picture message carries its address for the bubble.
    EXPECT_EQ(messages[1].toMap().value("path").toString(), "http://127.0.0.1:9/chat/photo.jpg");
    // Read now: the list no longer counts it unread.
    QVariant rows = s().find("chatList")->property("conversations");
    if (rows.canConvert<QJSValue>())
        rows = rows.value<QJSValue>().toVariant();
    ASSERT_EQ(rows.toList().size(), 2);
    EXPECT_EQ(rows.toList().at(0).toMap().value("_id").toString(), "c1");
    EXPECT_EQ(rows.toList().at(0).toMap().value("count").toInt(), 0);
    s().home();

    // An empty conversation is not marked seen.
    from = s().mark();
    s().eval("Templates.initial('chat/Channel.qml', {'conversation': {'_id': 'c2', 'count': 0}})");
    s().waitRequest("conversation_message_list_2", from);
    ASSERT_TRUE(s().until("Stacks.last().objectName === 'chatChannel' && !Stacks.last().loading"));
    s().wait(500);
    EXPECT_TRUE(s().requests("conversation_message_seen_2", from).empty());
    s().home();

    // A view that may be written refuses an empty text.
    QQuickItem *writer = make("UChatView { objectName: \"probe_chat\"; width: 500; height: 300 }", "probe_chat");
    ASSERT_NE(writer, nullptr);
    QQuickItem *send = nullptr;
    for (QQuickItem *child : writer->findChildren<QQuickItem *>())
        if (child->objectName() == "chat_send")
            send = child;
    ASSERT_NE(send, nullptr);
    ASSERT_TRUE(s().click(send));
    EXPECT_NE(s().findText("متن پیام ارسالی نباید خالی باشد"), nullptr);
    writer->deleteLater();
}

// An attachment goes to the object store and leaves as a picture message.
TEST_F(MediaScreens, AttachmentIsUploadedAndSent)
{
    QQuickItem *writer = make("UChatView { objectName: \"probe_attach\"; width: 500; height: 300; "
                              "property var last: null; onSend: last = message }", "probe_attach");
    ASSERT_NE(writer, nullptr);
    QVariant dialog;
    QMetaObject::invokeMethod(writer, "attach", Q_RETURN_ARG(QVariant, dialog), Q_ARG(QVariant, photo(2)));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("attachment_send") != nullptr; }));
    ASSERT_TRUE(s().click(s().find("attachment_send")));
    ASSERT_TRUE(s().waitUntil([&] { return !writer->property("last").isNull() && writer->property("last").isValid()
                                           && writer->property("last").toMap().contains("type"); }, 20000));
    const QVariantMap message = writer->property("last").toMap();
    EXPECT_EQ(message.value("type").toInt(), 3);
    EXPECT_EQ(message.value("user_id").toString(), s().eval("Account.get()._id").toString());
    const QStringList links = message.value("media_links").toStringList();
    ASSERT_EQ(links.size(), 1);
    int status = 0;
    mediatest::httpGet(objectUrl(links[0]), &status);
    EXPECT_EQ(status, 200);
    writer->deleteLater();
}

// Post images are written at the pattern's size, and the message tells the truth.
TEST_F(MediaScreens, PostImagesAreSavedAtTheirSize)
{
    const QString fileId = s().eval("Account.userId() + '-f1'").toString();
    for (int type : {3, 1}) {
        SCOPED_TRACE(type);
        s().eval(QStringLiteral("Templates.dialog('instagram/ImageBuilder.qml', {'file': Database.getFile('%1'), "
                                "'patternType': %2}).open()").arg(fileId).arg(type));
        ASSERT_TRUE(s().waitUntil([&] { return s().find("builder_save") != nullptr; }));
        ASSERT_TRUE(s().click(s().find("builder_save")));
        ASSERT_TRUE(s().waitUntil([&] { return s().findText("تصویر مورد نظر با موفقیت ذخیره شد") != nullptr; }));
        const QString dir = s().eval("Utilities.getPicturesDirectory()").toString();
        const QStringList saved = QDir(dir).entryList({"instagram_*.jpg"}, QDir::Files, QDir::Time);
        ASSERT_FALSE(saved.isEmpty());
        const QImage image(dir + "/" + saved.first());
        EXPECT_EQ(image.width(), 1080);
        EXPECT_EQ(image.height(), type == 1 ? 1080 : 1350);
        QFile::remove(dir + "/" + saved.first());
        s().home();
        // Each save must show its own message: the last one goes first.
        ASSERT_TRUE(s().waitUntil([&] { return s().findText("تصویر مورد نظر با موفقیت ذخیره شد") == nullptr; }));
    }

    // Where the picture cannot be written, the user is told so and not the opposite.
    const QString dir = QDir::cleanPath(s().eval("Utilities.getPicturesDirectory()").toString());
    ASSERT_TRUE(QDir(dir).removeRecursively());
    {
        QFile blocker(dir);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    s().eval(QStringLiteral("Templates.dialog('instagram/ImageBuilder.qml', {'file': Database.getFile('%1'), "
                            "'patternType': 2}).open()").arg(fileId));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("builder_save") != nullptr; }));
    ASSERT_TRUE(s().click(s().find("builder_save")));
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("ذخیره تصویر انجام نشد") != nullptr; }));
    EXPECT_EQ(s().findText("تصویر مورد نظر با موفقیت ذخیره شد"), nullptr);
    QFile::remove(dir);
}

// A new profile picture is cropped, uploaded, and its address goes with the profile.
TEST_F(MediaScreens, ProfilePictureIsCroppedAndUploaded)
{
    s().eval("Templates.initial('setting/Profile.qml', {})");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("profileChangeImage") != nullptr; }));
    QQuickItem *profile = s().item("Stacks.last()");
    ASSERT_NE(profile, nullptr);
    QVariant dialog;
    QMetaObject::invokeMethod(profile, "changeImage", Q_RETURN_ARG(QVariant, dialog), Q_ARG(QVariant, photo(3)));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("crop_accept") != nullptr; }));
    QQuickItem *crop = s().find("crop");
    ASSERT_TRUE(s().waitUntil([&] { return crop->property("imageWidth").toInt() == 67; }));
    ASSERT_TRUE(s().click(s().find("crop_accept")));
    ASSERT_TRUE(s().waitUntil([&] {
        return evalOn(profile, "form.image || ''").toString().contains("/temp/");
    }, 20000));
    const QString image = evalOn(profile, "form.image").toString();
    std::size_t from = s().mark();
    ASSERT_TRUE(s().click(s().find("profileSubmit")));
    EXPECT_EQ(s().waitRequest("account_edit", from).value("content").toObject().value("image").toString(), image);
    // The server answers with the address the store serves the picture from.
    EXPECT_TRUE(s().until("Account.getImagePath() === '" + objectUrl(image) + "'"));
    // The stored copy is the cut part: 80% of the picture's shorter side, square.
    int status = 0;
    const QImage stored = QImage::fromData(mediatest::httpGet(objectUrl(image), &status));
    EXPECT_EQ(status, 200);
    EXPECT_NEAR(stored.width(), 38, 1);
    EXPECT_NEAR(stored.height(), 38, 1);
}

} // namespace
