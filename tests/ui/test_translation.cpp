// The English edition: the message box and the three ordered replacement
// tables that turn the Italian source texts into English.
#include "CalendarPerson.h"
#include "Controls.h"
#include "FlexGrid.h"
#include "Messages.h"
#include "RuntimeError.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "Translation.h"
#include "TranslationTables.h"

#include <QtTest>

namespace {
// A themed box that cannot be shown.
class BrokenPeople : public ScriptedPeople {
public:
    int themedMsgBox(const QString &, int, const QString &) override
    {
        raiseError(5, QStringLiteral("Invalid procedure call or argument"));
    }
};
} // namespace

class TestTranslation : public QObject {
    Q_OBJECT

private slots:
    void tablesHoldEveryRowInOrder()
    {
        const auto &msg = messageTable();
        const auto &cap = captionTable();
        const auto &btn = buttonTable();
        QCOMPARE(msg.size(), 47); // 40, then the several desks' refusals
        QCOMPARE(cap.size(), 94);
        QCOMPARE(btn.size(), 24);
        // A few rows verbatim, by position, so that a dropped, doubled or
        // mistyped row shows.
        QCOMPARE(msg[0].italian, QStringLiteral("Impossibile eliminare il record. Esistono assegni collegati."));
        QCOMPARE(msg[5].english, QStringLiteral("Select the account"));
        QCOMPARE(msg[34].italian, QStringLiteral("Selezionare il Conto Corrente"));
        QCOMPARE(msg[34].english, QStringLiteral("Select the acccount number"));
        QCOMPARE(msg[36].english, QStringLiteral("Unable to delete the record: related payments exist"));
        QCOMPARE(msg[39].italian, QStringLiteral("Inserire l'importo del pagamento"));
        QCOMPARE(cap[0].english, QStringLiteral("Incoming checques"));
        QCOMPARE(cap[3].italian, QStringLiteral("Tipologia Record Anagrafica"));
        QCOMPARE(cap[27].italian, QStringLiteral("Importo (€)"));
        QCOMPARE(cap[57].italian, QStringLiteral("merivolo"));
        QCOMPARE(cap[58].english, QStringLiteral("Also modify member's expiration date"));
        QCOMPARE(cap[75].italian, QStringLiteral("Merivolo"));
        QCOMPARE(cap[87].italian, QStringLiteral("Payments di"));
        QCOMPARE(cap[93].italian, QStringLiteral("Numero Payments"));
        QCOMPARE(cap[93].english, QStringLiteral("Payments number"));
        QCOMPARE(btn[0].italian, QStringLiteral("S&tampa"));
        QCOMPARE(btn[6].english, QStringLiteral("Deposit"));
        QCOMPARE(btn[15].english, QStringLiteral("CSV E&xport"));
        QCOMPARE(btn[23].italian, QStringLiteral("&Vai al sito web"));
        QCOMPARE(btn[23].english, QStringLiteral("&Go"));
    }

    void messages_data()
    {
        QTest::addColumn<QString>("italian");
        QTest::addColumn<QString>("english");
        QTest::newRow("no key") << "Nessuna chiave qui"
                                << "Nessuna chiave qui";
        QTest::newRow("delete") << "Sei sicuro di voler eliminare il record?"
                                << "Are you sure to delete the record?";
        QTest::newRow("minimum") << "Formato dell'importo minimo non valido"
                                 << "Invalid minimum amount";
        QTest::newRow("leading part only") << "Selezionare il socio di cui si vogliono visualizzare i pagamenti."
                                           << "Select the member di cui si vogliono visualizzare i pagamenti.";
        QTest::newRow("row 6 lower case") << "Selezionare il conto corrente"
                                          << "Select the account";
        QTest::newRow("row 35 upper case") << "Selezionare il Conto Corrente"
                                           << "Select the acccount number";
        QTest::newRow("backup failed") << "Errore durante la copia del database"
                                       << "Error occurred during the database backup";
        QTest::newRow("case-sensitive") << "selezionare il socio"
                                        << "selezionare il socio";
        QTest::newRow("every occurrence") << "Operazione eliminata / Operazione eliminata"
                                          << "Operation deleted / Operation deleted";
        QTest::newRow("not in the table") << "Data di nascita non valida"
                                          << "Data di nascita non valida";
        QTest::newRow("connect") << "Impossibile connettersi al database"
                                 << "Impossibile connettersi al database";
    }
    void messages()
    {
        QFETCH(QString, italian);
        QFETCH(QString, english);
        QCOMPARE(translateMessage(italian), english);
    }

