// The lists, their printouts and exports on large registers, each timed
// beside a floor measured in the same run: the sqlite3 shell running the
// same query, a plain C-API loop stepping the same rows, an in-memory sort of
// the same column, a direct QPainter paging of the same cells. Every query is
// the one the window ran (read back from the connection), never a copy.
//
//   bench_lists [--sizes 10000,100000] [--million] [--runs 5] [--print-max N]
//               [--no-print] [--only startup,open,search,sort,csv,print,payments]
//   bench_lists --make-register MEMBERS PATH   a register to try by hand
//   bench_lists --pages DIR   the printed member list of 200 members and a
//                             member's record sheet as PNG pages, to look at
//   bench_lists --layout MEMBERS [HTML]   the printed member list's pages,
//                             type size and columns (its document to HTML)
//
// Each size is a register of that many members with 3 payments each.
// Figures are medians of --runs runs; peak memory is that of a process that
// opens one list and nothing else.
#include "AppFolder.h"
#include "BenchRegister.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Form.h"
#include "Globals.h"
#include "GridHelpers.h"
#include "People.h"
#include "PrintPages.h"
#include "PrintPreview.h"
#include "PrintPreviewDialog.h"
#include "Settings.h"
#include "SubsystemWindows.h"
#include "Translation.h"
#include "WebBrowser.h"
#include "frmAnagrafica.h"
#include "frmEditAnagrafica.h"
#include "frmMain.h"
#include "frmPagamenti.h"
#include "frmSelectAnagrafica.h"
#include "frmTipologiaPersone.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <numeric>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
int gRuns = 5;
BenchKind gKind = BenchKind::Realistic; // --ascii: the plain register
QStringList gOnly;                      // the operations to measure; all when empty

bool wanted(const char *operation)
{
    return gOnly.isEmpty() || gOnly.contains(QLatin1String(operation));
}

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// --- measuring -----------------------------------------------------------

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

double medianOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Median of gRuns runs of f; before() runs untimed ahead of each.
double medianMs(const std::function<void()> &f, const std::function<void()> &before = {})
{
    std::vector<double> ms;
    for (int i = 0; i < gRuns; ++i) {
        if (before)
            before();
        ms.push_back(timeMs(f));
    }
    return medianOf(std::move(ms));
}

long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// From here on, VmHWM counts from what is resident now.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QString dbPath;

// The sqlite3 shell running a query, its CSV written to out.
double shellMs(const QString &query, const QString &out = QStringLiteral("/dev/null"))
{
    return medianMs([&] {
        QProcess p;
        p.setStandardOutputFile(out);
        p.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-batch"), QStringLiteral("-csv"), QStringLiteral("-header"), dbPath, query});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            std::fprintf(stderr, "the sqlite3 shell is needed for the floors\n");
            std::exit(1);
        }
    });
}

// Medians of f and of a plain C-API loop stepping the rows of query and
// reading every cell, run in turn: both medians come from the same moments
// of a machine whose speed drifts, where a block of runs of one and then of
// the other could fall on a fast minute and a slow one.
std::pair<double, double> besideCapiMs(const QString &query, const std::function<void()> &f,
                                       const std::function<void()> &before)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    volatile size_t bytes = 0;
    const QByteArray sql = query.toUtf8();
    auto loop = [&] {
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), db);
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < n; ++i) {
                sqlite3_column_text(st, i);
                bytes = bytes + size_t(sqlite3_column_bytes(st, i));
            }
        }
        sqlite3_finalize(st);
    };
    std::vector<double> ours, floor;
    for (int i = 0; i < gRuns; ++i) {
        if (before)
            before();
        ours.push_back(timeMs(f));
        floor.push_back(timeMs(loop));
    }
    sqlite3_close(db);
    return {medianOf(std::move(ours)), medianOf(std::move(floor))};
}

QStringList queryPlan(const QString &query)
{
    QStringList out;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + query).toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

// --- the statements the windows run --------------------------------------

QStringList traced;
bool tracing = false;

void onStatement(const QString &sql)
{
    if (tracing)
        traced << sql;
}

// The statements f ran on the program's connection.
QStringList statementsOf(const std::function<void()> &f)
{
    traced.clear();
    tracing = true;
    f();
    tracing = false;
    return traced;
}

QString firstWith(const QStringList &statements, const QString &part)
{
    for (const QString &s : statements) {
        if (s.contains(part, Qt::CaseInsensitive))
            return s;
    }
    std::fprintf(stderr, "no statement with %s among %s\n", qPrintable(part), qPrintable(statements.join(" | ")));
    std::exit(1);
}

// --- people who answer at once ---------------------------------------------

