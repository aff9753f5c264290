#include "Controls.h"
#include "FlexGrid.h"
#include "Form.h"
#include "Globals.h"
#include "PrintPages.h"
#include "PrintPreview.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "WebBrowser.h"

#include <QImage>
#include <QtTest>

namespace {
const QString kHead7 = QStringLiteral(
    "<html><HEAD><STYLE>     table {border-collapse:collapse;}"
    " th {    margin:5px;    padding: 3px;    border:1px solid #336699; "
    "background-color:#336699;    color:#FFFFFF;   font-family: Arial;  font-size: 7pt;    font-weight:bold; } "
    " td {    margin:5px;    padding: 3px;    border:1px solid #336699; "
    "background-color:#FFFFFF;    color:#000000;    font-family: Arial; font-size: 7pt; }        "
    " fontDettaglio { font-size: 7pt;  font-family: Arial; font-color: black; } "
    "</STYLE></HEAD><body>");
const QString kTable = QStringLiteral("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">");

// A grid of three columns: "ID", "Cognome", "Nome" and the given data rows.
void fillGrid(FlexGrid &g, const QList<QStringList> &data)
{
    g.setCols(3);
    g.setRows(int(data.size()) + 1);
    const QStringList head{QStringLiteral("ID"), QStringLiteral("Cognome"), QStringLiteral("Nome")};
    for (int c = 0; c < 3; ++c) {
        g.setColWidth(c, 1500);
        g.setTextMatrix(0, c, head.at(c));
    }
    for (int r = 0; r < data.size(); ++r)
        for (int c = 0; c < 3; ++c)
            g.setTextMatrix(r + 1, c, data.at(r).at(c));
}

void setSkipList(std::initializer_list<short> values)
{
    gPrintSkipColumns = QVector<short>(101, 0);
    int i = 1;
    for (short v : values)
        (*gPrintSkipColumns)[i++] = v;
}

QString gridBody(WebBrowser &web, FlexGrid &g)
{
    web.Navigate(QStringLiteral("about:blank"));
    printWebGrid(g, web);
    return web.documentText();
}
} // namespace

class TestPrintPreview : public QObject {
    Q_OBJECT
private slots:
    void init() { startNewRun(); }

    void headAndTitleLines()
    {
        TestFolder folder;
        folder.open();
        folder.exec(QStringLiteral("create table settings (mnemocode varchar(64) primary key, value text);"
                                   "insert into settings values ('INTESTAZ','Circolo')"));
        ScriptedPeople people;
        WebBrowser web;
        gPrintFontSize = 9;
        initPrintPreview(web);
        QString head9 = kHead7;
        head9.replace(QStringLiteral("7pt"), QStringLiteral("9pt"));
        QCOMPARE(web.documentText(), head9);
        QCOMPARE(web.documentText().count(QStringLiteral("font-size: 9pt")), 3);

        // A new document starts from nothing.
        gPrintFontSize = 7;
        initPrintPreview(web);
        QCOMPARE(web.documentText(), kHead7);

        printWebTitle(web);
        printWebSubtitle(web, QStringLiteral("Elenco soci"));
        printString(QStringLiteral("<b>x & y</b>"), web);
        endPrintPreview(web);
        QCOMPARE(web.documentText(),
                 kHead7
                     + QStringLiteral("<font style=\"font-family: arial ; font-size: 22pt;\">Socivant</p>"
                                      "<font style=\"font-family: arial ; font-size: 22pt;\">Elenco soci</p>"
                                      "<b>x & y</b></body></html>"));
        QVERIFY(!web.isDocumentOpen());

        goPrintPreview(web);
        QCOMPARE(people.previews, QStringList{web.documentText()});
        QCOMPARE(people.messages(), QStringList());
    }

    // What was typed is what prints: entities stay as typed, markup stays
    // text, a note's line breaks stay line breaks.
    void escaping()
    {
        QCOMPARE(formattaPerStampa(QStringLiteral("a<b>c")), QStringLiteral("a&lt;b&gt;c"));
        QCOMPARE(formattaPerStampa(QStringLiteral("Rossi & Bianchi")), QStringLiteral("Rossi &amp; Bianchi"));
        QCOMPARE(formattaPerStampa(QStringLiteral("&amp; &lt;b&gt; &#65;")),
                 QStringLiteral("&amp;amp; &amp;lt;b&amp;gt; &amp;#65;"));
        QCOMPARE(formattaPerStampa(QStringLiteral("uno\ndue\r\ntre\rquattro")),
                 QStringLiteral("uno<br>due<br>tre<br>quattro"));
        QImage device(1, 1, QImage::Format_RGB32);
        device.setDotsPerMeterX(5906);
        device.setDotsPerMeterY(5906);
        PrintPages pages(kHead7 + kTable + QStringLiteral("<tr><th>Nota</th><th>Data</th></tr><tr><td>")
                         + formattaPerStampa(QStringLiteral("&amp; <!-- x\nseconda riga")) + QStringLiteral("</td><td>")
                         + formattaPerStampa(QStringLiteral("01/02/2020")) + QStringLiteral("</td></tr></table>"));
        QVERIFY(pages.layout(device, QSizeF(1200, 1600)));
        QCOMPARE(pages.lines().at(1).text, QStringLiteral("&amp; <!-- x\nseconda riga | 01/02/2020"));
        QCOMPARE(pages.lines().at(1).lineCount, 2);
    }

