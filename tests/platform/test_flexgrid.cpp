#include "FlexGrid.h"
#include "RuntimeError.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QtTest>
#include <atomic>
#include <thread>
#include <vector>

namespace {
int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number;
    }
    return 0;
}

QStringList column(const FlexGrid &g, int c)
{
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r)
        out << g.TextMatrix(r, c);
    return out;
}

void fillNumbered(FlexGrid &g, int rows)
{
    g.beginFill();
    g.setCols(2);
    g.setRows(1);
    g.setTextMatrix(0, 0, QStringLiteral("N"));
    g.setTextMatrix(0, 1, QStringLiteral("Testo"));
    for (int i = 1; i <= rows; ++i)
        g.addRow({QString::number(i), QStringLiteral("riga %1").arg(i)});
    g.endFill();
}
} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT
private slots:
    void modelStaysConsistentThroughEveryChange()
    {
        FlexGrid g;
        QAbstractItemModelTester tester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        fillNumbered(g, 50);
        g.setRows(60);
        g.setRows(10);
        g.setCols(5);
        g.setCols(3);
        g.setTextMatrix(0, 2, QStringLiteral("Nuova"));
        g.setTextMatrix(3, 2, QStringLiteral("x"));
        g.addRow({QStringLiteral("99")});
        g.RemoveItem(2);
        g.setCol(0);
        g.setSort(4);
        g.beginFill();
        g.setRows(1);
        g.setCols(4);
        g.endFill();
        QCOMPARE(g.model()->rowCount(), 0);
        QCOMPARE(g.model()->columnCount(), 4);
    }

    void addressingOutsideTheGridRaises()
    {
        FlexGrid g;
        fillNumbered(g, 3);
        QCOMPARE(errorOf([&] { g.TextMatrix(4, 0); }), 381);
        QCOMPARE(errorOf([&] { g.setTextMatrix(0, 2, {}); }), 381);
        QCOMPARE(errorOf([&] { g.setRow(4); }), 30009);
        QCOMPARE(errorOf([&] { g.setCol(-1); }), 30010);
        QCOMPARE(errorOf([&] { g.setRows(0); }), 30009);

        g.setRow(3);
        g.setCol(1);
        QCOMPARE(g.Text(), QStringLiteral("riga 3"));
        g.setText(QStringLiteral("cambiata"));
        QCOMPARE(g.TextMatrix(3, 1), QStringLiteral("cambiata"));
        // Shrinking the grid under the current row moves it to the last row.
        g.setRows(2);
        QCOMPARE(g.Row(), 1);
        QCOMPARE(g.RowSel(), 1);
    }

    // The cells are bytes packed per column: every text comes back as it
    // went in, long or short, accented or not, through rewrites (which
    // store the text anew and later drop the old bytes), removals, sorts and
    // rows appended cell by cell.
    void cellsKeepTheirTextsThroughEveryChange()
    {
        FlexGrid g;
        QAbstractItemModelTester tester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QString longText = QString(20000, QLatin1Char('x')) + QStringLiteral("é");
        auto expected = [&](int r, int c) {
            switch ((r + c) % 4) {
            case 0:
                return QString();
            case 1:
                return QStringLiteral("Caffè “%1” 😀").arg(r);
            case 2:
                return QString(130 + r % 3, QLatin1Char('a' + c));
            default:
                return r == 5 ? longText : QString::number(r * 10 + c);
            }
        };
        g.beginFill();
        g.setCols(3);
        for (int r = 1; r <= 400; ++r) {
            // Half the rows cell by cell, half whole (texts a column repeats
            // are kept once there).
            const QByteArray cells[] = {expected(r, 0).toUtf8(), expected(r, 1).toUtf8(), expected(r, 2).toUtf8(),
                                        QByteArray("beyond the last column")};
            if (r % 2) {
                for (const QByteArray &cell : cells)
                    g.appendCell(cell);
                g.endRow();
            } else {
                const QByteArrayView views[] = {cells[0], cells[1], cells[2], cells[3]};
                g.appendRow(views, 4);
            }
        }
        g.appendCellText(QStringLiteral("solo"));
        g.endRow(); // the cells not given are empty
        g.endFill();
        QCOMPARE(g.Rows(), 402);
        for (int r = 1; r <= 400; ++r) {
            for (int c = 0; c < 3; ++c)
                QCOMPARE(QString::fromUtf8(g.cellUtf8(r, c)), expected(r, c));
        }
        QCOMPARE(g.TextMatrix(401, 0), QStringLiteral("solo"));
        QCOMPARE(g.TextMatrix(401, 2), QString());
        for (int round = 0; round < 6; ++round) {
            for (int r = 1; r <= 400; ++r)
                g.setTextMatrix(r, 1,
                                QStringLiteral("giro %1 riga %2 ").arg(round).arg(r) + QString(200, QLatin1Char('z')));
        }
        g.RemoveItem(401);
        g.RemoveItem(2);
        for (int r = 1; r < g.Rows(); ++r) {
            const int was = r < 2 ? r : r + 1;
            QCOMPARE(g.TextMatrix(r, 0), expected(was, 0));
            QCOMPARE(g.TextMatrix(r, 1), QStringLiteral("giro 5 riga %1 ").arg(was) + QString(200, QLatin1Char('z')));
            QCOMPARE(g.TextMatrix(r, 2), expected(was, 2));
            QCOMPARE(QString::fromUtf8(g.cellUtf8(r, 2)), expected(was, 2));
        }
        g.setCol(2);
        g.setSort(1);
        QStringList sorted = column(g, 2);
        QStringList wanted;
        for (int r = 1; r <= 400; ++r) {
            if (r != 2)
                wanted << expected(r, 2);
        }
        QCOMPARE(QSet<QString>(sorted.begin(), sorted.end()), QSet<QString>(wanted.begin(), wanted.end()));
        // A column taken away comes back empty, the others as they were.
        const QStringList first = column(g, 0);
        g.setCols(2);
        g.setCols(3);
        QCOMPARE(column(g, 0), first);
        QCOMPARE(column(g, 2), QStringList(QList<QString>(g.Rows() - 1)));
        g.setRows(1);
        QCOMPARE(g.model()->rowCount(), 0);
        g.setRows(3);
        QCOMPARE(g.TextMatrix(2, 2), QString());
    }

    // Cells are kept in shorter forms (digits and date signs packed, long
    // texts against what the column held first, repeats as references);
    // every reader, on any thread, reads back the very bytes written.
    void cellsReadBackByteForByteWhateverFormTheyAreKeptIn()
    {
        const QByteArray words[] = {"socio",   "pagamento", "ricevuta", "città",  "perché",   "già",
                                    "Ιωάννης", "Иванова",   "Dvořák",   "😀",      "d'Assisi", "&lt;b&gt;",
                                    "z",       "quota",     "annuale",  "Nguyễn", "tessera",  "\t"};
        // Texts that look as if they packed, and do not, or only just do.
        const QByteArray shortOnes[] = {"",
                                        "7",
                                        "12",
                                        "123",
                                        "2024-01-15 10:23:45",
                                        "12,50",
                                        "1e5",
                                        "+39 02 1234567",
                                        "0123456789 -:+/.x",
                                        "١٢",
                                        "12\n34",
                                        "-",
                                        "..",
                                        "2024-01-15 10:23:4",
                                        "+39 02 12345ß",
                                        "   ",
                                        "0.5/-:+",
                                        "x1234567890123456"};
        auto longText = [&](int r) -> QByteArray {
            switch (r % 9) {
            case 0:
                return {};
            case 1:
                return QByteArray("quindici byte!!"); // one short of a long text
            case 2:
                return QByteArray("sedici byte!!!!!"); // just long enough
            case 3: // one word; now and then longer than a fill hands on through its queue
                return QByteArray(r % 3000 == 2001 ? 600000 : 4000 + r % 7, char('a' + r % 3));
            case 4:
                return QByteArray("https://www.associazione-amici-del-museo.org/soci/") + QByteArray::number(r);
            default: {
                QByteArray t;
                const int length = 16 + int((unsigned(r) * 2654435761U) % 300U);
                for (unsigned w = unsigned(r); t.size() < length; w = w * 1103515245U + 12345U)
                    t += words[(w >> 8) % 18] + ' ';
                return t;
            }
            }
        };
        auto expected = [&](int r, int c) -> QByteArray {
            if (r == 0)
                return QByteArray("head ") + QByteArray::number(c);
            switch (c) {
            case 0:
                return shortOnes[(r / 3) % 18]; // in runs: repeats as references
            case 1:                             // now and then the text of the row before, kept as a reference
                return r % 7 == 6 ? longText(r - 1) : longText(r);
            default:
                return "r" + QByteArray::number(r);
            }
        };
        constexpr int kRows = 4000;
        auto fill = [&](FlexGrid &g, int rows) {
            g.beginFill();
            g.setRows(1);
            g.setCols(3);
            for (int c = 0; c < 3; ++c)
                g.setTextMatrix(0, c, QString::fromUtf8(expected(0, c)));
            for (int r = 1; r <= rows; ++r) {
                const QByteArray cells[] = {expected(r, 0), expected(r, 1), expected(r, 2)};
                const QByteArrayView views[] = {cells[0], cells[1], cells[2]};
                g.appendRow(views, 3);
            }
            g.endFill();
        };
        // Row r's cells as they should read, from the tag in column 2.
        auto rowOf = [](QByteArrayView tag) { return tag.sliced(1).toInt(); };
        auto mismatches = [&](const FlexGrid &g) {
            int wrong = 0;
            std::vector<QByteArrayView> row(3);
            for (int r = 0; r < g.Rows(); ++r) {
                g.rowUtf8(r, row.data());
                const int was = r == 0 ? 0 : rowOf(row[2]);
                for (int c = 0; c < 3; ++c) {
                    wrong += row[size_t(c)] != expected(was, c);
                    const QByteArrayView one = g.cellUtf8(r, c);
                    const QByteArrayView other = g.cellUtf8(r, (c + 1) % 3);
                    wrong += one != expected(was, c) || other != expected(was, (c + 1) % 3);
                }
            }
            return wrong;
        };

        FlexGrid g;
        fill(g, kRows);
        QCOMPARE(g.Rows(), kRows + 1);
        QCOMPARE(mismatches(g), 0);
        QCOMPARE(g.TextMatrix(4, 1), QString::fromUtf8(expected(4, 1)));

        // Many readers at once.
        std::atomic<int> wrong{0};
        std::vector<std::thread> readers;
        for (int t = 0; t < 4; ++t) {
            readers.emplace_back([&, t] {
                if (t % 2)
                    wrong += mismatches(g);
                else
                    g.eachCellOfColumn(1, [&](int r, QByteArrayView v) { wrong += v != expected(r, 1); });
            });
        }
        for (std::thread &t : readers)
            t.join();
        QCOMPARE(wrong.load(), 0);

        // A column pass over a list long enough to be read on several
        // threads visits each row once with its text, and a visit that
        // throws ends the pass with its exception, after a pass cut short
        // as before it.
        {
            FlexGrid big;
            fill(big, 10 * kRows);
            for (const int stop : {0, 3 * kRows, 10 * kRows}) {
                std::vector<std::atomic<int>> seen(size_t(10 * kRows) + 1);
                std::atomic<int> bad{0};
                bool thrown = false;
                try {
                    big.eachCellOfColumn(1, [&](int r, QByteArrayView v) {
                        if (r == stop)
                            throw 1;
                        bad += v != expected(r, 1);
                        ++seen[size_t(r)];
                    });
                } catch (int) {
                    thrown = true;
                }
                QCOMPARE(thrown, stop != 0);
                QCOMPARE(bad.load(), 0);
                if (stop == 0) {
                    for (int r = 1; r <= 10 * kRows; ++r)
                        QCOMPARE(seen[size_t(r)].load(), 1);
                }
            }
        }

        // Sorted, rewritten cell by cell (the store written anew), emptied and
        // filled again with other texts.
        g.setCol(1);
        g.setSort(FlexGrid::GenericAscending);
        QCOMPARE(mismatches(g), 0);
        g.setCol(0);
        g.setSort(FlexGrid::GenericDescending);
        QCOMPARE(mismatches(g), 0);
        for (int round = 0; round < 3; ++round) {
            for (int r = 1; r < g.Rows(); r += 2)
                g.setTextMatrix(r, 2, g.TextMatrix(r, 2));
        }
        QCOMPARE(mismatches(g), 0);
        fill(g, kRows / 2);
        QCOMPARE(mismatches(g), 0);
    }

    void removeItemTakesOutOneDataRow()
    {
        FlexGrid g;
        fillNumbered(g, 3);
        g.setRow(3);
        g.RemoveItem(2);
        QCOMPARE(column(g, 0), QStringList({"1", "3"}));
        QCOMPARE(g.Row(), 2);
        QVERIFY(errorOf([&] { g.RemoveItem(0); }) != 0);
        g.RemoveItem(1);
        QCOMPARE(column(g, 0), QStringList({"3"}));
        // The last data row and the header stay.
        QVERIFY(errorOf([&] { g.RemoveItem(1); }) != 0);
        QCOMPARE(g.Rows(), 2);
    }

    void sortOrdersTheDataRowsOnTheCurrentColumn()
    {
        FlexGrid g;
        g.setCols(2);
        g.setTextMatrix(0, 0, QStringLiteral("Valore"));
        const QStringList values{"10", "b", "2", "A", "", "2", "1,5"};
        for (int i = 0; i < values.size(); ++i)
            g.addRow({values.at(i), QString::number(i)});
        g.setCol(0);

        g.setSort(1); // numbers first, then texts without regard to case
        QCOMPARE(column(g, 0), QStringList({"1,5", "2", "2", "10", "", "A", "b"}));
        QCOMPARE(column(g, 1).mid(1, 2), QStringList({"2", "5"})); // equal keys keep their order
        QCOMPARE(g.TextMatrix(0, 0), QStringLiteral("Valore"));

        g.setSort(2);
        QCOMPARE(column(g, 0), QStringList({"b", "A", "", "10", "2", "2", "1,5"}));

        // Numeric: a text counts as zero.
        g.setSort(3);
        QCOMPARE(column(g, 0).mid(3), QStringList({"1,5", "2", "2", "10"}));
        g.setSort(4);
        QCOMPARE(column(g, 0).mid(0, 4), QStringList({"10", "2", "2", "1,5"}));

        // A list long enough to have its rows moved by the pass threads:
        // every row lands once, in its place, its cells with it.
        FlexGrid big;
        big.setCols(2);
        big.beginFill();
        constexpr int kBig = 300000;
        for (int i = 0; i < kBig; ++i) {
            const QByteArray key = QByteArray::number(qint64(i) * 7919 % kBig), row = QByteArray::number(i);
            const QByteArrayView cells[] = {key, row};
            big.appendRow(cells, 2);
        }
        big.endFill();
        big.setCol(0);
        big.setSort(FlexGrid::NumericDescending);
        int wrong = 0;
        for (int r = 1; r <= kBig; ++r) {
            const int key = kBig - r;
            wrong += big.cellUtf8(r, 0) != QByteArray::number(key);
            // 7919 is prime to 300000: the row that held key k is k / 7919 modulo 300000.
            wrong += big.cellUtf8(r, 1).toInt() * 7919LL % kBig != key;
        }
        QCOMPARE(wrong, 0);
    }

    // Each cell's key is made once: the order stays the one of
    // QString::compare(Qt::CaseInsensitive), numbers first, equal keys in
    // their order, descending the mirror; with few distinct keys and with many.
    void sortOrderIsCaseInsensitiveAndStable()
    {
        const QList<QByteArray> words{"stra\xC3\x9F"
                                      "e",
                                      "STRASSE",
                                      "\xCE\xA3\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82",
                                      "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x83",
                                      "\xC4\xB0stanbul",
                                      "istanbul",
                                      "\xEF\xBC\xA1"
                                      "bc",
                                      "abc",
                                      "\xF0\x90\x90\x80x",
                                      "\xF0\x90\x90\xA8x",
                                      "zo\xC3\xAB",
                                      "Zo\xC3\xAB",
                                      "",
                                      "10",
                                      "9",
                                      "2,5",
                                      "-1",
                                      "e",
                                      "\xC3\x89lan",
                                      "\xC3\xA9lan",
                                      "\xFF\xFE"
                                      "ab",
                                      "ab",
                                      "a\xED\xA0\x80",
                                      // ten letters whose folds take a byte more each
                                      "\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA\xC8\xBA"};
        auto number = [](const QString &s, double *v) {
            QString t = s.trimmed();
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            bool ok = false;
            *v = t.toDouble(&ok);
            return ok && !t.isEmpty();
        };
        // Few keys; many (200, each in three rows); many long ones whose
        // first 30 bytes, folded, are all alike; a site's pages, long, each
        // in one row, alike for 38 bytes, crowded in the first rows. Lists of thousands of rows
        // are read on several threads and kept in shorter forms; those of a
        // few stretches are ordered a stretch at a time and merged.
        for (const int kind : {0, 1, 2, 3})
            for (const int count : {600, 10000, 20000}) {
                FlexGrid g;
                g.setCols(2);
                g.beginFill();
                for (int i = 0; i < count; ++i) {
                    const int k = kind == 0 ? i : i % 200;
                    QByteArray cell = words.at(k % words.size());
                    if (kind == 1)
                        cell += QByteArray::number(k);
                    if (kind == 2)
                        cell = QByteArray(
                                   k % 3 == 0       ? "Amici Del Museo Civico Di Storia Naturale Della Citt\xC3\xA0 Di "
                                       : k % 3 == 1 ? "amici del museo civico di storia naturale della citt\xC3\x80 di "
                                                    : "amici del museo civico di storia naturale della citta di ")
                            + cell + QByteArray::number(k % 7);
                    if (kind == 3 && (i < count / 4 || i % 16 == 0))
                        cell = "https://www.associazione.example/soci/" + QByteArray::number(i * 7919 % count);
                    const QByteArray number = QByteArray::number(i);
                    const QByteArrayView views[] = {cell, number};
                    g.appendRow(views, 2);
                }
                g.endFill();
                g.setCol(0);
                for (const int mode : {1, 2}) {
                    QList<QPair<QString, QString>> rows;
                    for (int r = 1; r < g.Rows(); ++r)
                        rows.append({g.TextMatrix(r, 0), g.TextMatrix(r, 1)});
                    auto less = [&](const QPair<QString, QString> &a, const QPair<QString, QString> &b) {
                        double x = 0, y = 0;
                        const bool nx = number(a.first, &x), ny = number(b.first, &y);
                        if (nx != ny)
                            return nx;
                        return nx ? x < y : QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
                    };
                    if (mode == 1)
                        std::stable_sort(rows.begin(), rows.end(), less);
                    else
                        std::stable_sort(rows.begin(), rows.end(),
                                         [&](const auto &a, const auto &b) { return less(b, a); });
                    g.setSort(mode);
                    for (int r = 1; r < g.Rows(); ++r) {
                        QCOMPARE(g.TextMatrix(r, 0), rows.at(r - 1).first);
                        QCOMPARE(g.TextMatrix(r, 1), rows.at(r - 1).second);
                    }
                }
            }
    }

    void sortKeepsTheCurrentRowSelected()
    {
        FlexGrid g;
        fillNumbered(g, 5);
        g.setRow(2);
        g.setCol(0);
        g.setSort(4);
        QCOMPARE(g.Row(), 2);
        QVERIFY(g.selectionModel()->isRowSelected(1, {}));
    }

    void widthsAreTwipsAndZeroHidesTheColumn()
    {
        FlexGrid g;
        fillNumbered(g, 2);
        g.setColWidth(1, 1500);
        QCOMPARE(g.ColWidth(1), 1500);
        QCOMPARE(g.columnWidth(1), 100);
        g.setColWidth(1, 0);
        QCOMPARE(g.ColWidth(1), 0);
        QVERIFY(g.isColumnHidden(1));
        g.setColWidth(1, 900);
        QVERIFY(!g.isColumnHidden(1));
        // A width between two pixels reads back as set, until someone drags
        // the column border.
        g.setColWidth(0, 1000);
        QCOMPARE(g.ColWidth(0), 1000);
        QCOMPARE(g.columnWidth(0), 67);
        g.horizontalHeader()->resizeSection(0, 80);
        QCOMPARE(g.ColWidth(0), 1200);
    }

    void widthsSetDuringAFillSurviveIt()
    {
        FlexGrid g;
        g.beginFill();
        g.setCols(4);
        g.setColWidth(0, 0);
        g.setColWidth(2, 3000);
        for (int i = 0; i < 3; ++i)
            g.addRow({QString::number(i), "a", "b", "c"});
        QCOMPARE(g.ColWidth(2), 3000);
        g.endFill();
        QCOMPARE(g.ColWidth(0), 0);
        QVERIFY(g.isColumnHidden(0));
        QCOMPARE(g.ColWidth(2), 3000);
        QCOMPARE(g.columnWidth(2), 200);
    }

    void topRowAndVisibilityFollowTheView()
    {
        FlexGrid g;
        g.resize(400, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        fillNumbered(g, 100);
        QCOMPARE(g.TopRow(), 1);
        QVERIFY(g.RowIsVisible(1));
        QVERIFY(!g.RowIsVisible(100));
        // Straight after a fill, before the view has laid itself out.
        g.setTopRow(41);
        QCOMPARE(g.TopRow(), 41);
        QVERIFY(g.RowIsVisible(41));
        QVERIFY(!g.RowIsVisible(40));
        QVERIFY(g.RowIsVisible(0));
        QVERIFY(!g.RowIsVisible(101));
        QVERIFY(errorOf([&] { g.setTopRow(0); }) != 0);
        // The last row can come up, no further than a full last page.
        g.setTopRow(99);
        QVERIFY(g.TopRow() > 41 && g.TopRow() <= 99);
        QVERIFY(g.RowIsVisible(99));
    }

    void aHundredThousandRowsFillAndScroll()
    {
        FlexGrid g;
        g.resize(600, 400);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.beginFill();
        g.setRows(1);
        g.setCols(8);
        for (int c = 0; c < 8; ++c)
            g.setTextMatrix(0, c, QStringLiteral("Col%1").arg(c));
        for (int i = 1; i <= 100000; ++i)
            g.addRow({QString::number(i), QStringLiteral("Cognome %1").arg(i), QStringLiteral("Nome"),
                      QStringLiteral("01/02/2010"), QStringLiteral("1.234,50 €"), QStringLiteral("Via Roma 1"),
                      QStringLiteral("True"), QString()});
        g.endFill();
        QCoreApplication::processEvents();
        g.setTopRow(99990);
        QCoreApplication::processEvents();
        QCOMPARE(g.Rows(), 100001);
        QVERIFY(g.RowIsVisible(100000));
        for (int r : {1, 2, 1999, 2000, 2001, 2002, 50000, 99999, 100000}) {
            const QStringList row{QString::number(r),           QStringLiteral("Cognome %1").arg(r),
                                  QStringLiteral("Nome"),       QStringLiteral("01/02/2010"),
                                  QStringLiteral("1.234,50 €"), QStringLiteral("Via Roma 1"),
                                  QStringLiteral("True"),       QString()};
            for (int c = 0; c < 8; ++c)
                QCOMPARE(g.TextMatrix(r, c), row.at(c));
        }
    }

    void theGridLeavesTheWheelToItsWindow()
    {
        FlexGrid g;
        g.resize(300, 200);
        fillNumbered(g, 100);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        const QPoint at = g.viewport()->rect().center();
        QWheelEvent we(at, g.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(g.viewport(), &we);
        QCOMPARE(g.TopRow(), 1);
    }
};

QTEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"
