#pragma once

// An LMDB cursor closed with its scope.

#include "errors.h"

#include <lmdb.h>

#include <string>

namespace obx {
namespace internal {

class Cursor
{
public:
    Cursor() = default;
    Cursor(MDB_txn *txn, MDB_dbi dbi, const std::string &what)
    {
        const int rc = mdb_cursor_open(txn, dbi, &cursor_);
        if (rc)
            raiseLmdb(rc, "Could not open a cursor on " + what);
    }
    ~Cursor()
    {
        if (cursor_)
            mdb_cursor_close(cursor_);
    }
    Cursor(Cursor &&other) noexcept : cursor_(other.cursor_) { other.cursor_ = nullptr; }
    Cursor &operator=(Cursor &&other) noexcept
    {
        std::swap(cursor_, other.cursor_);
        return *this;
    }
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;

    MDB_cursor *get() const { return cursor_; }
    int get(MDB_val &key, MDB_val &value, MDB_cursor_op op) const { return mdb_cursor_get(cursor_, &key, &value, op); }

private:
    MDB_cursor *cursor_ = nullptr;
};

} // namespace internal
} // namespace obx
