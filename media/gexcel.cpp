#include "media/gexcel.h"

namespace UGENERAL {

GExcel::GExcel(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
