#pragma once
#include "Handle.h"

struct sqlite3;
struct sqlite3_stmt;

// The owners of an SQLite connection and of a prepared statement.
struct SqliteClose {
    void operator()(sqlite3 *db) const;
};
struct SqliteFinalize {
    void operator()(sqlite3_stmt *stmt) const;
};
using SqliteHandle = Handle<sqlite3, SqliteClose>;
using SqliteStatement = Handle<sqlite3_stmt, SqliteFinalize>;
