#pragma once

#include <QQuickItem>
#include <QString>

namespace UGENERAL {

// The platform side of sharing: puts the text on the clipboard.
class GShareIntent : public QQuickItem
{
    Q_OBJECT
public:
    explicit GShareIntent(QQuickItem *parent = nullptr);

public Q_SLOTS:
    void share(const QString &text);

Q_SIGNALS:
    void textCopied();
};

} // namespace UGENERAL
