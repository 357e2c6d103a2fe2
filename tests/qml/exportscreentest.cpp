// The printed file card and the Excel export dialog in the running program, against the fixture
// agency server.
#include "media/gexcel.h"
#include "media/gprint.h"
#include "qml/screenbounds.h"
#include "qml/screensession.h"
#include "../media/pdfraster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>

#include <gtest/gtest.h>

namespace {

class ExportScreens : public ScreenSuite
{
protected:
    // An item of the dialog opened last: a closed one may still be in the tree until it is deleted.
    static QQuickItem *inDialog(const QString &name)
    {
        return session->item("(function () { var c = Templates.dialogs[Templates.dialogs.length - 1].contentItem.children;"
                             " for (var i = 0; i < c.length; ++i) if (c[i].objectName === '" + name + "') return c[i];"
                             " return null })()");
    }
};

TEST_F(ExportScreens, ArchivedRequestCardPrintsThroughTheService)
{
    ScreenSession &s = *session;
    // An archived purchase request: the live request's form and titles, five shown inputs; no rooms entered.
    s.eval("Database.saveFiles([{'_id': 'print1', 'user_ref': Account.userId(), 'trade_ref': 13, 'type': 50,"
           " 'seen': false, 'code': {'auto': 777, 'manual': 'P-777'}, 'dates': {'register': 1700000000000},"
           " 'meter': {'home': 95}, 'info': {'room': 0, 'floor_one': 2, 'build_year': 1395, 'desc': 'نورگیر'},"
           " 'price': {'price_2': 2500000000}, 'customer_ref': '" + s.list("initial_customer").at(0).toObject().value("_id").toString() + "'}])");
    ASSERT_TRUE(s.until("Database.getFile('print1').error === undefined"));
    const std::size_t mark = s.warningMark();
    const std::size_t requests = s.mark();

    // The detail names a request's customer by its word and lists the entered inputs by their hints,
    // in a column of at most 1000 px, centred, as wide as before in the window of a 1366 screen.
    s.eval("Templates.initial('files/FileDetail.qml', {'fileId': 'print1'})");
    ASSERT_TRUE(s.until("Stacks.last().objectName === 'fileDetail' && Stacks.last().file !== null"));
    const QString facts = s.eval("JSON.stringify(Stacks.last().facts())").toString();
    for (const QString &f : {"\"متقاضی\",\"v\":\"" + s.eval("Stacks.last().file.customer.name_family").toString(),
                             QString("\"طبقه\",\"v\":\"2\""), QString("\"حداکثر سال ساخت\",\"v\":\"1395\"")})
        EXPECT_TRUE(facts.contains(f)) << f.toStdString() << " in " << facts.toStdString();
    EXPECT_FALSE(facts.contains("مالک") || facts.contains("تعداد اتاق") || facts.contains("\"v\":\"0\"")) << facts.toStdString();
    QQuickItem *body = s.findTop("detailBody");
    for (const int window : {1920, 956}) {
        s.window()->resize(window, 800);
        ASSERT_TRUE(s.drawn());
        EXPECT_EQ(body->width(), window == 1920 ? 1000 : window - 24);
        EXPECT_NEAR(sceneRect(body).center().x(), window / 2.0, 1.0);
    }
    s.window()->resize(1280, 800);
    s.home();

    s.eval("var d = Templates.dialog('files/FileDetailPrintDialog.qml', {'file': {'_id': 'print1'}, 'property_ref': 50});"
           " d.objectName = 'printDialog'; d.open()");
    ASSERT_TRUE(s.until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].card.file !== null"));
    const QString card = QStringLiteral("Templates.dialogs[Templates.dialogs.length - 1].card");

    EXPECT_EQ(s.eval(card + ".file.trade_name").toString(), "بایگانی متقاضی خرید");
    const QString rows = s.eval("JSON.stringify(" + card + ".rows)").toString();
    EXPECT_TRUE(rows.contains("حداکثر سال ساخت")) << rows.toStdString() << ": the request's titles";
    EXPECT_TRUE(rows.contains("سقف مبلغ خرید"));
    EXPECT_TRUE(rows.contains("2,500,000,000"));
    EXPECT_EQ(s.eval(card + ".rows.length").toInt(), 3);
    EXPECT_EQ(s.eval(card + ".rows[2][1].title").toString(), "") << "an odd count leaves one empty cell";
    EXPECT_EQ(s.eval(card + ".rows[0][1].title + '=' + " + card + ".rows[0][1].value").toString(), "تعداد اتاق=");
    EXPECT_NE(s.eval(card + ".rows[2][0].title").toString(), "");
    const QJsonObject seen = s.waitRequest("property_seen", requests);
    EXPECT_EQ(seen.value("content").toObject().value("code").toArray(), QJsonArray{777});

    // Grabbing the card works here (offscreen, software): the picture has the content's size.
    s.wait(300);
    QQuickItem *content = s.find("printContent");
    ASSERT_NE(content, nullptr);
    QSharedPointer<QQuickItemGrabResult> grab = content->grabToImage();
    ASSERT_FALSE(grab.isNull());
    bool grabbed = false;
    QObject::connect(grab.data(), &QQuickItemGrabResult::ready, [&] { grabbed = true; });
    ASSERT_TRUE(s.waitUntil([&] { return grabbed; }));
    const int width = grab->image().width();
    const int height = grab->image().height();
    EXPECT_EQ(width, qRound(content->width()));
    EXPECT_GT(height, 100);
    const QImage grabbedImage = grab->image();
    EXPECT_FALSE(boundsOf(grabbedImage, [](QRgb p) { return qAlpha(p) > 0 && isInk(p); }).isNull()) << "not blank";

    // The printer button hands the picture to the service, here with a PDF printer.
    auto *service = qobject_cast<UGENERAL::GPrint *>(s.eval("Print").value<QObject *>());
    ASSERT_NE(service, nullptr);
    const QString pdf = s.tempPath() + "/card.pdf";
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    service->usePrinter(&printer);
    ASSERT_TRUE(s.click(s.find("printButton")));
    EXPECT_TRUE(s.waitUntil([&] { return QFile(pdf).size() > 0; }));
    service->usePrinter(nullptr);
    s.wait(200);
    const int dpi = printer.resolution();
    const QImage page = rasterise(pdf, dpi);
    ASSERT_FALSE(page.isNull());
    const QPoint corner = printer.pageLayout().paintRectPixels(dpi).topLeft();
    const QRect ink = boundsOf(page, isInk);
    ASSERT_FALSE(ink.isNull()) << "the card was printed";
    const QRect picture(corner + QPoint(30, 5), QSize(width, height));
    EXPECT_TRUE(picture.adjusted(-1, -1, 1, 1).contains(ink))
        << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.width(), width / 2);
    EXPECT_TRUE(s.warningsSince(mark).isEmpty()) << s.warningsSince(mark).join("\n").toStdString();
    s.grab("file_print_archived_request");
}

