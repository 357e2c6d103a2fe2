#include "screenbounds.h"

#include <QQuickItem>
#include <QQuickWindow>

#include <functional>

namespace {

QString describe(QQuickItem *item)
{
    QString name = QString::fromLatin1(item->metaObject()->className());
    name = name.left(name.indexOf(QLatin1String("_QML")) > 0 ? name.indexOf(QLatin1String("_QML")) : name.size());
    if (!item->objectName().isEmpty())
        name += " \"" + item->objectName() + "\"";
    const QVariant text = item->property("text");
    if (text.isValid() && !text.toString().isEmpty())
        name += " '" + text.toString().left(40) + "'";
    for (QQuickItem *p = item->parentItem(); p; p = p->parentItem())
        if (!p->objectName().isEmpty()) {
            name += " in \"" + p->objectName() + "\"";
            break;
        }
    return name;
}

bool drawn(QQuickItem *item)
{
    return item->isVisible() && item->opacity() > 0;
}

// What an item paints: a text its laid-out text, an image its painted picture except where the
// image crops or tiles itself to its own rectangle.
QRectF paintedRect(QQuickItem *item)
{
    if (item->inherits("QQuickImage")) {
        const int fill = item->property("fillMode").toInt();
        if (fill >= 2 && fill <= 5) // crop and the tilings
            return sceneRect(item);
    }
    return item->mapRectToScene(item->boundingRect());
}

} // namespace

QRectF sceneRect(QQuickItem *item)
{
    return item ? item->mapRectToScene(QRectF(0, 0, item->width(), item->height())) : QRectF();
}

QString rectText(const QRectF &r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QRectF drawnRect(QQuickItem *item)
{
    QRectF rect = paintedRect(item);
    for (QQuickItem *p = item; p; p = p->parentItem())
        if (p->clip())
            rect &= sceneRect(p);
    return rect;
}

QStringList strayItems(QQuickWindow *window, qreal tolerance)
{
    QStringList found;
    if (!window)
        return found;
    const QRectF windowRect(0, 0, window->width(), window->height());

    // clip: what the clipping ancestors leave drawn (null: none); frame: where the item must stay.
    std::function<void(QQuickItem *, const QRectF &, const QRectF &, const QString &)> walk =
        [&](QQuickItem *item, const QRectF &clip, const QRectF &frame, const QString &frameName) {
            if (!drawn(item))
                return;
            const bool popup = item->inherits("QQuickPopupItem");
            QRectF own = paintedRect(item);
            if (!clip.isNull())
                own &= clip;
            // Only items that paint something: containers, mouse areas and controls themselves do not.
            if ((item->flags() & QQuickItem::ItemHasContents) && own.width() > 0 && own.height() > 0) {
                const QRectF &limit = popup ? windowRect : frame;
                if (!limit.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(own))
                    found << describe(item) + " " + rectText(own) + " outside " + (popup ? "the window" : frameName)
                                 + " " + rectText(limit);
            }
            QRectF childClip = clip;
            if (item->clip())
                childClip = clip.isNull() ? sceneRect(item) : (clip & sceneRect(item));
            const QRectF childFrame = popup ? sceneRect(item) : frame;
            const QString childFrameName = popup ? QStringLiteral("its dialog") : frameName;
            // An item view draws only the rows that reach into its view; the others are culled.
            QQuickItem *rows = item->inherits("QQuickItemView") && !item->clip()
                ? qvariant_cast<QQuickItem *>(item->property("contentItem")) : nullptr;
            for (QQuickItem *child : item->childItems()) {
                if (child != rows)
                    walk(child, childClip, childFrame, childFrameName);
                else if (drawn(rows))
                    for (QQuickItem *row : rows->childItems())
                        if (sceneRect(row).intersects(sceneRect(item)))
                            walk(row, childClip, childFrame, childFrameName);
            }
        };
    walk(window->contentItem(), QRectF(), windowRect, QStringLiteral("the window"));
    return found;
}
