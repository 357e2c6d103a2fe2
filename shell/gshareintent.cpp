#include "shell/gshareintent.h"

#include <QClipboard>
#include <QGuiApplication>

namespace UGENERAL {

GShareIntent::GShareIntent(QQuickItem *parent) : QQuickItem(parent) {}

void GShareIntent::share(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
    Q_EMIT textCopied();
}

} // namespace UGENERAL
