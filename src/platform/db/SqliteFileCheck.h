#pragma once
#include <QString>

struct sqlite3;

// Checks the structure of the open database "main" as its pages lie in the
// file and reports the first damage found: the structural checks of SQLite's
// quick check (page headers, cell bounds, key order, free space, overflow
// chains, pointer maps, the columns' types in each row read), without
// decoding more of the records. Each b-tree is read from its root, depth
// first, up to a fixed number of pages, and the free-page list likewise: a
// small register is read whole, and then every page is also checked to be
// used exactly once; a large one costs the same few megabytes at any size.
// A page left unread that turns out damaged is met by the statement that
// reads it, which fails with SQLite's "database disk image is malformed"
// and writes nothing.
// The caller holds a read transaction, so the file does not change
// underneath; pages are read through SQLite's own file handle (a second
// descriptor would drop SQLite's locks when closed). A register in WAL mode
// has pages outside the file and is checked by the quick check.
// Returns an empty text when the structure is sound.
QString sqliteStructureFault(sqlite3 *db);
