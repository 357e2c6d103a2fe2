#include "store/obx/lasterror.h"

namespace obx {

namespace {

thread_local obx_err lastCode = OBX_SUCCESS;
thread_local std::string lastMessage;

} // namespace

namespace internal {

obx_err setLastError(obx_err code, const std::string &message)
{
    lastCode = code;
    lastMessage = message;
    return code;
}

void clearLastError()
{
    lastCode = OBX_SUCCESS;
    lastMessage.clear();
}

void fail(obx_err code, const std::string &message)
{
    setLastError(code, message);
    throw DbException(message, code);
}

} // namespace internal

void throwLastError()
{
    throw DbException(lastMessage.empty() ? std::string("Unknown store error") : lastMessage, lastCode);
}

void throwLastError(const std::string &prefix)
{
    throw DbException(prefix + ": " + lastMessage, lastCode);
}

} // namespace obx

obx_err obx_last_error_code()
{
    return obx::lastCode;
}

const char *obx_last_error_message()
{
    return obx::lastMessage.c_str();
}
