#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QVariant>

class QPrinter;

namespace UGENERAL {

// Prints one picture (a grab of a file card) on one page: the user picks the printer in the
// system's print dialog, and the image is painted at its own pixel size.
class GPrint : public QObject
{
    Q_OBJECT
public:
    explicit GPrint(QObject *parent = nullptr);

    // The picture a print call carries: the image itself, or what converts to one, else empty.
    static QImage imageOf(const QVariant &data);
    // Paints image on one page of printer with its top-left corner at origin (device pixels from
    // the printable area's corner); false when nothing could be painted.
    static bool paint(QPrinter *printer, const QImage &image, QPoint origin);

    // A printer to use instead of asking the user (not owned; nullptr asks again).
    void usePrinter(QPrinter *printer) { printer_ = printer; }

public Q_SLOTS:
    void print(QVariant data);

protected:
    // Where the image's corner goes on the page.
    virtual QPoint origin() const { return QPoint(30, 5); }

private:
    QPrinter *printer_ = nullptr;
};

} // namespace UGENERAL

namespace UWINDOWS {

// The same service drawing from the page's origin.
class WPrint : public UGENERAL::GPrint
{
    Q_OBJECT
public:
    explicit WPrint(QObject *parent = nullptr) : UGENERAL::GPrint(parent) {}

protected:
    QPoint origin() const override { return QPoint(0, 0); }
};

} // namespace UWINDOWS
