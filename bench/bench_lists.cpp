// Times the member and payment lists on a large register against the sqlite3
// shell running the same query, and reports peak memory.
//
//   bench_lists [members=100000] [payments=300000]
#include "AppFolder.h"
#include "BenchRegister.h"
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
#include <sys/resource.h>

namespace {
long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
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
    row("generate the database", timeMs([&] { makeSqliteRegister(db, members, payments); }));

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
