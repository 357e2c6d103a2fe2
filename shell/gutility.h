#pragma once

#include <QObject>

namespace UGENERAL {

class GUtility : public QObject
{
    Q_OBJECT
public:
    explicit GUtility(QObject *parent = nullptr);
};

} // namespace UGENERAL
