#pragma once

#include <QObject>

namespace UGENERAL {

class GSocket : public QObject
{
    Q_OBJECT
public:
    explicit GSocket(QObject *parent = nullptr);
};

} // namespace UGENERAL