    void captions_data()
    {
        QTest::addColumn<QString>("italian");
        QTest::addColumn<QString>("english");
        QTest::newRow("payment notes") << "Note Pagamento"
                                       << "Payment Notes";
        QTest::newRow("payments number") << "Numero Pagamenti"
                                         << "Payments number";
        QTest::newRow("contact type") << "Tipologia Record Anagrafica"
                                      << "Contact Type";
        QTest::newRow("payments by") << "Pagamenti di"
                                     << "Payments by";
        QTest::newRow("Su piazza") << "Su piazza"
                                   << "Town";
        QTest::newRow("Su Piazza") << "Su Piazza"
                                   << "Town Cheque";
        QTest::newRow("su piazza") << "su piazza"
                                   << "su piazza";
        QTest::newRow("da") << "da"
                            << "min";
        QTest::newRow("a") << "a"
                           << "to";
        QTest::newRow("su") << "su"
                            << "on";
        QTest::newRow("Data") << "Data"
                              << "Data";
        QTest::newRow("da inside") << "da 1 a 2"
                                   << "da 1 a 2";
        QTest::newRow("amount euro") << "Importo (€)"
                                     << "Amount";
        QTest::newRow("about") << "Informazioni su Merivolo"
                               << "About Socivant";
        QTest::newRow("title") << "Merivolo 1.0"
                               << "Socivant 1.0";
        QTest::newRow("lower-case title") << "merivolo.example.org"
                                          << "socivant.example.org";
        QTest::newRow("part of a caption") << "Cognome del Socio"
                                           << "Cognome del Member";
        QTest::newRow("version not in table") << "Versione 1.0"
                                              << "Versione 1.0";
        QTest::newRow("bank codes") << "ABI / CAB"
                                    << "Bank Code #1 / Bank Code #2";
        QTest::newRow("empty") << ""
                               << "";
    }
    void captions()
    {
        QFETCH(QString, italian);
        QFETCH(QString, english);
        QCOMPARE(SostituisciCaptionEng(italian), english);
    }

