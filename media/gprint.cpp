#include "media/gprint.h"

namespace UGENERAL {

GPrint::GPrint(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