class BenchPeople : public People {
public:
    int themedMsgBox(const QString &prompt, int style, const QString &) override
    {
        messages << prompt;
        return (style & 0x0F) == 4 ? 7 : 1; // No to every question
    }
    void plainMsgBox(const QString &text) override { messages << text; }
    QString themedInputBox(const QString &, const QString &, const QString &) override { return QString(); }
    QString saveFileDialog(const QString &) override { return savePath; }
    void printPreview(WebBrowser &web) override
    {
        if (!htmlPath.isEmpty()) {
            QFile f(htmlPath);
            if (f.open(QIODevice::WriteOnly))
                f.write(web.documentUtf8());
        }
        if (layoutOnly) {
            showLayout(web.documentText());
            return;
        }
        if (!pngPrefix.isEmpty()) {
            savePages(web.documentText());
            return;
        }
        // As a person meets it: the window made, shown and its first page
        // painted; then, untimed there, every page laid out for the count.
        PrintPreviewDialog dlg(web.documentUtf8());
        orientation = dlg.previewPrinter().pageLayout().orientation();
        if (onlyLook)
            return;
        dlg.prepare();
        dlg.show();
        dlg.grab();
        firstPageMs = double(clickClock.nsecsElapsed()) / 1e6;
        scale = 0;
        if (printToo) {
            dlg.previewPrinter().setOutputFormat(QPrinter::PdfFormat);
            dlg.previewPrinter().setOutputFileName(pdfPath);
            dlg.printAll();
        } else {
            dlg.prepareAll();
        }
        pages = dlg.pageCount();
        dlg.hide();
    }
    QString associatedBrowser(const QString &) override { return QString(); }
    bool openUrl(const QString &) override { return false; }
    void runModal(Form &) override {}

    // The pages as the printer of the preview would print them, as images.
    void savePages(const QString &html)
    {
        PrintPreviewDialog dlg(html);
        const QPageLayout layout = dlg.previewPrinter().pageLayout();
        constexpr int dpi = 150;
        PrintPages pages(html);
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(int(dpi / 0.0254));
        probe.setDotsPerMeterY(int(dpi / 0.0254));
        pages.layout(probe, layout.paintRectPixels(dpi).size());
        for (int i = 0; i < pages.pageCount(); ++i) {
            QImage img(layout.fullRectPixels(dpi).size(), QImage::Format_RGB32);
            img.setDotsPerMeterX(probe.dotsPerMeterX());
            img.setDotsPerMeterY(probe.dotsPerMeterY());
            img.fill(Qt::white);
            QPainter p(&img);
            p.translate(layout.paintRectPixels(dpi).topLeft());
            pages.paintPage(p, i);
            p.end();
            img.save(QStringLiteral("%1-%2.png").arg(pngPrefix).arg(i + 1, 3, 10, QLatin1Char('0')));
        }
        std::printf("%s: %d pages, shrunk to %.0f%%, %s\n", qPrintable(pngPrefix), pages.pageCount(),
                    pages.scale() * 100, layout.orientation() == QPageLayout::Landscape ? "landscape" : "portrait");
    }

    // The pages the preview's printer gets, the type's size and the columns.
    void showLayout(const QString &html)
    {
        PrintPreviewDialog dlg(html);
        QPrinter &printer = dlg.previewPrinter();
        PrintPages pages(html);
        pages.layout(printer, printer.pageLayout().paintRectPixels(printer.resolution()).size());
        std::printf("%d pages, type at %.1f%% of its size, %s\n  columns (mm):", pages.pageCount(), pages.scale() * 100,
                    printer.pageLayout().orientation() == QPageLayout::Landscape ? "landscape" : "portrait");
        for (qreal w : pages.columnWidths(0))
            std::printf(" %.1f", w * 25.4 / printer.resolution());
        std::printf("\n");
    }

