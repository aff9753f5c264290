// The print documents laid out and painted as a browser prints them.
#include "PrintPages.h"
#include "PrintPreview.h"
#include "PrintPreviewDialog.h"
#include "WebBrowser.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {
// The head the print routines write, style sheet and all.
QString head()
{
    WebBrowser web;
    initPrintPreview(web);
    return web.documentText();
}
const QString kTable = QStringLiteral("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">");

// A page device of 150 dots to the inch, and a page about A4 less margins.
QImage device()
{
    QImage d(1, 1, QImage::Format_RGB32);
    d.setDotsPerMeterX(5906);
    d.setDotsPerMeterY(5906);
    return d;
}
const QSizeF kPortrait(1100, 1600);

QString grid(int columns, int rows, const std::function<QString(int, int)> &cell)
{
    QString doc = head() + kTable;
    for (int r = 0; r <= rows; ++r) {
        doc += QStringLiteral("<tr>");
        for (int c = 0; c < columns; ++c)
            doc += r == 0 ? QStringLiteral("<th>Colonna %1</th>").arg(c)
                          : QStringLiteral("<td>") + cell(r, c) + QStringLiteral("</td>");
        doc += QStringLiteral("</tr>");
    }
    return doc + QStringLiteral("</table></body></html>");
}
} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT
private slots:
    // A grid too wide for the page shrinks to the page width, every column
    // as wide as its widest word, so no word is split; texts wrap at blanks.
    void aWideGridShrinksAndSplitsNoWord()
    {
        const QString doc = grid(19, 30, [](int r, int c) {
            return c == 3 ? QStringLiteral("Pagamento con bonifico, ricevuta inviata")
                          : QStringLiteral("Soci%1ordinario%2 Via Garibaldi").arg(r).arg(c);
        });
        QImage d = device();
        PrintPages pages(doc);
        QVERIFY(pages.neededWidth(d) > kPortrait.width());
        QVERIFY(pages.layout(d, kPortrait));
        QVERIFY(pages.scale() < 1.0);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(7);
        const QFontMetricsF fm(font, &d);
        const std::vector<qreal> widths = pages.columnWidths(0);
        QCOMPARE(int(widths.size()), 19);
        qreal total = 0;
        for (int c = 0; c < 19; ++c) {
            qreal widest = fm.horizontalAdvance(QStringLiteral("Colonna"));
            for (int r = 1; r <= 30; ++r) {
                const QString word = c == 3 ? QStringLiteral("Pagamento")
                                            : QStringLiteral("Soci%1ordinario%2").arg(r).arg(c);
                widest = std::max(widest, fm.horizontalAdvance(word));
            }
            QVERIFY2(widths[size_t(c)] + 0.01 >= widest * pages.scale(), qPrintable(QString::number(c)));
            total += widths[size_t(c)];
        }
        QVERIFY(total <= kPortrait.width());
        // Portrait is what was asked for here: the caller turns the page.
        QCOMPARE(pages.lines().size(), size_t(31));
    }

    // Laid out for paper: a word of a thousand letters is broken inside its
    // own cell instead of shrinking the page; dates and phone numbers stay
    // on one line and the notes get the width that is left.
    void longWordsBreakInTheirCellShortFieldsStayWhole()
    {
        QString note;
        for (int i = 0; i < 15; ++i)
            note += QStringLiteral("parola ");
        const QString word(1000, QLatin1Char('W'));
        const QString doc = grid(6, 20, [&](int r, int c) {
            switch (c) {
            case 0:
                return r == 3 ? word : QStringLiteral("Rossi %1").arg(r);
            case 1:
                return QStringLiteral("31/12/2026");
            case 2:
                return QStringLiteral("+39 333 1234567");
            case 3:
                return QStringLiteral("Via San Francesco d'Assisi %1").arg(r);
            case 4:
                return QStringLiteral("%1.234,50").arg(r);
            default:
                return note;
            }
        });
        QImage d = device();
        PrintPages pages(doc);
        const QSizeF landscape(kPortrait.height(), kPortrait.width());
        QVERIFY(pages.layout(d, landscape));
        QCOMPARE(pages.scale(), 1.0);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(7);
        const QFontMetricsF fm(font, &d);
        const std::vector<qreal> widths = pages.columnWidths(0);
        QVERIFY(widths[1] >= fm.horizontalAdvance(QStringLiteral("31/12/2026")));
        QVERIFY(widths[2] >= fm.horizontalAdvance(QStringLiteral("+39 333 1234567")));
        QVERIFY(widths[4] >= fm.horizontalAdvance(QStringLiteral("20.234,50")));
        QVERIFY2(widths[5] > 2 * widths[3], qPrintable(QString::number(widths[5]) + u' ' + QString::number(widths[3])));
        for (const PrintPages::Line &l : pages.lines()) {
            if (l.table == 0 && !l.header && !l.text.startsWith(word))
                QVERIFY2(l.lineCount <= 2, qPrintable(l.text));
        }
        // The long word's row: its lines, each within the column.
        const int longLines = pages.lines().at(3).lineCount;
        QVERIFY(longLines >= int(fm.horizontalAdvance(word) / widths[0]));
        QVERIFY(widths[0] < landscape.width() / 4);
    }

    // Rows go on over as many pages as they need, in order and each once,
    // under the header row again on every page.
    void rowsContinueUnderTheHeaderRow()
    {
        PrintPages pages(grid(3, 300, [](int r, int c) { return QStringLiteral("r%1c%2").arg(r).arg(c); })
                         + QStringLiteral("Totale: 300"));
        QVERIFY(pages.layout(device(), kPortrait));
        QVERIFY(pages.pageCount() >= 3);
        QCOMPARE(pages.scale(), 1.0);
        int next = 1;
        int page = -1;
        qreal lastY = -1;
        for (const PrintPages::Line &l : pages.lines()) {
            if (l.page != page) {
                QCOMPARE(l.page, page + 1);
                page = l.page;
                QVERIFY2(l.header || l.table < 0, qPrintable(l.text));
                lastY = -1;
            }
            QVERIFY(l.y > lastY);
            QVERIFY(l.y < kPortrait.height());
            lastY = l.y;
            if (l.header)
                QCOMPARE(l.text, QStringLiteral("Colonna 0 | Colonna 1 | Colonna 2"));
            else if (l.table == 0)
                QCOMPARE(l.text, QStringLiteral("r%1c0 | r%1c1 | r%1c2").arg(next++));
            else
                QCOMPARE(l.text, QStringLiteral("Totale: 300"));
        }
        QCOMPARE(next, 301);
        QCOMPARE(page, pages.pageCount() - 1);
    }

    // What the print routines write reads as a browser shows it; a note too
    // long for one page goes on over the next instead of being cut off.
    void textsReadAsABrowserShowsThem()
    {
        QString note;
        for (int i = 0; i < 900; ++i)
            note += QStringLiteral("parola%1 ").arg(i);
        PrintPages pages(head()
                         + QStringLiteral("<table><tr><th>Nota</th><td>a&lt;b&gt;c &amp; Rossi & Bianchi</td></tr>"
                                          "<tr><th>Spazi</th><td>  due   spazi\n a capo  </td></tr>"
                                          "<tr><td>A<B</td></tr>"
                                          "<tr><th>Lunga</th><td>")
                         + note
                         + QStringLiteral("</td></tr><tr><th>Dopo</th><td>fine</td></tr></table></body></html>"));
        QVERIFY(pages.layout(device(), QSizeF(800, 600)));
        const std::vector<PrintPages::Line> lines = pages.lines();
        QCOMPARE(lines[0].text, QStringLiteral("Nota | a<b>c & Rossi & Bianchi"));
        QCOMPARE(lines[1].text, QStringLiteral("Spazi | due spazi a capo"));
        QCOMPARE(lines[2].text, QStringLiteral("A"));
        QVERIFY(lines[3].text.startsWith(QLatin1String("Lunga | parola0 ")));
        QVERIFY(pages.pageCount() >= 3);
        int longRowPieces = 0;
        for (const PrintPages::Line &l : lines)
            longRowPieces += l.text.startsWith(QLatin1String("Lunga")) ? 1 : 0;
        QVERIFY(longRowPieces >= 3);
        QCOMPARE(lines.back().text, QStringLiteral("Dopo | fine"));
    }

    // The preview turns the page for a grid too wide for portrait, lays out
    // only the first page before it opens and the rest while it is open,
    // and ends with the pages a full layout makes.
    void thePreviewShowsPageOneFirstOnTheRightPage()
    {
        const QString doc = grid(19, 600, [](int r, int c) { return QStringLiteral("Cella%1-%2 x").arg(r).arg(c); });
        PrintPreviewDialog wide(doc);
        QCOMPARE(wide.previewPrinter().pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(wide.prepare());
        QVERIFY(!wide.allPagesReady());
        QVERIFY(wide.pageCount() >= 1);
        wide.show();
        QTRY_VERIFY(wide.allPagesReady());
        PrintPages all(doc);
        QVERIFY(
            all.layout(wide.previewPrinter(),
                       wide.previewPrinter().pageLayout().paintRectPixels(wide.previewPrinter().resolution()).size()));
        QCOMPARE(wide.pageCount(), all.pageCount());
        QVERIFY(all.pageCount() > 2);
        wide.hide();

        PrintPreviewDialog narrow(grid(2, 3, [](int r, int c) { return QStringLiteral("%1 %2").arg(r).arg(c); }));
        QCOMPARE(narrow.previewPrinter().pageLayout().orientation(), QPageLayout::Portrait);
        QVERIFY(narrow.prepare());
        QVERIFY(narrow.allPagesReady());
        QCOMPARE(narrow.pageCount(), 1);
    }

    // The painted page: header cells on blue, data cells on white, text drawn.
    void paintsTheHeaderOnBlue()
    {
        QImage d = device();
        PrintPages pages(grid(2, 3, [](int r, int c) { return QStringLiteral("Cella %1 %2").arg(r).arg(c); }));
        QVERIFY(pages.layout(d, kPortrait));
        QImage page(int(kPortrait.width()), int(kPortrait.height()), QImage::Format_RGB32);
        page.setDotsPerMeterX(d.dotsPerMeterX());
        page.setDotsPerMeterY(d.dotsPerMeterY());
        page.fill(Qt::white);
        QPainter p(&page);
        pages.paintPage(p, 0);
        p.end();
        const std::vector<PrintPages::Line> lines = pages.lines();
        const int headerY = int(lines[0].y + 4);
        const int dataY = int(lines[1].y + 4);
        QCOMPARE(page.pixelColor(20, headerY), QColor(0x33, 0x66, 0x99));
        QCOMPARE(page.pixelColor(20, dataY), QColor(Qt::white));
        int dark = 0;
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, int((lines[1].y + lines[2].y) / 2))) < 100 ? 1 : 0;
        QVERIFY(dark > 10);
    }
};

QTEST_MAIN(TestPrintPages)
#include "test_printpages.moc"
