#pragma once

#include <QObject>

namespace UGENERAL {

class GShare : public QObject
{
    Q_OBJECT
public:
    explicit GShare(QObject *parent = nullptr);
};

} // namespace UGENERAL
