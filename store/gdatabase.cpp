#include "store/gdatabase.h"

namespace UGENERAL {

GDatabase::GDatabase(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
