#pragma once

#include <QRectF>
#include <QStringList>

class QQuickItem;
class QQuickWindow;

// Items drawn where the user cannot see them whole: a visible item (a text by the extent of its
// laid-out text) that reaches outside the window, or outside the dialog, menu or drawer it
// belongs to, where no ancestor clips it. Rows of a list scrolled out of the list's view are not
// drawn and do not count. Each entry names the item and both rectangles.
QStringList strayItems(QQuickWindow *window, qreal tolerance = 1.0);

// The rectangle an item covers on the window (a text: its laid-out text), cut by the clipping
// ancestors; empty when nothing of it is drawn.
QRectF drawnRect(QQuickItem *item);

// The item's own rectangle on the window, and a rectangle as text.
QRectF sceneRect(QQuickItem *item);
QString rectText(const QRectF &r);
