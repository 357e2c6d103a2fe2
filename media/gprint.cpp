#include "media/gprint.h"

#include <QDebug>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <exception>

namespace UGENERAL {

GPrint::GPrint(QObject *parent) : QObject(parent) {}

QImage GPrint::imageOf(const QVariant &data)
{
    if (data.canConvert<QImage>())
        return data.value<QImage>();
    return QImage();
}

bool GPrint::paint(QPrinter *printer, const QImage &image, QPoint origin)
{
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    // One image pixel to one device pixel, whatever scale the grab was taken at.
    QImage pixels = image;
    pixels.setDevicePixelRatio(1);
    painter.drawImage(origin, pixels);
    // Ending the painting sends the page.
    return painter.end();
}

void GPrint::print(QVariant data)
{
    try {
        const QImage image = imageOf(data);
        if (printer_) {
            paint(printer_, image, origin());
            return;
        }
        QPrinter printer(QPrinter::ScreenResolution);
        QPrintDialog dialog(&printer);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (!paint(&printer, image, origin()))
            qDebug() << "print: the printer could not be painted on";
    } catch (const std::exception &e) {
        qDebug() << "print failed:" << e.what();
    }
}

} // namespace UGENERAL
