#include "shell/gshare.h"

#include "shell/gshareintent.h"

namespace UGENERAL {

GShare::GShare(QQuickItem *parent) : QQuickItem(parent), m_intent(new GShareIntent(this)) {}

void GShare::share(const QString &text)
{
    m_intent->share(text);
}

} // namespace UGENERAL
