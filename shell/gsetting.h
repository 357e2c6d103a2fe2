#pragma once

#include <QObject>

namespace UGENERAL {

class GSetting : public QObject
{
    Q_OBJECT
public:
    explicit GSetting(QObject *parent = nullptr);
};

} // namespace UGENERAL
