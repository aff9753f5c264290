#pragma once
#include "DbConnection.h"

#include <QString>
#include <functional>
#include <memory>

bool isSqlLite();
bool isAccess();
bool isMySql();

// Opens the database of the back-end in use once per run; later calls do
// nothing. Returns whether a connection is there. A failed open shows
// "Impossibile connettersi al database" (style 16).
bool OpenDb();
void OpenSqlLiteDb();
void OpenAccessDb();
void OpenMySqlDb();
QString getMySqlConnectionString();
bool isDbOpen();

// The one shared result set; gRsOpen fills it, CloseDb closes it.
inline std::shared_ptr<Recordset> gRs;
// gRs, held, or the run-time error a missing recordset gives. A holder keeps
// reading its rows when code it calls runs a query of its own (a setting read
// inside the loop) and gRs moves on; there is no plain reference to gRs to
// dangle.
std::shared_ptr<Recordset> rs();

// Runs a query into gRs. A failure shows the standard message and returns
// false, leaving gRs as it was.
bool gRsOpen(const QString &sql);
// Runs a statement. A failure shows the standard message; the result tells
// the caller whether the statement took effect. rowsAffected receives the
// count of changed rows when given.
bool gDbExecute(const QString &sql, int *rowsAffected = nullptr);
// The same without any message: for statements that are expected to be
// rejected (the start-up list on every start after the first).
bool gDbExecuteQuiet(const QString &sql);
// Closes gRs; nothing happens when it is closed already.
void CloseDb();

// Runs body inside one transaction: all its statements take effect, or none.
// Returns false (the transaction rolled back) when body returns false. On
// SQLite the transaction holds the write lock from its start: no other
// program changes the register until it ends.
bool inTransaction(const std::function<bool()> &body);

// The key of the row the last INSERT of this program generated: with two
// desks adding at once, each finds its own new row.
long long lastInsertedKey();

// The query that reads one row of a table inside a transaction and keeps
// other desks from changing or deleting it until the transaction ends (a row
// lock on a server; SQLite's write lock is held already).
QString lockRowQuery(const QString &table, const QString &keyColumn, long long key);

// A quoted text as a comparison's right side that compares exactly, letter
// case included, on every back-end (SQLite's "=" does so already).
QString exactText(const QString &quoted);

// Forgets the connection (tests start many runs in one process).
void resetDatabase();
// The connection of the back-end in use, or null before a successful open.
DbConnection *dbConnection();
