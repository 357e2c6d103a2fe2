#include "shell/gurl.h"

namespace UGENERAL {

GUrl::GUrl(QObject *parent) : QObject(parent) {}

void GUrl::url_handle(const QUrl &url)
{
    Q_EMIT url_incoming(url.toString());
}

} // namespace UGENERAL
