// Writes the placeholder images that the screens name but no package supplies.
// Usage: placeholders OUTDIR NAME...; each NAME (for example img_wall_05.jpg) is drawn after its kind
// and number, so every wallpaper, shelf and sign is told apart at a glance.
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <cstdio>

namespace {

int numberIn(const QString &name)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(\\d+)")).match(name);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QImage wallpaper(int n)
{
    QImage image(1280, 800, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 1280, 800);
    g.setColorAt(0, QColor::fromHsv((n * 37) % 360, 90, 235));
    g.setColorAt(1, QColor::fromHsv((n * 37 + 40) % 360, 160, 120));
    p.fillRect(image.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    for (int i = 0; i <= n % 7 + 2; ++i)
        p.drawEllipse(QPointF(160 + i * 150, 200 + (i % 3) * 180), 90 + i * 10, 90 + i * 10);
    return image;
}

QImage shelf(int n)
{
    QImage image(300, 200, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor wood = QColor::fromHsv((20 + n * 31) % 360, 120, 170);
    p.setPen(QPen(wood.darker(160), 4));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(6, 6, 288, 188), 10, 10);
    p.setPen(QPen(wood.darker(130), 3));
    for (int y = 56; y < 190; y += 50)
        p.drawLine(12, y, 288, y);
    return image;
}

QImage sign(int n)
{
    QImage image(200, 80, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = QColor::fromHsv((n * 51) % 360, 170, 200);
    p.setPen(QPen(c.darker(150), 3));
    p.setBrush(c);
    p.drawRoundedRect(QRectF(4, 14, 192, 62), 12, 12);
    p.drawLine(70, 14, 100, 2);
    p.drawLine(130, 14, 100, 2);
    return image;
}

// The preview of a post-image pattern: pattern 1 is square, the others 4:5, each with its
// photo area and footer laid out differently.
QImage pattern(int n)
{
    const int w = 200;
    const int h = n == 1 ? 200 : 250;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0xfa, 0xfa, 0xfa));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor tint = QColor::fromHsv((n * 83) % 360, 150, 210);
    const int footer = h / 5;
    p.setBrush(QColor(0xb0, 0xbe, 0xc5));
    if (n == 3)
        p.drawRect(QRectF(0, 0, w, h - footer));
    else if (n == 4)
        p.drawRect(QRectF(w / 2, 0, w / 2, h - footer));
    else
        p.drawRect(QRectF(12, 12, w - 24, h - footer - 24));
    p.setBrush(tint);
    p.drawRect(QRectF(0, h - footer, w, footer));
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(w - 90, h - footer + 8 + i * (footer - 12) / 3, 78, 5), 2, 2);
    return image;
}

QImage logo()
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x96, 0xF3));
    p.drawEllipse(QRectF(8, 8, 240, 240));
    QPainterPath house;
    house.moveTo(128, 56);
    house.lineTo(200, 120);
    house.lineTo(180, 120);
    house.lineTo(180, 196);
    house.lineTo(76, 196);
    house.lineTo(76, 120);
    house.lineTo(56, 120);
    house.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(house);
    p.setBrush(QColor(0x0d, 0x47, 0xa1));
    p.drawRect(QRectF(112, 146, 32, 50));
    return image;
}

QImage draw(const QString &name)
{
    const int n = numberIn(name);
    if (name.startsWith(QLatin1String("img_wall_")))
        return wallpaper(n);
    if (name.startsWith(QLatin1String("img_shelves")))
        return shelf(n);
    if (name.startsWith(QLatin1String("img_sign_")))
        return sign(n);
    if (name.startsWith(QLatin1String("img_pattern_")))
        return pattern(n);
    return logo();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: placeholders OUTDIR NAME...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "placeholders: cannot make %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        const QString path = out.filePath(name);
        const char *format = name.endsWith(QLatin1String(".jpg")) ? "JPG" : "PNG";
        if (!draw(name).save(path, format)) {
            std::fprintf(stderr, "placeholders: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