TEST_F(ExportScreens, ExportDialogWritesTheWorkbookAndHoldsPushesMeanwhile)
{
    ScreenSession &s = *session;
    const std::size_t mark = s.warningMark();
    s.eval("var d = Templates.dialog('setting/dialogs/ExcelExportDialog.qml', {}); d.open()");
    ASSERT_TRUE(s.until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].opened"));
    QQuickItem *contacts = inDialog("excelContactsButton");
    ASSERT_NE(contacts, nullptr);
    EXPECT_TRUE(contacts->isVisible()) << "the manager sees the phone book button";

    // An update ending while the export runs (through its own ending) leaves the export's hold. All
    // in one evaluation: the export's answer cannot arrive in between.
    const QString during = s.eval(
        "var d = Templates.dialogs[Templates.dialogs.length - 1]; d.start(false);"
        " var seen = [Consts.isHeld('export')]; Consts.hold('update'); Updates.finish();"
        " Sockets.handleReply('test_notify', JSON.stringify({'type': 'create', 'data': {}}));"
        " seen.push(Consts.initial_busy, Consts.pending_notifies.length); JSON.stringify(seen)").toString();
    EXPECT_EQ(during, "[true,true,1]") << "the notice waits for the export";

    ASSERT_TRUE(s.until("!Consts.initial_busy", 60000));
    EXPECT_EQ(s.eval("Consts.pending_notifies.length").toInt(), 0) << "held notices are applied after the export";
    QQuickItem *open = inDialog("excelOpenButton");
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->isVisible());
    const QString path = s.eval("Templates.dialogs[Templates.dialogs.length - 1].path").toString();
    EXPECT_TRUE(path.startsWith(s.tempPath())) << path.toStdString() << ": HOME is the session's";
    EXPECT_TRUE(QFile::exists(path));
    s.grab("excel_export_done");
    // This platform has no program for workbooks: the dialog says so, and where the file lies.
    ASSERT_TRUE(s.click(open));
    EXPECT_TRUE(s.eval("Templates.dialogs[Templates.dialogs.length - 1].message").toString().contains(path)) << "where the file lies";

    // Closing the dialog while it exports cancels the export and lets the pushes in at once.
    s.eval("Templates.dialogs[Templates.dialogs.length - 1].close()");
    s.eval("var d = Templates.dialog('setting/dialogs/ExcelExportDialog.qml', {}); d.open()");
    ASSERT_TRUE(s.until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].opened"));
    EXPECT_EQ(s.eval("var d = Templates.dialogs[Templates.dialogs.length - 1]; d.start(false); d.close();"
                     " JSON.stringify([Consts.initial_busy, Consts.holds.length])").toString(), "[false,0]");
    auto *excel = qobject_cast<UGENERAL::GExcel *>(s.eval("Excel").value<QObject *>());
    ASSERT_NE(excel, nullptr);
    excel->waitForExport();
    EXPECT_TRUE(excel->sheetNames().isEmpty()) << "the cancelled export left nothing behind";

    // A save that fails (the export folder is a file now): the message, the buttons back, and the
    // pushes let in.
    const QString folder = QFileInfo(path).absolutePath();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    s.eval("var d = Templates.dialog('setting/dialogs/ExcelExportDialog.qml', {}); d.open()");
    ASSERT_TRUE(s.until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].opened"));
    s.wait(300); // laid out before the click
    ASSERT_TRUE(s.click(inDialog("excelFilesButton")));
    ASSERT_TRUE(s.until("!Consts.initial_busy && Templates.dialogs[Templates.dialogs.length - 1].phase === 'choose'", 60000));
    EXPECT_TRUE(inDialog("excelFilesButton")->isVisible());
    EXPECT_EQ(s.eval("Templates.dialogs[Templates.dialogs.length - 1].message").toString(), UGENERAL::GExcel::kSaveFailed);
    s.grab("excel_export_failed");
    EXPECT_TRUE(s.warningsSince(mark).isEmpty()) << s.warningsSince(mark).join("\n").toStdString();
}

} // namespace
