// Printing one picture to a PDF printer handed to the service, read back with pdftoppm.
#include "media/gprint.h"
#include "pdfraster.h"

#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Printed {
    QImage page;
    QPoint corner; // the printable area's corner on the page, in pixels
};

Printed printThrough(UGENERAL::GPrint &service, const QVariant &data, const QString &pdf)
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A5));
    service.usePrinter(&printer);
    service.print(data);
    service.usePrinter(nullptr);
    const int dpi = printer.resolution();
    return {rasterise(pdf, dpi), printer.pageLayout().paintRectPixels(dpi).topLeft()};
}

QImage red(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

TEST(Print, ImageLiesAtItsPixelSizeFromTheMarginsPlusOffset)
{
    QTemporaryDir dir;
    UGENERAL::GPrint service;
    // A grab taken on a scaled screen is still painted one pixel to one pixel.
    QImage scaled = red(200, 100);
    scaled.setDevicePixelRatio(2);
    const Printed printed = printThrough(service, QVariant(scaled), dir.filePath("card.pdf"));
    ASSERT_FALSE(printed.page.isNull());
    const QRect box = boundsOf(printed.page, isRed);
    EXPECT_NEAR(box.left(), printed.corner.x() + 30, 1);
    EXPECT_NEAR(box.top(), printed.corner.y() + 5, 1);
    EXPECT_NEAR(box.width(), 200, 2);
    EXPECT_NEAR(box.height(), 100, 2);

    UWINDOWS::WPrint windows;
    const Printed origin = printThrough(windows, QVariant(red(50, 40)), dir.filePath("origin.pdf"));
    const QRect at = boundsOf(origin.page, isRed);
    EXPECT_NEAR(at.left(), origin.corner.x(), 1);
    EXPECT_NEAR(at.top(), origin.corner.y(), 1);
}

TEST(Print, LargerImageIsCutAtThePageEdge)
{
    QTemporaryDir dir;
    UGENERAL::GPrint service;
    const Printed printed = printThrough(service, QVariant(red(3000, 4000)), dir.filePath("big.pdf"));
    ASSERT_FALSE(printed.page.isNull());
    const QRect box = boundsOf(printed.page, isRed);
    EXPECT_NEAR(box.left(), printed.corner.x() + 30, 1);
    EXPECT_NEAR(box.top(), printed.corner.y() + 5, 1);
    EXPECT_GE(box.right(), printed.page.width() - printed.corner.x() - 2) << "runs to the printable edge";
    EXPECT_GE(box.bottom(), printed.page.height() - printed.corner.y() - 2);

    // Anything that is no image prints an empty page rather than failing.
    const Printed blank = printThrough(service, QVariant(QStringLiteral("no image")), dir.filePath("blank.pdf"));
    ASSERT_FALSE(blank.page.isNull());
    EXPECT_TRUE(boundsOf(blank.page, isInk).isNull());
}

} // namespace
