// Times the member list's fill of a large register on a MariaDB server
// against the mariadb client running the same query in batch mode, in one
// run. Starts a server of its own in a temporary folder (as the tests do)
// and stops it at the end.
//
//   bench_mariadb [members=100000]
#include "AppFolder.h"
#include "BenchRegister.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "Translation.h"
#include "frmAnagrafica.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>
#include <mysql.h>
#include <sys/resource.h>

namespace {
QString gSocket;

bool serverScript(const QString &command, const QString &dir)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(SOCIVANT_SERVER_SCRIPT), {command, dir});
    return p.waitForFinished(180000) && p.exitCode() == 0;
}

void run(MYSQL *m, const QByteArray &sql)
{
    if (mysql_real_query(m, sql.constData(), static_cast<unsigned long>(sql.size())) != 0) {
        std::fprintf(stderr, "server: %s\n", mysql_error(m));
        std::exit(1);
    }
    while (true) {
        if (MYSQL_RES *r = mysql_store_result(m))
            mysql_free_result(r);
        const int rc = mysql_next_result(m);
        if (rc > 0) {
            std::fprintf(stderr, "server: %s\n", mysql_error(m));
            std::exit(1);
        }
        if (rc != 0)
            break;
    }
}

QByteArray quoted(const QByteArray &t)
{
    return '\'' + QByteArray(t).replace('\'', "''") + '\'';
}

// The register of the SQLite benchmark, written with multi-row INSERTs.
void makeServerRegister(int members)
{
    MYSQL *m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(m, nullptr, "root", "", nullptr, 0, gSocket.toUtf8().constData(),
                            CLIENT_MULTI_STATEMENTS)) {
        std::fprintf(stderr, "server: %s\n", mysql_error(m));
        std::exit(1);
    }
    QFile schema(QStringLiteral(SOCIVANT_DATA_DIR "/mariadb/schema.sql"));
    schema.open(QIODevice::ReadOnly);
    run(m,
        "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES'; CREATE DATABASE soci CHARACTER SET utf8mb4 "
        "COLLATE utf8mb4_uca1400_nopad_as_ci; USE soci;");
    run(m, schema.readAll());
    QByteArray types = "INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ";
    for (size_t t = 0; t < kBenchMemberTypes.size(); ++t)
        types += (t ? "," : "") + ("(" + quoted(kBenchMemberTypes[t]) + ", '2026-01-01 00:00:00')");
    run(m, types);
    const QByteArray head =
        "INSERT INTO Anagrafica (TIPOLOGIAID, Nome, Cognome, Indirizzo, CAP, Comune, Provincia, TelefonoCasa, "
        "Cellulare, Email, NoteAnagrafica, NumeroTessera, DataNascita, DataIscrizione, "
        "DataScadenzaIscrizione, DateTimeCreated) VALUES ";
    QByteArray sql;
    for (int i = 0; i < members; ++i) {
        const BenchMember b = benchMember(i);
        QByteArray row = "(" + QByteArray::number(b.type);
        for (const QByteArray *t :
             {&b.name, &b.surname, &b.address, &b.cap, &b.city, &b.province, &b.phone, &b.mobile, &b.mail})
            row += "," + quoted(*t);
        row += "," + (b.note ? quoted(*b.note) : QByteArray("NULL"));
        for (const QByteArray *t : {&b.card, &b.born, &b.joined, &b.expires, &b.created})
            row += "," + quoted(*t);
        row += ")";
        sql += (sql.isEmpty() ? head : QByteArray(",")) + row;
        if (i % 2000 == 1999 || i == members - 1) {
            run(m, sql);
            sql.clear();
        }
    }
    mysql_close(m);
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// The mariadb client running the query in batch mode, its rows to /dev/null.
double clientMs(const QString &query)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/null"));
    p.start(QStringLiteral("mariadb"),
            {QStringLiteral("--no-defaults"), QStringLiteral("--socket=") + gSocket, QStringLiteral("-uroot"),
             QStringLiteral("--batch"), QStringLiteral("soci"), QStringLiteral("-e"), query});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "the mariadb client is needed for the comparison\n");
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SOCIVANT_MARIADB_OPTS", "--innodb-buffer-pool-size=256M");
    QApplication app(argc, argv);
    const int members = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir serverDir;
    QTemporaryDir appDir;
    const QString server = serverDir.filePath(QStringLiteral("server"));
    gSocket = server + QStringLiteral("/main.sock");
    if (!serverScript(QStringLiteral("start"), server)) {
        std::fprintf(stderr, "the MariaDB server did not start\n");
        return 1;
    }
    std::printf("register on MariaDB: %d members\n", members);
    std::printf("%-58s %10.1f ms\n", "generate the register", timeMs([&] { makeServerRegister(members); }));

    setAppFolder(appDir.path());
    QFile ini(appDir.filePath(QStringLiteral("mysqlconf.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(("Driver={MariaDB};Socket=" + gSocket + ";Database=soci;Uid=root;Pwd=;\r\n").toUtf8());
    ini.close();
    installMessageBox();
    gDbType = QStringLiteral("MySql");
    if (!OpenDb())
        return 1;
    QString query;
    dbConnection()->setObserver([&](const QString &sql) {
        if (sql.startsWith(QLatin1String("SELECT")))
            query = sql;
    });

    frmAnagrafica *list = Instance<frmAnagrafica>::get();
    list->resize(1200, 800);
    list->show();
    list->FillGrid(); // warms the server's buffer pool, as the client run below finds it
    // Medians of five runs, the client's and ours taken in turns.
    constexpr int kRuns = 5;
    std::vector<double> fills, clients;
    for (int round = 0; round < kRuns; ++round) {
        fills.push_back(timeMs([&] { list->FillGrid(); }));
        clients.push_back(clientMs(query));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double fill = median(fills);
    const double client = median(clients);
    std::printf("%-58s %10.1f ms\n", "member list FillGrid (median of 5)", fill);
    std::printf("  rows in the grid: %d\n", list->MSFlexGrid1->Rows() - 1);
    std::printf("%-58s %10.1f ms\n", "mariadb client --batch, same query, to /dev/null (median of 5)", client);
    if (client > 0)
        std::printf("  ratio FillGrid / mariadb client: %.2f (target 1.50 or less)\n", fill / client);
    std::printf("peak memory: %.1f MiB\n", double(peakKb()) / 1024.0);
    list->hide();
    Instance<frmAnagrafica>::release();
    resetDatabase();
    serverScript(QStringLiteral("stop"), server);
    return 0;
}
