// The screen load check and gallery: the program is started as a user starts it (splash, login,
// first download, home) against the fixture agency server, and every screen listed in the
// screens/*.json files of this folder is opened through the program's own navigation. Any QML
// warning or error fails its screen, and so does anything drawn outside the window or outside its
// dialog (screenbounds.h); a PNG of each goes to screens/<name>.png in the build folder.
//
// A list file holds an array of {"name", "open", "ready"?, "settle"?, "close"?}: "open" is QML
// code run in the window's context, "ready" a condition awaited after it (10 s), "settle" the
// milliseconds to let animations end before the picture (600 by default), "close" code run
// afterwards before the way back to the home screen.
#include "../screenbounds.h"
#include "../screensession.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QJsonArray screenLists()
{
    QJsonArray all;
    const QDir dir(QStringLiteral(SCREEN_LISTS_DIR));
    for (const QString &name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        EXPECT_TRUE(doc.isArray()) << name.toStdString() << ": " << error.errorString().toStdString();
        for (const QJsonValue &entry : doc.array())
            all.append(entry);
    }
    return all;
}

std::string joined(const QStringList &lines)
{
    return lines.join(QStringLiteral("\n")).toStdString();
}

TEST(ScreenLoad, EveryScreenOpensWithoutWarnings)
{
    ScreenSession session;
    ScreenSession::Options options;
    options.grabStart = true;
    const std::size_t start = session.warningMark();
    ASSERT_TRUE(session.start(options)) << session.error();
    EXPECT_TRUE(session.warningsSince(start).isEmpty()) << "starting:\n" << joined(session.warningsSince(start));

    for (const QJsonValue &value : screenLists()) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value("name").toString();
        SCOPED_TRACE(name.toStdString());
        const std::size_t mark = session.warningMark();
        session.eval(entry.value("open").toString());
        if (entry.contains("ready")) {
            EXPECT_TRUE(session.until(entry.value("ready").toString())) << name.toStdString() << " never got ready";
        }
        session.wait(entry.value("settle").toInt(600));
        EXPECT_FALSE(session.grab(name).isEmpty());
        const QStringList stray = strayItems(session.window());
        EXPECT_TRUE(stray.isEmpty()) << name.toStdString() << " draws outside:\n" << joined(stray);
        if (entry.contains("close"))
            session.eval(entry.value("close").toString());
        session.home();
        const QStringList found = session.warningsSince(mark);
        EXPECT_TRUE(found.isEmpty()) << name.toStdString() << ":\n" << joined(found);
    }
}

} // namespace
