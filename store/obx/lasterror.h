#pragma once

#include "store/obx/obx.h"

#include <string>

namespace obx::internal {

// Records the calling thread's last failure and returns its code.
obx_err setLastError(obx_err code, const std::string &message);
void clearLastError();
// Records the failure and raises it.
[[noreturn]] void fail(obx_err code, const std::string &message);

} // namespace obx::internal
