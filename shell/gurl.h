#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

namespace UGENERAL {

// Hands an incoming URL on as text.
class GUrl : public QObject
{
    Q_OBJECT
public:
    explicit GUrl(QObject *parent = nullptr);

public Q_SLOTS:
    void url_handle(const QUrl &url);

Q_SIGNALS:
    void url_incoming(const QString &path);
};

} // namespace UGENERAL
