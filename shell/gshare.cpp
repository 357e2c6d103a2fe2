#include "shell/gshare.h"

namespace UGENERAL {

GShare::GShare(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
