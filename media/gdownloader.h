#pragma once

#include <QObject>

namespace UGENERAL {

class GDownloader : public QObject
{
    Q_OBJECT
public:
    explicit GDownloader(QObject *parent = nullptr);
};

} // namespace UGENERAL
