#include "errors.h"

#include <lmdb.h>

#include <new>

namespace {

thread_local int lastCode = OBX_SUCCESS;
thread_local std::string lastMessage;

int codeForLmdb(int rc)
{
    switch (rc) {
    case MDB_MAP_FULL:
        return OBX_ERROR_DB_FULL;
    case MDB_READERS_FULL:
        return OBX_ERROR_MAX_READERS_EXCEEDED;
    case MDB_CORRUPTED:
    case MDB_PAGE_NOTFOUND:
    case MDB_INVALID:
    case MDB_VERSION_MISMATCH:
        return OBX_ERROR_FILE_CORRUPT;
    case MDB_NOTFOUND:
        return OBX_NOT_FOUND;
    default:
        return OBX_ERROR_STORAGE_GENERAL;
    }
}

} // namespace

obx_err obx_last_error_code()
{
    return lastCode;
}

const char *obx_last_error_message()
{
    return lastMessage.c_str();
}

namespace obx {

void throwLastError()
{
    throw DbException(lastMessage, lastCode);
}

void throwLastError(const std::string &prefix)
{
    throw DbException(prefix + ": " + lastMessage, lastCode);
}

namespace internal {

void setLastError(int code, const std::string &message)
{
    lastCode = code;
    lastMessage = message;
}

void raise(int code, const std::string &message)
{
    setLastError(code, message);
    throw DbException(message, code);
}

void raiseLmdb(int rc, const std::string &what)
{
    raise(codeForLmdb(rc), what + ": " + mdb_strerror(rc));
}

int recordCurrentException()
{
    try {
        throw;
    } catch (const DbException &e) {
        setLastError(e.code(), e.what());
        return e.code();
    } catch (const std::bad_alloc &) {
        setLastError(OBX_ERROR_STORAGE_GENERAL, "Out of memory");
        return OBX_ERROR_STORAGE_GENERAL;
    } catch (const std::exception &e) {
        setLastError(OBX_ERROR_STORAGE_GENERAL, e.what());
        return OBX_ERROR_STORAGE_GENERAL;
    }
}

} // namespace internal
} // namespace obx
