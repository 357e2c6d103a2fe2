#pragma once

#include <QObject>

namespace UGENERAL {

class GExcel : public QObject
{
    Q_OBJECT
public:
    explicit GExcel(QObject *parent = nullptr);
};

} // namespace UGENERAL
