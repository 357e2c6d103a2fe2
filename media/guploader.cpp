#include "media/guploader.h"

namespace UGENERAL {

GUploader::GUploader(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
