// The Italian edition's member windows: captions and headers as written,
// printouts under the register's heading, the postal code rule, and the
// "Data..." columns sorted as dates.
#include "frmTipologiaPersone.h"
#include "members/MemberFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
QStringList headers(const FlexGrid &g)
{
    QStringList out;
    for (int c = 0; c < g.Cols(); ++c)
        out << g.TextMatrix(0, c);
    return out;
}

QString label(const QWidget &w, const char *name)
{
    const auto *l = w.findChild<QLabel *>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("(no %1)").arg(QLatin1String(name));
}

QStringList captions(const QList<QPushButton *> &buttons)
{
    QStringList out;
    for (const QPushButton *b : buttons)
        out << b->text();
    return out;
}

void withHeading(MemberFixture &fx)
{
    fx.tf.exec(QStringLiteral("create table settings (mnemocode text primary key, value text);"
                              "insert into settings values ('INTESTAZ', 'Circolo Aurora');"));
}
} // namespace

class TestItalianMembers : public QObject {
    Q_OBJECT

private slots:
    void listAsWritten()
    {
        MemberFixture fx;
        withHeading(fx);
        fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("T-1"));
        fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
            QCOMPARE(l.windowTitle(), QStringLiteral("Albo dei Soci"));
            QCOMPARE(headers(*l.MSFlexGrid1),
                     (QStringList{"IDFIELD",
                                  "IDFIELD",
                                  "Tipologia",
                                  "Cognome / Ragione Sociale",
                                  "Nome",
                                  "Indirizzo",
                                  "CAP",
                                  "Comune",
                                  "Provincia",
                                  "Telefono Casa",
                                  "Telefono Ufficio",
                                  "Fax",
                                  "Cellulare",
                                  "Codice Fiscale / Partita IVA",
                                  "E-mail",
                                  "Sito Web",
                                  "Note",
                                  "Numero Tessera",
                                  "Data Nascita",
                                  "Data Iscrizione",
                                  "Data Scadenza Iscrizione",
                                  "Data Creazione",
                                  "Data Ultima Modifica"}));
            QCOMPARE(captions({l.cmdAdd, l.cmdDelete, l.cmdSelect, l.cmdPrintGrid, l.cmdClose, l.cmdApriPagamenti,
                               l.cmdEsportaDati}),
                     (QStringList{"&Aggiungi", "&Elimina", "&Cerca", "S&tampa", "E&sci", "&Visualizza pagamenti",
                                  "Espo&rta CSV"}));
            l.cmdPrintGrid_Click();
        });
        fx.withList<frmTipologiaPersone>([&](frmTipologiaPersone &l) {
            QCOMPARE(l.windowTitle(), QStringLiteral("Tipologie Soci"));
            QCOMPARE(headers(*l.MSFlexGrid1),
                     (QStringList{"IDFIELD", "Tipologia", "Data Creazione", "Data Ultima Modifica"}));
            l.cmdPrintGrid_Click();
        });
        QCOMPARE(fx.people.previews.size(), 2);
        // The member list is printed under the register's heading, the
        // member types under the product's name.
        const QString members = fx.people.previews.at(0);
        QVERIFY(members.contains(QLatin1String(">Circolo Aurora - Albo dei Soci</p>")));
        QVERIFY(members.contains(QLatin1String("<th>Cognome / Ragione Sociale</th>")));
        QVERIFY(members.contains(QLatin1String("<th>Data Creazione</th>")));
        QVERIFY(!members.contains(QLatin1String("Numero Tessera")));
        QVERIFY(fx.people.previews.at(1).contains(QLatin1String(">Merivolo - Tipologie anagrafica</p>")));
        QVERIFY(fx.people.messages().isEmpty());
    }

    void editAndSearchWindowsAsWritten()
    {
        MemberFixture fx;
        withHeading(fx);
        fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("T-1"));
        fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
            QCOMPARE(e.windowTitle(), QStringLiteral("Albo dei Soci"));
            QCOMPARE((QStringList{label(e, "lblTipologia"), label(e, "lblCognome"), label(e, "lblCAP"),
                                  label(e, "lblCFIva"), label(e, "lblNumeroTessera"), label(e, "lblDataNascita")}),
                     (QStringList{"Tipologia", "Cognome / Ragione Sociale", "CAP", "Codice Fiscale / Partita IVA",
                                  "Numero Tessera", "Data Nascita"}));
            QCOMPARE(captions({e.cmdOK, e.cmdCancel, e.cmdPrint}),
                     (QStringList{"&Ok", "A&nnulla", "S&tampa scheda del socio"}));
            QCOMPARE(e.txtDataNascita->TextForToday(), QStringLiteral("Oggi"));
            e.cmdPrint_Click();
            e.cmdCancel_Click();
        });
        fx.nextModal<frmSelectAnagrafica>([&](frmSelectAnagrafica &s) {
            QCOMPARE(s.windowTitle(), QStringLiteral("Cerca in Anagrafica"));
            QCOMPARE((QStringList{label(s, "lblCognome"), label(s, "lblDataNascita"), label(s, "lblDataNascitaDa"),
                                  label(s, "lblDataNascitaA"), label(s, "lblDataScadenzaIscrizione")}),
                     (QStringList{"Cognome / Ragione Sociale", "Data di nascita", "da", "a",
                                  "Data scadenza iscrizione"}));
            QCOMPARE(captions({s.cmdOK, s.cmdCancel, s.cmdPrint, s.cmdClear}),
                     (QStringList{"&Ok", "A&nnulla", "S&tampa", "&Reimposta"}));
            QCOMPARE(s.optOR->text(), QStringLiteral("OR"));
            s.cmdCancel_Click();
        });
        fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
            MemberFixture::clickRow(l, 1);
            l.MSFlexGrid1_DblClick();
            l.cmdSelect_Click();
        });
        QCOMPARE(fx.people.previews.size(), 1);
        const QString sheet = fx.people.previews.at(0);
        QVERIFY(sheet.contains(QLatin1String(">Circolo Aurora</p><font style=\"font-family: arial ; font-size: 22pt;\">"
                                             "Scheda del socio</p><table>")));
        QVERIFY(sheet.contains(QLatin1String("<th>Cognome / Ragione Sociale</th><td>Rossi</td>")));
        QVERIFY(sheet.contains(QLatin1String("<th>Tipologia</th><td>Socio</td>")));
    }

    void postalCodeRule_data()
    {
        QTest::addColumn<QString>("cap");
        QTest::addColumn<QString>("refusal"); // empty: saved
        QTest::newRow("00123") << " 00123 "
                               << "";
        QTest::newRow("empty: not checked") << "  "
                                            << "";
        QTest::newRow("0123") << "0123"
                              << "Lunghezza del codice di avviamento postale non valida";
        QTest::newRow("12a45") << "12a45"
                               << "Il codice di avviamento postale contiene caratteri non validi";
        QTest::newRow("I-20100") << "I-20100"
                                 << "Lunghezza del codice di avviamento postale non valida";
    }
    void postalCodeRule()
    {
        QFETCH(QString, cap);
        QFETCH(QString, refusal);
        MemberFixture fx;
        fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
            e.cboTipologia->setCurrentIndex(e.cboTipologia->findText(QStringLiteral("Socio")));
            e.txtCognome->setText(QStringLiteral("Verdi"));
            e.txtCAP->setText(cap);
            e.txtDataNascita->setText(QStringLiteral("not a date")); // checked after the postal code
            e.cmdOK_Click();
            QCOMPARE(fx.people.last().text, refusal.isEmpty() ? QStringLiteral("Data di nascita non valida") : refusal);
            QCOMPARE(fx.people.last().title, QStringLiteral("Merivolo"));
            e.txtDataNascita->clear();
            e.cmdOK_Click();
            QCOMPARE(e.isLoaded(), !refusal.isEmpty());
            if (e.isLoaded())
                e.cmdCancel_Click();
        });
        fx.withList<frmAnagrafica>([](frmAnagrafica &) {}, 1);
        QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"),
                 refusal.isEmpty() ? QStringLiteral("1") : QStringLiteral("0"));
        if (refusal.isEmpty())
            QCOMPARE(fx.scalar("SELECT ifnull(CAP, 'Null') FROM Anagrafica"),
                     cap.trimmed().isEmpty() ? QStringLiteral("Null") : cap.trimmed());
    }

    // The headers keep their "Data" words, so these columns sort as dates:
    // day-first texts in date order, empty cells first.
    void dateColumnsSortAsDates()
    {
        MemberFixture fx;
        fx.addMember(1, 1, QStringLiteral("Primo"), QString());
        fx.addMember(2, 1, QStringLiteral("Secondo"), QString());
        fx.addMember(3, 1, QStringLiteral("Terzo"), QString());
        fx.tf.exec(QStringLiteral("UPDATE Anagrafica SET DataNascita = '01/02/2010' WHERE ANAGRAFICAID = 1;"
                                  "UPDATE Anagrafica SET DataNascita = '15/01/2010' WHERE ANAGRAFICAID = 3;"));
        fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
            FlexGrid &g = *l.MSFlexGrid1;
            const int col = 18;
            QCOMPARE(g.TextMatrix(0, col), QStringLiteral("Data Nascita"));
            auto column = [&] {
                QStringList out;
                for (int r = 1; r < g.Rows(); ++r)
                    out << g.TextMatrix(r, col);
                return out;
            };
            g.setCol(col);
            l.MSFlexGrid1_MouseDown(1, 0, 0, 1);
            QCOMPARE(column(), (QStringList{"", "15/01/2010", "01/02/2010"}));
            QCOMPARE(g.TextMatrix(3, 3), QStringLiteral("Primo")); // whole rows move
            g.setCol(col);
            l.MSFlexGrid1_MouseDown(1, 0, 0, 1);
            QCOMPARE(column(), (QStringList{"01/02/2010", "15/01/2010", ""}));
            QCOMPARE(g.Cols(), 23);
        });
        QVERIFY(fx.people.messages().isEmpty());
    }
};

QTEST_MAIN(TestItalianMembers)
#include "test_members.moc"
