#pragma once

#include <QObject>

namespace UGENERAL {

class GPrint : public QObject
{
    Q_OBJECT
public:
    explicit GPrint(QObject *parent = nullptr);
};

} // namespace UGENERAL
