#pragma once

#include <QObject>

namespace UGENERAL {

class GDatabase : public QObject
{
    Q_OBJECT
public:
    explicit GDatabase(QObject *parent = nullptr);
};

} // namespace UGENERAL
