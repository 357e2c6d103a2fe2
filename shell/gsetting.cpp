#include "shell/gsetting.h"

namespace UGENERAL {

GSetting::GSetting(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