    void messageBoxTranslatesAndUsesTheProductTitle_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("result");
        QTest::newRow("no key") << "Errore sconosciuto" << 48 << 0 << "Errore sconosciuto" << 1;
        QTest::newRow("yes") << "Sei sicuro di voler eliminare il record?" << 4 << 6
                             << "Are you sure to delete the record?" << 6;
        QTest::newRow("no") << "Sei sicuro di voler eliminare il record?" << 4 << 7
                            << "Are you sure to delete the record?" << 7;
        QTest::newRow("information") << "Intestazione aggiornata con successo" << 64 << 0
                                     << "Header successfully modified" << 1;
        QTest::newRow("critical") << "Impossibile connettersi al database" << 16 << 0
                                  << "Impossibile connettersi al database" << 1;
    }
    void messageBoxTranslatesAndUsesTheProductTitle()
    {
        QFETCH(QString, prompt);
        QFETCH(int, style);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        QFETCH(int, result);
        TestFolder folder(false);
        ScriptedPeople people;
        if (style == 4)
            people.msgAnswers.push_back(answer);
        QCOMPARE(MyMsgBox(prompt, style, "Merivolo"), result);
        QCOMPARE(people.prompts.size(), 1);
        QCOMPARE(people.last().kind, QStringLiteral("msgbox"));
        QCOMPARE(people.last().text, shown);
        QCOMPARE(people.last().style, style);
        QCOMPARE(people.last().title, QStringLiteral("Socivant"));
    }

    void messageBoxThatCannotShowGivesNoAnswer()
    {
        TestFolder folder(false);
        BrokenPeople people;
        const int r = MyMsgBox("Sei sicuro di voler eliminare il record?", 4, "Merivolo");
        QCOMPARE(r, 0);
        QVERIFY(r != 6 && r != 7);
        QCOMPARE(people.messages(),
                 QStringList{
                     "Error 5 (Invalid procedure call or argument) in procedure MyMsgBox of Modulo basRegistering"});
        QCOMPARE(people.last().kind, QStringLiteral("plain"));
    }

    void controlsOfAWindow()
    {
        QWidget window;
        auto *skin = new SkinForm(&window);
        skin->setCaption("Informazioni su Merivolo");
        auto *lblDa = makeLabel(&window, "lblDa", "da");
        auto *lblA = makeLabel(&window, "lblA", "a");
        auto *lblSu = makeLabel(&window, "lblSu", "su");
        auto *lblData = makeLabel(&window, "lblData", "Data");
        auto *lblNote = makeLabel(&window, "lblNote", "Note Pagamento");
        auto *chk = makeCheckBox(&window, "chkSbarrato", "Sbarrato");
        auto *opt = makeOptionButton(&window, "optSocio", "Socio");
        auto *txt = makeTextBox(&window, "txtNote");
        txt->setText("Note");
        auto *picker = new DatePicker(&window, "dtpData");
        auto *exit1 = makeButton(&window, "cmdEsci", "Es&ci");
        auto *exit2 = makeButton(&window, "cmdEsci2", "E&sci");
        auto *ok = makeButton(&window, "cmdOK", "&Ok");
        auto *plain = makeButton(&window, "cmdNote", "Note");
        auto *versa = makeButton(&window, "cmdVersa", "&Versa");
        doEnglish({skin, lblDa, lblA, lblSu, lblData, lblNote, chk, opt, txt, picker, exit1, exit2, ok, plain, versa});
        QCOMPARE(skin->Caption(), QStringLiteral("About Socivant"));
        QCOMPARE(window.windowTitle(), QStringLiteral("About Socivant"));
        QCOMPARE(lblDa->text(), QStringLiteral("min"));
        QCOMPARE(lblA->text(), QStringLiteral("to"));
        QCOMPARE(lblSu->text(), QStringLiteral("on"));
        QCOMPARE(lblData->text(), QStringLiteral("Data"));
        QCOMPARE(lblNote->text(), QStringLiteral("Payment Notes"));
        QCOMPARE(chk->text(), QStringLiteral("Crossed"));
        QCOMPARE(opt->text(), QStringLiteral("Socio")); // option buttons are left alone
        QCOMPARE(txt->text(), QStringLiteral("Note"));  // so are text boxes
        QCOMPARE(picker->TextForToday(), QStringLiteral("Today"));
        QCOMPARE(exit1->text(), QStringLiteral("E&xit"));
        QCOMPARE(exit2->text(), QStringLiteral("&Exit"));
        QCOMPARE(ok->text(), QStringLiteral("&Ok"));
        QCOMPARE(plain->text(), QStringLiteral("Note")); // buttons use the button table only
        QCOMPARE(versa->text(), QStringLiteral("Deposit"));
    }

    // The calendar names months and days as the edition does whatever the
    // machine's language; a day clicked in it, and Today, fill the field.
    void datePickerSpeaksTheEdition()
    {
        PickerOnMachine on(QLocale(QLocale::Italian, QLocale::Italy));
        DatePicker *picker = on.picker;
        QVERIFY(QTest::qWaitForWindowExposed(&on.window));
        const CalendarSeen seen = pickDayInCalendar(*picker, 20);
        QCOMPARE(seen.month, QStringLiteral("December"));
        QCOMPARE(seen.monday, QStringLiteral("Mon"));
        QCOMPARE(picker->text(), QStringLiteral("20/12/2026"));
        QTest::mouseClick(picker->findChild<QPushButton *>(), Qt::LeftButton);
        QCOMPARE(picker->text(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    }

    void gridHeaderRow()
    {
        FlexGrid grid;
        grid.setCols(4);
        grid.setRows(2);
        const QStringList heads{"IDFIELD", "Note Pagamento", "Numero Pagamenti", "Tipologia Record Anagrafica"};
        for (int c = 0; c < 4; ++c) {
            grid.setTextMatrix(0, c, heads[c]);
            grid.setTextMatrix(1, c, "Note Pagamento");
        }
        doEnglishGrid(grid);
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("IDFIELD"));
        QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("Payment Notes"));
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("Payments number"));
        QCOMPARE(grid.TextMatrix(0, 3), QStringLiteral("Contact Type"));
        for (int c = 0; c < 4; ++c)
            QCOMPARE(grid.TextMatrix(1, c), QStringLiteral("Note Pagamento"));

        FlexGrid one;
        one.setCols(1);
        one.setTextMatrix(0, 0, "Socio");
        doEnglishGrid(one);
        QCOMPARE(one.TextMatrix(0, 0), QStringLiteral("Member"));
    }
};

QTEST_MAIN(TestTranslation)
#include "test_translation.moc"
