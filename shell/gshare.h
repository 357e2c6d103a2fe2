#pragma once

#include <QQuickItem>
#include <QString>

namespace UGENERAL {

class GShareIntent;

// The QML "ShareIntent" item; sharing on the desktop means copying the text.
class GShare : public QQuickItem
{
    Q_OBJECT
public:
    explicit GShare(QQuickItem *parent = nullptr);

public Q_SLOTS:
    void share(const QString &text);

private:
    GShareIntent *m_intent;
};

} // namespace UGENERAL
