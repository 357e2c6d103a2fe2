#pragma once

// Rasterising a printed PDF with pdftoppm, and finding what was painted on the page.

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

#include <functional>

// The first page of pdf at dpi as an image; null when pdftoppm fails.
inline QImage rasterise(const QString &pdf, int dpi)
{
    const QString stem = pdf + QStringLiteral(".page");
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                            QStringLiteral("-singlefile"), pdf, stem});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QImage();
    return QImage(stem + QStringLiteral(".png"));
}

// The smallest rectangle holding every pixel that matches.
inline QRect boundsOf(const QImage &image, const std::function<bool(QRgb)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline bool isRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

inline bool isInk(QRgb p)
{
    return qRed(p) < 200 || qGreen(p) < 200 || qBlue(p) < 200;
}