    void gridColumnsLeftOut()
    {
        ScriptedPeople people;
        WebBrowser web;
        FlexGrid g;

        // Header only: one row of header cells.
        fillGrid(g, {});
        setSkipList({-1});
        QCOMPARE(gridBody(web, g),
                 kTable + QStringLiteral("<tr><th>ID</th><th>Cognome</th><th>Nome</th></tr></table>"));

        fillGrid(g, {{QStringLiteral("1"), QStringLiteral("a<b>c"), QStringLiteral("Rossi & Bianchi")}});
        QCOMPARE(gridBody(web, g),
                 kTable
                     + QStringLiteral("<tr><th>ID</th><th>Cognome</th><th>Nome</th></tr>"
                                      "<tr><td>1</td><td>a&lt;b&gt;c</td><td>Rossi &amp; Bianchi</td></tr></table>"));

        // A zero-width column is never printed, named in the skip list or not.
        g.setColWidth(0, 0);
        QCOMPARE(gridBody(web, g),
                 kTable
                     + QStringLiteral("<tr><th>Cognome</th><th>Nome</th></tr>"
                                      "<tr><td>a&lt;b&gt;c</td><td>Rossi &amp; Bianchi</td></tr></table>"));
        g.setColWidth(0, 1500);

        setSkipList({0, 2, -1});
        QCOMPARE(gridBody(web, g),
                 kTable + QStringLiteral("<tr><th>Cognome</th></tr><tr><td>a&lt;b&gt;c</td></tr></table>"));

        // Only entries before the first -1 count; index 0 is never read.
        setSkipList({-1, 1});
        (*gPrintSkipColumns)[0] = 2;
        QCOMPARE(gridBody(web, g).count(QStringLiteral("<th>")), 3);
        QCOMPARE(people.messages(), QStringList());
    }

    void aLongGridIsWrittenAsEachCellsEscapedText()
    {
        // The grid is written from its own bytes in pieces: every cell must
        // still read as formattaPerStampa gives it, across the pieces too.
        ScriptedPeople people;
        WebBrowser web;
        FlexGrid g;
        const QStringList texts{QStringLiteral("riga\r\naltra\rterza\nquarta"),
                                QStringLiteral("a&b <c> &amp;"),
                                QStringLiteral("Niccol\u00F2 \u039A\u03C9\u03BD \u05DB\u05D4\u05DF"),
                                QStringLiteral("\U0001F600 \u4E2D\u6587"),
                                QString(),
                                QString(700, QLatin1Char('&'))};
        QList<QStringList> data;
        for (int r = 0; r < 600; ++r)
            data << QStringList{QString::number(r), texts.at(r % texts.size()), texts.at((r + 1) % texts.size())};
        fillGrid(g, data);
        setSkipList({-1});
        QString expected = kTable + QStringLiteral("<tr><th>ID</th><th>Cognome</th><th>Nome</th></tr>");
        for (const QStringList &row : data) {
            expected += QStringLiteral("<tr>");
            for (const QString &cell : row)
                expected += QStringLiteral("<td>") + formattaPerStampa(cell) + QStringLiteral("</td>");
            expected += QStringLiteral("</tr>");
        }
        expected += QStringLiteral("</table>");
        QVERIFY(expected.size() > 3 * 65536);
        QCOMPARE(gridBody(web, g), expected);
        QCOMPARE(people.messages(), QStringList());
    }

    void faultsAreReportedAndTheCallerGoesOn()
    {
        ScriptedPeople people;
        WebBrowser web;
        FlexGrid g;
        fillGrid(g, {{QStringLiteral("1"), QStringLiteral("Rossi"), QStringLiteral("Anna")}});

        // A skip list that never ends.
        gPrintSkipColumns = QVector<short>(101, 5);
        initPrintPreview(web);
        printWebGrid(g, web);
        endPrintPreview(web);
        QCOMPARE(people.messages(),
                 QStringList{QStringLiteral(
                     "Error 9 (Subscript out of range) in procedure printWebGrid of Modulo basPrintPreview")});
        QCOMPARE(people.last().style, 48);
        QCOMPARE(web.documentText(), kHead7 + kTable + QStringLiteral("<tr></body></html>"));

        // A browser with no document: every routine reports, none throws.
        people.prompts.clear();
        WebBrowser blank;
        printString(QStringLiteral("x"), blank);
        endPrintPreview(blank);
        goPrintPreview(blank);
        QCOMPARE(people.messages().size(), 3);
        QVERIFY(people.messages().at(0).endsWith(QStringLiteral("in procedure printString of Modulo basPrintPreview")));
        QVERIFY(
            people.messages().at(2).endsWith(QStringLiteral("in procedure goPrintPreview of Modulo basPrintPreview")));
        QVERIFY(people.previews.isEmpty());
    }

