#include "shell/gutility.h"

namespace UGENERAL {

GUtility::GUtility(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
