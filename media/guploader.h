#pragma once

#include <QObject>

namespace UGENERAL {

class GUploader : public QObject
{
    Q_OBJECT
public:
    explicit GUploader(QObject *parent = nullptr);
};

} // namespace UGENERAL