    void recordSheet()
    {
        TestFolder folder;
        folder.open();
        folder.exec(QStringLiteral("create table settings (mnemocode varchar(64) primary key, value text);"
                                   "insert into settings values ('INTESTAZ','Circolo')"));
        ScriptedPeople people;
        Form form(QStringLiteral("frmEditAnagrafica"));
        makeLabel(&form, QStringLiteral("lblCognome"), QStringLiteral("Surname"));
        makeTextBox(&form, QStringLiteral("txtCognome"))->setText(QStringLiteral("O'Neil <jr>"));
        makeLabel(&form, QStringLiteral("lblNome"), QStringLiteral("Name"))->setVisible(false);
        QLineEdit *nome = makeTextBox(&form, QStringLiteral("txtNome"));
        nome->setText(QStringLiteral("Anna"));
        nome->setVisible(false);
        makeTextBox(&form, QStringLiteral("txtNote"))->setText(QStringLiteral("note"));
        QCheckBox *grey = makeCheckBox(&form, QStringLiteral("chkQuota"), QStringLiteral("Paid"));
        setCheckValue(grey, 2);
        setCheckValue(makeCheckBox(&form, QStringLiteral("chkAttivo"), QStringLiteral("Active")), 0);
        QComboBox *combo = makeComboBox(&form, QStringLiteral("cmbTipo"));
        comboAddItem(combo, QStringLiteral("A<B"), 1);
        combo->setCurrentIndex(0);
        makeLabel(&form, QStringLiteral("lblDataNascita"), QStringLiteral("Birth date"));
        (new DatePicker(&form, QStringLiteral("dtpDataNascita")))->setDate(QDate(1980, 2, 29));
        auto *web = new WebBrowser(&form);

        printThisForm(form, *web);

        const QString title = QStringLiteral("<font style=\"font-family: arial ; font-size: 22pt;\">");
        const QString expected = kHead7 + title + QStringLiteral("Socivant</p>") + title
            + QStringLiteral("Scheda del socio</p><table>"
                             "<tr></tr>"                                           // lblCognome
                             "<tr><th>Surname</th><td>O'Neil &lt;jr&gt;</td></tr>" // txtCognome
                             "<tr><td>note</td></tr>"                              // txtNote
                             "<tr><th>Paid</th><td>S\u00EC</td></tr>"
                             "<tr><th>Active</th><td>No</td></tr>"
                             "<tr><td>A&lt;B</td></tr>" // cmbTipo, no label
                             "<tr></tr><tr><th>Birth date</th><td>29/02/1980</td></tr>"
                             "</table></body></html>");
        QCOMPARE(web->documentText(), expected);
        QCOMPARE(people.previews, QStringList{expected});
        QCOMPARE(people.messages(), QStringList());
    }

    void recordSheetWithoutHeading()
    {
        ScriptedPeople people;
        Form form(QStringLiteral("frmEditTipologiaPersone"));
        makeTextBox(&form, QStringLiteral("txtDescrizione"))->setText(QStringLiteral("Ordinary"));
        WebBrowser web;
        printThisForm(form, web);
        QCOMPARE(web.documentText(),
                 kHead7 + QStringLiteral("<table><tr><td>Ordinary</td></tr></table></body></html>"));
    }

    // The pages show the title lines' stray "</p>" ending each line, as a
    // browser does; a record sheet's rows without cells take no room.
    void renderedPages()
    {
        QImage device(1, 1, QImage::Format_RGB32);
        device.setDotsPerMeterX(5906); // 150 dpi
        device.setDotsPerMeterY(5906);
        PrintPages pages(kHead7
                         + QStringLiteral("<font style=\"font-family: arial ; font-size: 22pt;\">Socivant</p>"
                                          "<font style=\"x\">Elenco soci</p>")
                         + kTable
                         + QStringLiteral("<tr><th>Cognome</th></tr><tr><td>Rossi</td></tr></table></body></html>"));
        QVERIFY(pages.layout(device, QSizeF(1200, 1600)));
        const std::vector<PrintPages::Line> lines = pages.lines();
        QCOMPARE(int(lines.size()), 4);
        QCOMPARE(lines[0].text, QStringLiteral("Socivant"));
        QCOMPARE(lines[1].text, QStringLiteral("Elenco soci"));
        QCOMPARE(lines[2].text, QStringLiteral("Cognome"));
        QCOMPARE(lines[3].text, QStringLiteral("Rossi"));
        // Each line below the one before, with the empty paragraph between.
        QVERIFY(lines[1].y - lines[0].y > 1.5 * 22 * 150 / 72);
        QVERIFY(lines[2].y > lines[1].y);

        PrintPages sheet(
            kHead7 + QStringLiteral("<table><tr></tr><tr><th>A</th><td>1</td></tr><tr></tr></table></body></html>"));
        QVERIFY(sheet.layout(device, QSizeF(1200, 1600)));
        QCOMPARE(int(sheet.lines().size()), 1);
        QCOMPARE(sheet.lines()[0].text, QStringLiteral("A | 1"));
    }
};

QTEST_MAIN(TestPrintPreview)
#include "test_printpreview.moc"