    QString pngPrefix;
    QString htmlPath;
    bool layoutOnly = false;
    bool onlyLook = false;
    bool printToo = false;
    QString pdfPath = QStringLiteral("/dev/null");
    QElapsedTimer clickClock; // started at the click
    double firstPageMs = 0;
    double scale = 0;
    QStringList messages;
    QString savePath;
    int pages = 0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

BenchPeople *people0 = nullptr;

void openRegister(const QString &path)
{
    dbPath = path;
    setAppFolder(QFileInfo(path).absolutePath());
    installMessageBox();
    people0 = new BenchPeople;
    setPeople(people0);
    gDbType = QStringLiteral("SqlLite");
    OpenDb();
    AggiornaDatabase();
    dbConnection()->setObserver(onStatement);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

frmAnagrafica *memberList()
{
    frmAnagrafica *list = Instance<frmAnagrafica>::get();
    list->resize(1200, 800);
    list->show();
    return list;
}

// The member list as the menu opens it: made, loaded (filled), shown and
// painted.
frmAnagrafica *openMemberList()
{
    frmAnagrafica *list = Instance<frmAnagrafica>::get();
    list->resize(1200, 800);
    list->load();
    list->show();
    list->grab();
    return list;
}

void closeMemberList()
{
    Instance<frmAnagrafica>::get()->hide();
    Instance<frmAnagrafica>::release();
    settle();
}

// --- the floor of the printout: the same cells paged straight -----------

// The printed columns of the grid: width above 0 and not in the skip list
// the window wrote.
QList<int> printedColumns(const FlexGrid &g)
{
    QList<int> skip;
    for (int i = 1; i < gPrintSkipColumns->size() && gPrintSkipColumns->at(i) != -1; ++i)
        skip << gPrintSkipColumns->at(i);
    QList<int> cols;
    for (int c = 0; c < g.Cols(); ++c) {
        if (g.ColWidth(c) > 0 && !skip.contains(c))
            cols << c;
    }
    return cols;
}

// Header row on every page, one line per cell, the grid lines of each page.
void pageStraight(QPrinter *printer, const FlexGrid &g, const QList<int> &cols)
{
    QPainter p(printer);
    const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(gPrintFontSize);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(font);
    const QFontMetricsF fm(font, printer);
    const qreal pad = printer->resolution() * 3.0 / 96.0;
    const qreal rowH = fm.height() + 2 * pad;
    qreal total = 0;
    for (int c : cols)
        total += g.ColWidth(c);
    std::vector<qreal> x{0};
    for (int c : cols)
        x.push_back(x.back() + page.width() * g.ColWidth(c) / total);
    const int perPage = std::max(2, int(page.height() / rowH)) - 1;
    const QColor blue(0x33, 0x66, 0x99);
    const QPen line(blue, printer->resolution() / 96.0);
    for (int first = 1; first < g.Rows(); first += perPage) {
        if (first > 1)
            printer->newPage();
        const int last = std::min(g.Rows() - 1, first + perPage - 1);
        p.fillRect(QRectF(0, 0, page.width(), rowH), blue);
        p.setPen(Qt::white);
        p.setFont(bold);
        for (int k = 0; k < int(cols.size()); ++k)
            p.drawText(QPointF(x[k] + pad, pad + fm.ascent()), g.TextMatrix(0, cols[k]));
        p.setPen(Qt::black);
        p.setFont(font);
        qreal y = rowH;
        for (int r = first; r <= last; ++r, y += rowH) {
            for (int k = 0; k < int(cols.size()); ++k)
                p.drawText(QPointF(x[k] + pad, y + pad + fm.ascent()), g.TextMatrix(r, cols[k]));
        }
        p.setPen(line);
        for (qreal yy = 0; yy <= y + 0.5; yy += rowH)
            p.drawLine(QPointF(0, yy), QPointF(page.width(), yy));
        for (qreal xx : x)
            p.drawLine(QPointF(xx, 0), QPointF(xx, y));
    }
}

// --- output --------------------------------------------------------------

void figure(const char *operation, int size, const QString &ours, const QString &floor, const QString &ratio,
            const char *goal)
{
    std::printf("  %-34s %9d  %-22s %-46s %-16s %s\n", operation, size, qPrintable(ours), qPrintable(floor),
                qPrintable(ratio), goal);
    std::fflush(stdout);
}

QString ms(double v)
{
    if (v >= 10000)
        return QStringLiteral("%1 s").arg(v / 1000, 0, 'f', 1);
    return QStringLiteral("%1 ms").arg(v, 0, 'f', v < 1 ? 3 : 1);
}

QString mib(long kb)
{
    return QStringLiteral("%1 MiB").arg(double(kb) / 1024.0, 0, 'f', 1);
}

QString ratio(double a, double b)
{
    return QStringLiteral("%1x").arg(a / b, 0, 'f', 2);
}

// --- one list in a process of its own, for its peak memory ---------------

// The member list opened, closed and opened again, searched, sorted and
// exported: what the process holds after each, in KiB.
int memoryCycle(const QString &path)
{
    openRegister(path);
    openMemberList();
    settle();
    const long first = statusKb("VmRSS:");
    for (int i = 0; i < 3; ++i) {
        closeMemberList();
        openMemberList();
        settle();
    }
    const long reopened = statusKb("VmRSS:");
    for (int i = 0; i < 2; ++i) {
        frmSelectAnagrafica *search = Instance<frmSelectAnagrafica>::get();
        search->load();
        search->txtCognome->setText(QStringLiteral("ross"));
        search->cmdOK_Click();
        frmAnagrafica::gWhereAnagrafica = QString();
        frmAnagrafica *list = Instance<frmAnagrafica>::get();
        list->FillGrid();
        FlexGrid &g = *list->MSFlexGrid1;
        for (int c : {3, 5, 3})
            emit g.horizontalHeader()->sectionPressed(c);
        xMSFlexGrid_Save(g, QFileInfo(path).absolutePath() + QStringLiteral("/cycle.csv"));
        closeMemberList();
        openMemberList();
        settle();
    }
    std::printf("%ld %ld %ld %ld\n", first, reopened, statusKb("VmRSS:"), statusKb("VmHWM:"));
    return 0;
}

// The program's start as main() makes it, to its main window painted; or a
// bare window, the floor.
int startup(const QString &what, const QString &path)
{
    if (what == QLatin1String("bare")) {
        QWidget w;
        w.resize(800, 600);
        w.show();
        w.grab();
        std::printf("%ld\n", statusKb("VmHWM:"));
        return 0;
    }
    setAppFolder(QFileInfo(path).absolutePath());
    frmMain *main = startMainWindow();
    if (!main)
        return 1;
    main->Form_Activate();
    main->grab();
    std::printf("%ld\n", statusKb("VmHWM:"));
    return 0;
}

int child(const QString &what, const QString &path)
{
    if (what == QLatin1String("cycle"))
        return memoryCycle(path);
    if (what == QLatin1String("startup") || what == QLatin1String("bare"))
        return startup(what, path);
    openRegister(path);
    if (what == QLatin1String("members")) {
        openMemberList();
        settle();
    } else if (what == QLatin1String("payments")) {
        frmPagamenti *pay = Instance<frmPagamenti>::get();
        pay->resize(1200, 800);
        pay->show();
        pay->FillGrid();
        settle();
    } else if (what == QLatin1String("print")) {
        frmAnagrafica *list = memberList();
        list->FillGrid();
        settle();
        const long before = statusKb("VmRSS:");
        resetPeak();
        people0->clickClock.start();
        list->cmdPrintGrid_Click();
        settle();
        malloc_trim(0);
        std::printf("%ld %ld %ld\n", statusKb("VmHWM:"), statusKb("VmHWM:") - before, statusKb("VmRSS:") - before);
        return 0;
    } else if (what == QLatin1String("print-floor")) {
        frmAnagrafica *list = memberList();
        list->FillGrid();
        settle();
        people0->onlyLook = true; // for the skip list and the orientation
        list->cmdPrintGrid_Click();
        const long before = statusKb("VmRSS:");
        resetPeak();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(people0->orientation);
        QPrintPreviewWidget straight(&printer);
        const QList<int> cols = printedColumns(*list->MSFlexGrid1);
        QObject::connect(&straight, &QPrintPreviewWidget::paintRequested, &straight,
                         [&](QPrinter *pr) { pageStraight(pr, *list->MSFlexGrid1, cols); });
        straight.updatePreview();
        std::printf("%ld\n", statusKb("VmHWM:") - before);
        return 0;
    } else if (what == QLatin1String("csv")) {
        frmAnagrafica *list = memberList();
        list->FillGrid();
        settle();
        const long before = statusKb("VmRSS:");
        resetPeak();
        xMSFlexGrid_Save(*list->MSFlexGrid1, QFileInfo(path).absolutePath() + QStringLiteral("/child.csv"));
        std::printf("%ld\n", statusKb("VmHWM:") - before);
        return 0;
    }
    std::printf("%ld\n", statusKb("VmHWM:"));
    return 0;
}

// The figures a child printed on its last line, in KiB; ms receives the
// child's whole life, start to exit.
QList<long> childFigures(const QString &what, double *ms = nullptr)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), what, dbPath});
    p.waitForFinished(-1);
    if (ms)
        *ms = double(t.nsecsElapsed()) / 1e6;
    QList<long> out;
    for (const QByteArray &f : p.readAllStandardOutput().trimmed().split('\n').last().split(' '))
        out << f.toLong();
    return out;
}

