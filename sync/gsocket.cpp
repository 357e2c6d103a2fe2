#include "sync/gsocket.h"

namespace UGENERAL {

GSocket::GSocket(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
