// Times the opening of a large register, whose structure check runs before
// any statement, against SQLite's own quick check of the same file.
//
//   bench_open [members=100000] [payments=300000]
#include "BenchRegister.h"
#include "SqliteComponent.h"
#include "SqliteFileCheck.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {
// Best and median of seven runs, in milliseconds.
void row(const char *what, const std::function<void()> &f)
{
    std::vector<double> ms;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s best %7.1f ms   median %7.1f ms\n", what, ms.front(), ms[ms.size() / 2]);
}

// f inside a read transaction of a fresh connection, as the open runs it.
void withReadTransaction(const QString &path, const std::function<void(sqlite3 *)> &f)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    f(db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
} // namespace

int main(int argc, char **argv)
{
    const int members = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int payments = argc > 2 ? std::atoi(argv[2]) : 300000;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("socivant.db3"));
    makeSqliteRegister(db, members, payments);
    std::printf("register: %d members, %d payments, %.1f MB\n", members, payments, double(QFileInfo(db).size()) / 1e6);

    row("open (lock, structure check, ready)", [&] {
        SqliteComponent c;
        c.open(db);
    });
    QString fault;
    row("structure check alone",
        [&] { withReadTransaction(db, [&](sqlite3 *h) { fault = sqliteStructureFault(h); }); });
    std::printf("  verdict: %s\n", fault.isEmpty() ? "sound" : qPrintable(fault));
    row("SQLite's PRAGMA quick_check, for comparison", [&] {
        withReadTransaction(db, [](sqlite3 *h) { sqlite3_exec(h, "PRAGMA quick_check", nullptr, nullptr, nullptr); });
    });
    return 0;
}