long childKb(const QString &what)
{
    return childFigures(what).value(0);
}

// --- one register ----------------------------------------------------------

void benchSize(int members, bool print, int printMax)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("socivant.db3"));
    std::printf("\n== register of %d members, %d payments\n", members, 3 * members);
    std::printf("  generated in %s\n",
                qPrintable(ms(timeMs([&] { makeSqliteRegister(path, members, 3 * members, gKind); }))));
    openRegister(path);

    if (wanted("startup")) {
        // The program's start to its main window painted, beside a bare
        // window's, each a process of its own from start to exit.
        std::vector<double> ours, bare;
        long oursKb = 0, bareKb = 0;
        for (int i = 0; i < gRuns; ++i) {
            double t = 0;
            bareKb = childFigures(QStringLiteral("bare"), &t).value(0);
            bare.push_back(t);
            oursKb = childFigures(QStringLiteral("startup"), &t).value(0);
            ours.push_back(t);
        }
        const double o = medianOf(ours), b = medianOf(bare);
        figure("start-up, main window painted", members, ms(o), QStringLiteral("a bare Qt window %1").arg(ms(b)),
               ratio(o, b), members <= 100000 ? "<= 2x" : "<= 4x");
        figure("  peak memory, start-up", members, mib(oursKb), QStringLiteral("a bare Qt window %1").arg(mib(bareKb)),
               QString(), "not growing with the file");
    }

    // Open the member list: made, filled, shown and painted.
    const QString fillSql = firstWith(statementsOf([&] { openMemberList(); }), QStringLiteral("FROM Anagrafica a"));
    if (wanted("open")) {
        const auto [fill, fillCapi] = besideCapiMs(fillSql, [&] { openMemberList(); }, [&] { closeMemberList(); });
        const double fillShell = shellMs(fillSql);
        figure("open the member list", members, ms(fill),
               QStringLiteral("shell %1, C-API loop %2").arg(ms(fillShell), ms(fillCapi)),
               ratio(fill, fillShell) + QStringLiteral(" / ") + ratio(fill, fillCapi), "C-API <= 1.5x");
        figure("  peak memory, whole program", members, mib(childKb(QStringLiteral("members"))), QString(), QString(),
               members <= 100000 ? "100,000: <= 80 MiB" : "1,000,000: <= 300 MiB");
        const QList<long> cycle = childFigures(QStringLiteral("cycle"));
        figure("  memory, list open: first", members, mib(cycle.value(0)),
               QStringLiteral("reopened 3x %1, after 2x search+sort+export+reopen %2")
                   .arg(mib(cycle.value(1)), mib(cycle.value(2))),
               ratio(double(cycle.value(2)), double(cycle.value(0))), "same; <= 300 MiB");
    }
    frmAnagrafica *list = Instance<frmAnagrafica>::exists() ? Instance<frmAnagrafica>::get() : openMemberList();
    FlexGrid &g = *list->MSFlexGrid1;

    if (wanted("search")) {
        // Search refill: the search window writes the filter and refills the
        // list, each time from the full list.
        frmSelectAnagrafica *search = Instance<frmSelectAnagrafica>::get();
        search->load();
        search->txtCognome->setText(QStringLiteral("ross"));
        const QString searchSql = firstWith(statementsOf([&] { search->cmdOK_Click(); }),
                                            QStringLiteral("FROM Anagrafica a"));
        settle();
        const QString where = *frmAnagrafica::gWhereAnagrafica;
        const int found = g.Rows() - 1;
        const double refill = medianMs([&] { list->FillGrid(); },
                                       [&] {
                                           frmAnagrafica::gWhereAnagrafica = QString();
                                           list->FillGrid();
                                           frmAnagrafica::gWhereAnagrafica = where;
                                       });
        const double refillShell = shellMs(searchSql);
        figure("search refill (\"ross\")", members, ms(refill) + QStringLiteral(", %1 rows").arg(found),
               QStringLiteral("shell, same filtered query %1").arg(ms(refillShell)), ratio(refill, refillShell),
               "<= 1.5x");
        frmAnagrafica::gWhereAnagrafica = QString();
        list->FillGrid();
    }

    if (wanted("sort")) {
        // Header-click sorts of the columns people sort, each from the order
        // a click on another column left (the order a user clicks in), not
        // from the order of the fill: fill, sort the other column descending,
        // then the timed click sorts ascending. The floor sorts the same
        // column's bytes from that same order, ascending, stable, comparing
        // bytes: the faster of an index over one byte array each and an
        // index over the bytes side by side in one buffer.
        auto columnOf = [&](FlexGrid &grid, const char *field) {
            const QString name = PutSpacesInLabels(QLatin1String(field));
            const QString header = isEnglish() ? SostituisciCaptionEng(name) : name;
            for (int c = 0; c < grid.Cols(); ++c) {
                if (grid.TextMatrix(0, c) == header)
                    return c;
            }
            std::fprintf(stderr, "no column %s\n", field);
            std::exit(1);
        };
        // A click that sorts the column in that direction: the list turns the
        // direction at each click.
        auto clickSort = [](ListWindow *w, int col, bool ascending) {
            emit w->MSFlexGrid1->horizontalHeader()->sectionPressed(col);
            if (w->sortFlag() != ascending)
                emit w->MSFlexGrid1->horizontalHeader()->sectionPressed(col);
        };
        auto byteSortMs = [&](FlexGrid &grid, int col) {
            std::vector<QByteArray> cells;
            std::string joined;
            std::vector<std::pair<size_t, size_t>> at;
            for (int r = 1; r < grid.Rows(); ++r) {
                const QByteArrayView b = grid.cellUtf8(r, col);
                cells.push_back(b.toByteArray());
                at.emplace_back(joined.size(), size_t(b.size()));
                joined.append(b.data(), size_t(b.size()));
            }
            const double apart = medianMs([&] {
                std::vector<int> order(cells.size());
                std::iota(order.begin(), order.end(), 0);
                std::stable_sort(order.begin(), order.end(),
                                 [&](int a, int b) { return cells[size_t(a)] < cells[size_t(b)]; });
            });
            const char *base = joined.data();
            const double together = medianMs([&] {
                std::vector<int> order(at.size());
                std::iota(order.begin(), order.end(), 0);
                std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                    const auto &[pa, na] = at[size_t(a)];
                    const auto &[pb, nb] = at[size_t(b)];
                    const int c = std::memcmp(base + pa, base + pb, std::min(na, nb));
                    return c != 0 ? c < 0 : na < nb;
                });
            });
            return std::min(apart, together);
        };
        auto sortFigure = [&](const char *what, ListWindow *w, int col, int otherCol, const QString &header = {}) {
            FlexGrid &grid = *w->MSFlexGrid1;
            auto before = [&] {
                w->FillGrid();
                if (!header.isEmpty())
                    grid.setTextMatrix(0, col, header);
                clickSort(w, otherCol, false);
            };
            const double ours = medianMs([&] { clickSort(w, col, true); }, before);
            before();
            const double floor = byteSortMs(grid, col);
            figure(what, members, ms(ours) + QStringLiteral(", %1 rows").arg(grid.Rows() - 1),
                   QStringLiteral("byte sort of the column %1").arg(ms(floor)), ratio(ours, floor), "<= 1.5x");
        };
        const int surnameCol = columnOf(g, "CognomeRagioneSociale");
        const int nameCol = columnOf(g, "Nome");
        const int dateCol = columnOf(g, "DataNascita");
        sortFigure("header-click sort, birth date", list, dateCol, surnameCol);
        sortFigure("header-click sort, surname", list, surnameCol, dateCol);
        sortFigure("header-click sort, name", list, nameCol, surnameCol);
        // The edition whose header reads as a date's sorts the column by day,
        // each cell read as a date.
        sortFigure("header-click sort, by day (Italian)", list, dateCol, surnameCol, QStringLiteral("Data Nascita"));
        list->FillGrid();
        // Every payment of the register, by amount.
        frmPagamenti::gWherePagamenti = QString();
        frmPagamenti::gCurrentName = QString();
        frmPagamenti *pay = Instance<frmPagamenti>::get();
        pay->resize(1200, 800);
        pay->show();
        pay->FillGrid();
        sortFigure("header-click sort, payment amount", pay, columnOf(*pay->MSFlexGrid1, "Importo"),
                   columnOf(*pay->MSFlexGrid1, "Socio"));
        pay->hide();
        Instance<frmPagamenti>::release();
    }

    if (wanted("csv")) {
        // CSV export of the full list.
        const QString csv = dir.filePath(QStringLiteral("soci.csv"));
        const double exportMs = medianMs([&] { xMSFlexGrid_Save(g, csv); });
        const double exportShell = medianMs([&] { QFile::copy(csv, dir.filePath(QStringLiteral("copy.csv"))); },
                                            [&] { QFile::remove(dir.filePath(QStringLiteral("copy.csv"))); });
        QFile written(csv);
        written.open(QIODevice::ReadOnly);
        const QByteArray sha = QCryptographicHash::hash(written.readAll(), QCryptographicHash::Sha1).toHex().left(12);
        figure("CSV export", members, ms(exportMs) + QStringLiteral(", +") + mib(childKb(QStringLiteral("csv"))),
               QStringLiteral("copying the exported file %1").arg(ms(exportShell)), ratio(exportMs, exportShell),
               "<= 4x, +5 MiB");
        std::printf("  %-34s %9s  %lld bytes, sha1 %s\n", "  the file", "", written.size(), sha.constData());
    }

    // Print preview of the member list: from the click to the first page
    // painted in the shown window; then printing every page to a PDF file,
    // beside the same cells paged straight with QPainter into one.
    if (wanted("print") && print && members <= printMax) {
        std::vector<double> first;
        for (int i = 0; i < gRuns; ++i) {
            people0->clickClock.start();
            list->cmdPrintGrid_Click();
            first.push_back(people0->firstPageMs);
            settle();
        }
        std::sort(first.begin(), first.end());
        const int pages = people0->pages;
        figure("print preview, page 1 on screen", members,
               ms(first[first.size() / 2]) + QStringLiteral(", %1 pages").arg(pages), QString(), QString(), "<= 1 s");
        people0->printToo = true;
        people0->pdfPath = dir.filePath(QStringLiteral("ours.pdf"));
        const double printed = medianMs([&] {
            people0->clickClock.start();
            list->cmdPrintGrid_Click();
        });
        people0->printToo = false;
        const QList<int> cols = printedColumns(g);
        const double floor = medianMs([&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setPageOrientation(people0->orientation);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("floor.pdf")));
            pageStraight(&printer, g, cols);
        });
        figure("print to the last page (PDF)", members, ms(printed),
               QStringLiteral("same cells paged with QPainter %1").arg(ms(floor)), ratio(printed, floor), "<= 2x");
        const QList<long> printKb = childFigures(QStringLiteral("print"));
        figure("  peak memory, whole program", members,
               mib(printKb.value(0)) + QStringLiteral(", +") + mib(printKb.value(1)),
               QStringLiteral("after closing +%1").arg(mib(printKb.value(2))), QString(), "+100 MiB, after +20 MiB");
    }

    if (wanted("payments")) {
        // The payments of one member, and the checks before a delete: a member
        // with payments, and a member type with members.
        const int row = std::max(1, g.Rows() / 2);
        g.setRow(row);
        frmAnagrafica::openPayments() = [](const QString &name, double key, const QString &filter) {
            frmPagamenti::gCurrentName = name;
            frmPagamenti::gCurrentAnagraficaID = key;
            frmPagamenti::gWherePagamenti = filter;
        };
        list->cmdApriPagamenti_Click();
        frmPagamenti *pay = Instance<frmPagamenti>::get();
        pay->resize(1200, 800);
        pay->show();
        const QString paySql = firstWith(statementsOf([&] { pay->FillGrid(); }), QStringLiteral("FROM pagamenti a"));
        const double payFill = medianMs([&] { pay->FillGrid(); });
        const QString payRows = QStringLiteral(", %1 rows").arg(pay->MSFlexGrid1->Rows() - 1);
        g.setRow(row);
        const QString checkSql = firstWith(statementsOf([&] { list->cmdDelete_Click(); }), QStringLiteral("count("));
        const double check = medianMs([&] {
            g.setRow(row);
            list->cmdDelete_Click();
        });
        frmTipologiaPersone *types = Instance<frmTipologiaPersone>::get();
        types->show();
        types->FillGrid();
        types->MSFlexGrid1->setRow(1);
        const QString typeSql = firstWith(statementsOf([&] { types->cmdDelete_Click(); }), QStringLiteral("count("));
        const double typeCheck = medianMs([&] {
            types->MSFlexGrid1->setRow(1);
            types->cmdDelete_Click();
        });
        // The same without the indexes, for comparison.
        gDbExecute(QStringLiteral("DROP INDEX PagamentiAnagrafica"));
        gDbExecute(QStringLiteral("DROP INDEX AnagraficaTipologia"));
        const double payFillBare = medianMs([&] { pay->FillGrid(); });
        const double checkBare = medianMs([&] {
            g.setRow(row);
            list->cmdDelete_Click();
        });
        const double typeCheckBare = medianMs([&] {
            types->MSFlexGrid1->setRow(1);
            types->cmdDelete_Click();
        });
        const QString payPlanBare = queryPlan(paySql).join(QStringLiteral("; "));
        // What the first start of the program does on a register made
        // before the indexes were in the schema.
        const double startup = timeMs([] {
            resetStartupList();
            AggiornaDatabase();
        });
        figure("payments of one member", members, ms(payFill) + payRows,
               QStringLiteral("without the index %1").arg(ms(payFillBare)), ratio(payFill, payFillBare), "");
        figure("delete check, member", members, ms(check), QStringLiteral("without the index %1").arg(ms(checkBare)),
               ratio(check, checkBare), "");
        figure("delete check, member type", members, ms(typeCheck),
               QStringLiteral("without the index %1").arg(ms(typeCheckBare)), ratio(typeCheck, typeCheckBare), "");
        std::printf("  plans: payments of one member: %s\n", qPrintable(queryPlan(paySql).join(QStringLiteral("; "))));
        std::printf("         (without the index: %s)\n", qPrintable(payPlanBare));
        std::printf("         member check: %s\n", qPrintable(queryPlan(checkSql).join(QStringLiteral("; "))));
        std::printf("         member type check: %s\n", qPrintable(queryPlan(typeSql).join(QStringLiteral("; "))));
        std::printf("  %-34s %9d  %s, once\n", "start building the two indexes", members, qPrintable(ms(startup)));
        figure("  peak memory, payments list, all", members, mib(childKb(QStringLiteral("payments"))), QString(),
               QString(), "");
    }
    if (Instance<frmTipologiaPersone>::exists()) {
        Instance<frmTipologiaPersone>::get()->hide();
        Instance<frmTipologiaPersone>::release();
    }
    if (Instance<frmPagamenti>::exists()) {
        Instance<frmPagamenti>::get()->hide();
        Instance<frmPagamenti>::release();
    }
    frmPagamenti::gWherePagamenti = QString();
    frmPagamenti::gCurrentName = QString();
    closeMemberList();
    resetDatabase();
}
int savePagesOfSheets(const QString &dirName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("socivant.db3"));
    makeSqliteRegister(path, 200, 600, BenchKind::Realistic);
    openRegister(path);
    // Texts that test the reading: an ampersand, a "<", accents, a long note.
    gDbExecute(QStringLiteral(
        "UPDATE Anagrafica SET Cognome = 'Rossi & Bianchi <Studio>', Comune = 'Forl\u00EC', CFIva = 'RSSMRA80A01H501U', "
        "SitoWeb = 'https://www.example.org/soci/rossi-e-bianchi', NoteAnagrafica = 'Socio dal 2020. Paga di solito con "
        "bonifico entro la fine di gennaio; la ricevuta va mandata per posta elettronica e anche per posta ordinaria "
        "all''indirizzo dello studio, che non coincide con quello di casa.' WHERE ANAGRAFICAID IN (1, 7)"));
    QDir().mkpath(dirName);
    frmAnagrafica *list = memberList();
    list->FillGrid();
    people0->pngPrefix = dirName + QStringLiteral("/members");
    list->cmdPrintGrid_Click();
    // The record sheet of the member with the longest note.
    list->SelectedID = 1;
    frmEditAnagrafica *edit = Instance<frmEditAnagrafica>::get();
    edit->gIsNewRecord = false;
    edit->load();
    edit->show();
    people0->pngPrefix = dirName + QStringLiteral("/sheet");
    edit->cmdPrint_Click();
    return 0;
}
// The printed member list of a register of that many members: its pages,
// type size and columns; its document written to htmlPath when given.
int showLayoutOf(int members, const QString &htmlPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("socivant.db3"));
    makeSqliteRegister(path, members, 3 * members, gKind);
    openRegister(path);
    frmAnagrafica *list = memberList();
    list->FillGrid();
    people0->layoutOnly = true;
    people0->htmlPath = htmlPath;
    list->cmdPrintGrid_Click();
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = "/tmp/runtime-" + QByteArray::number(getuid());
        mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Socivant"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("--child"))
        return child(args.at(2), args.at(3));
    if (args.size() >= 3 && args.at(1) == QLatin1String("--pages"))
        return savePagesOfSheets(args.at(2));
    if (args.size() >= 3 && args.at(1) == QLatin1String("--layout"))
        return showLayoutOf(args.at(2).toInt(), args.value(3));
    if (args.size() >= 4 && args.at(1) == QLatin1String("--make-register")) {
        makeSqliteRegister(args.at(3), args.at(2).toInt(), 3 * args.at(2).toInt(),
                           args.contains(QLatin1String("--ascii")) ? BenchKind::Ascii : BenchKind::Realistic);
        return 0;
    }
    QList<int> sizes{10000, 100000};
    bool print = true;
    int printMax = 100000;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args.at(++i).split(QLatin1Char(',')))
                sizes << s.toInt();
        } else if (a == QLatin1String("--million")) {
            sizes << 1000000;
        } else if (a == QLatin1String("--runs") && i + 1 < args.size()) {
            gRuns = std::max(1, args.at(++i).toInt());
        } else if (a == QLatin1String("--print-max") && i + 1 < args.size()) {
            printMax = args.at(++i).toInt();
        } else if (a == QLatin1String("--only") && i + 1 < args.size()) {
            gOnly = args.at(++i).split(QLatin1Char(','));
        } else if (a == QLatin1String("--ascii")) {
            gKind = BenchKind::Ascii;
        } else if (a == QLatin1String("--no-print")) {
            print = false;
        } else {
            std::fprintf(stderr,
                         "usage: bench_lists [--sizes 10000,100000] [--million] [--runs 5] [--print-max N] "
                         "[--no-print] [--only startup,open,search,sort,csv,print,payments] | --make-register "
                         "MEMBERS PATH | --pages DIR | --layout MEMBERS [HTML]\n");
            return 2;
        }
    }
    std::printf("medians of %d runs; each figure beside its floor from the same run\n", gRuns);
    std::printf("  %-34s %9s  %-22s %-46s %-16s %s\n", "operation", "members", "ours", "floor", "ratio", "goal");
    for (int n : sizes)
        benchSize(n, print, printMax);
    return 0;
}
