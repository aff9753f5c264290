#pragma once
#include <QString>

struct sqlite3;

// Walks every b-tree, overflow chain and the free-page list of the open
// database "main" as its pages lie in the file, and reports the first damage
// found: the structural checks of SQLite's quick check (page headers, cell
// bounds, key order, free space, every page used once, pointer maps),
// without decoding the records, so a large register is checked in a few
// milliseconds. The caller holds a read transaction, so the file does not
// change underneath; pages are read through SQLite's own file handle (a
// second descriptor would drop SQLite's locks when closed). A register in
// WAL mode has pages outside the file and is checked by the quick check.
// Returns an empty text when the structure is sound.
QString sqliteStructureFault(sqlite3 *db);
