#include "SqliteHandle.h"

#include <sqlite3.h>

void SqliteClose::operator()(sqlite3 *db) const
{
    sqlite3_close_v2(db);
}

void SqliteFinalize::operator()(sqlite3_stmt *stmt) const
{
    sqlite3_finalize(stmt);
}
