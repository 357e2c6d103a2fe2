#include "media/gdownloader.h"

namespace UGENERAL {

GDownloader::GDownloader(QObject *parent) : QObject(parent) {}

} // namespace UGENERAL
