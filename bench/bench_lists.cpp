// Times the member and payment lists on a large register against the sqlite3
// shell running the same query, and reports peak memory.
//
//   bench_lists [members=100000] [payments=300000]
#include "AppFolder.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "GridHelpers.h"
#include "Translation.h"
#include "frmAnagrafica.h"
#include "frmPagamenti.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {
long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void makeRegister(const QString &path, int members, int payments)
{
    QFile schema(QStringLiteral(SOCIVANT_DATA_DIR "/schema.sql"));
    schema.open(QIODevice::ReadOnly);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    check(sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    const char *types[] = {"Socio ordinario", "Socio sostenitore", "Contatto", "Socio onorario"};
    for (int t = 0; t < 4; ++t) {
        const QByteArray sql = QStringLiteral("INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ('%1', "
                                              "'2026-01-01 00:00:00')")
                                   .arg(QString::fromLatin1(types[t]))
                                   .toUtf8();
        check(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), db);
    }
    const char *surnames[] = {"Rossi", "Bianchi", "Verdi", "Esposito", "Romano", "Colombo", "Ricci", "Marino", "Greco",
                              "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano"};
    const char *names[] = {"Mario", "Luca", "Giulia", "Anna", "Paolo", "Sara", "Marco", "Elena"};
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Anagrafica (TIPOLOGIAID, Nome, Cognome, Indirizzo, CAP, Comune, Provincia, "
                       "TelefonoCasa, Cellulare, Email, NoteAnagrafica, NumeroTessera, DataNascita, DataIscrizione, "
                       "DataScadenzaIscrizione, DateTimeCreated) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < members; ++i) {
        const QByteArray surname = QByteArray(surnames[i % 16]) + ' ' + QByteArray::number(i);
        const QByteArray addr = "Via Garibaldi " + QByteArray::number(i % 300 + 1);
        const QByteArray cap = QByteArray::number(10000 + i % 89999);
        const QByteArray mail = QByteArray(names[i % 8]).toLower() + QByteArray::number(i) + "@example.org";
        const QByteArray card = QByteArray::number(100000 + i);
        const QByteArray born = QStringLiteral("19%1-%2-%3 00:00:00")
                                    .arg(40 + i % 60)
                                    .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                    .toUtf8();
        sqlite3_bind_int(st, 1, 1 + i % 4);
        sqlite3_bind_text(st, 2, names[i % 8], -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, surname.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, addr.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, cap.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, "Milano", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 7, "MI", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 8, "02 1234567", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 9, "333 1234567", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 10, mail.constData(), -1, SQLITE_TRANSIENT);
        if (i % 5 == 0)
            sqlite3_bind_text(st, 11, "Pagamento con bonifico, ricevuta inviata", -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(st, 11);
        sqlite3_bind_text(st, 12, card.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 13, born.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 14, "2020-01-15 00:00:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 15, "2026-12-31 00:00:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 16, "2026-01-01 10:00:00", -1, SQLITE_STATIC);
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db,
                       "INSERT INTO Pagamenti (ANAGRAFICAID, DataPagamento, Importo, Causale, NotePagamento, "
                       "DateTimeCreated) VALUES (?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < payments; ++i) {
        const QByteArray date = QStringLiteral("20%1-%2-%3 00:00:00")
                                    .arg(20 + i % 7)
                                    .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                    .toUtf8();
        sqlite3_bind_int(st, 1, 1 + i % std::max(1, members));
        sqlite3_bind_text(st, 2, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 3, 10.0 + (i % 500) * 0.25);
        sqlite3_bind_text(st, 4, "Quota associativa", -1, SQLITE_STATIC);
        sqlite3_bind_null(st, 5);
        sqlite3_bind_text(st, 6, "2026-01-01 10:00:00", -1, SQLITE_STATIC);
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// The sqlite3 shell running the same query, writing CSV to /dev/null.
double shellMs(const QString &db, const QString &query)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/null"));
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-csv"), db, query});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "the sqlite3 shell is needed for the comparison\n");
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void row(const char *what, double ms)
{
    std::printf("%-58s %10.1f ms\n", what, ms);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int members = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int payments = argc > 2 ? std::atoi(argv[2]) : 300000;
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString db = dir.filePath(QStringLiteral("socivant.db3"));
    std::printf("register: %d members, %d payments\n", members, payments);
    row("generate the database", timeMs([&] { makeRegister(db, members, payments); }));

    installMessageBox();
    gDbType = QStringLiteral("SqlLite");
    OpenDb();

    frmAnagrafica *list = Instance<frmAnagrafica>::get();
    list->resize(1200, 800);
    list->show();
    const double fill = timeMs([&] { list->FillGrid(); });
    row("member list FillGrid", fill);
    std::printf("  rows in the grid: %d\n", list->MSFlexGrid1->Rows() - 1);
    const QString memberQuery = ListWindow::withFilter(
        QStringLiteral("SELECT  a.ANAGRAFICAID, a.TIPOLOGIAID, b.Tipologia, a.cogNome as CognomeRagioneSociale, a.Nome ,  "
                       "a.Indirizzo, a.CAP, a.Comune, a.Provincia, a.TelefonoCasa, a.TelefonoUfficio,  "
                       "a.Fax, a.Cellulare, a.CFIva, a.Email, a.SitoWeb, a.NoteAnagrafica, a.NumeroTessera, "
                       "a.DataNascita, a.DataIscrizione, a.DataScadenzaIscrizione, a.DateTimeCreated as DataCreazione,  "
                       "a.DateTimeLastUpdated as DataUltimaModifica FROM Anagrafica a, TipologiaPersone b "
                       "WHERE a.TIPOLOGIAID = b.TIPOLOGIAID "),
        QString());
    const double shell = shellMs(db, memberQuery);
    row("sqlite3 shell, same query, CSV to /dev/null", shell);
    if (shell > 0)
        std::printf("  ratio FillGrid / sqlite3: %.2f (target 2.00 or less)\n", fill / shell);
    row("scroll to the last row and paint",
        timeMs([&] {
            list->MSFlexGrid1->setTopRow(list->MSFlexGrid1->Rows() - 1);
            QApplication::processEvents();
            list->MSFlexGrid1->viewport()->grab();
        }));

    gWhereAnagrafica = QStringLiteral("a.Cognome Like '%ross%'");
    row("member list refill, LIKE search", timeMs([&] { list->FillGrid(); }));
    std::printf("  rows found: %d\n", list->MSFlexGrid1->Rows() - 1);
    gWhereAnagrafica.clear();
    list->FillGrid();
    const QString csv = dir.filePath(QStringLiteral("soci.csv"));
    row("CSV export of the full member list", timeMs([&] { xMSFlexGrid_Save(*list->MSFlexGrid1, csv); }));
    std::printf("  CSV size: %lld bytes\n", QFile(csv).size());
    list->hide();
    Instance<frmAnagrafica>::release();
    QApplication::processEvents();

    frmPagamenti *pay = Instance<frmPagamenti>::get();
    pay->resize(1200, 800);
    pay->show();
    const double payFill = timeMs([&] { pay->FillGrid(); });
    row("payments list FillGrid (all members, amounts, total)", payFill);
    std::printf("  rows in the grid: %d\n", pay->MSFlexGrid1->Rows() - 1);
    const QString payQuery = QStringLiteral(
        "SELECT  a.pagamentiID,  (ifnull(b.cognome,'') || ifnull(' ','') || ifnull(b.nome,''))  as Socio, "
        "a.ANAGRAFICAID,  a.DataPagamento, a.Causale, a.Importo,  a.NotePagamento, a.DateTimeCreated as DataCreazione, "
        "a.DateTimeLastUpdated as DataUltimaModifica FROM pagamenti a, Anagrafica b "
        "WHERE a.ANAGRAFICAID = b.ANAGRAFICAID   order by a.PagamentiID ");
    const double payShell = shellMs(db, payQuery);
    row("sqlite3 shell, same payments query, CSV to /dev/null", payShell);
    if (payShell > 0)
        std::printf("  ratio FillGrid / sqlite3: %.2f (target 2.00 or less)\n", payFill / payShell);
    std::printf("peak memory: %.1f MiB\n", double(peakKb()) / 1024.0);
    return 0;
}
