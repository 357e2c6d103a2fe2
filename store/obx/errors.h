#pragma once

// Failure reporting shared by the library: every failure goes through raise() so that the
// thread's last error always matches the exception that was thrown.

#include "obx.h"

#include <string>

namespace obx {
namespace internal {

void setLastError(int code, const std::string &message);
[[noreturn]] void raise(int code, const std::string &message);
// Maps an LMDB return code to the library's codes and raises "<what>: <LMDB's text>".
[[noreturn]] void raiseLmdb(int rc, const std::string &what);
// For the C calls: records the exception in flight as the thread's last error and returns its code.
int recordCurrentException();

} // namespace internal
} // namespace obx
