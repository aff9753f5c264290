// Form preparation: the common look, access keys, translation and centring.
#include "Controls.h"
#include "Form.h"
#include "FormPrep.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QScreen>
#include <QtTest>

class TestFormPrep : public QObject {
    Q_OBJECT

private slots:
    void buttonCaptions_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Ok") << "Ok"
                            << "&Ok";
        QTest::newRow("&Ok stays") << "&Ok"
                                   << "&Ok";
        QTest::newRow("OK") << "OK"
                            << "OK";
        QTest::newRow("ok") << "ok"
                            << "ok";
        QTest::newRow("Stampa") << "Stampa"
                                << "&Print";
        QTest::newRow("S&tampa") << "S&tampa"
                                 << "&Print";
        QTest::newRow("Esci") << "Esci"
                              << "&Exit";
        QTest::newRow("Elimina") << "Elimina"
                                 << "&Delete";
        QTest::newRow("Aggiungi") << "Aggiungi"
                                  << "&Add";
        QTest::newRow("Cerca") << "Cerca"
                               << "&Search";
        QTest::newRow("Esporta CSV") << "Esporta CSV"
                                     << "CSV E&xport";
        QTest::newRow("Versa") << "Versa"
                               << "Deposit";
        QTest::newRow("Annulla") << "Annulla"
                                 << "&Cancel";
        QTest::newRow("Reimposta") << "Reimposta"
                                   << "&Reset";
        QTest::newRow("no rule") << "Gira"
                                 << "Gira";
        QTest::newRow("caption table not used") << "Pagamenti"
                                                << "Pagamenti";
    }
    void buttonCaptions()
    {
        QFETCH(QString, design);
        QFETCH(QString, shown);
        TestFolder folder(false);
        ScriptedPeople people;
        Form form("frmTest");
        auto *b = makeButton(&form, "cmdTest", design);
        DisattivaTabstop(form.controls());
        QCOMPARE(b->text(), shown);
        QVERIFY(people.prompts.isEmpty());
    }

    void commonLook()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        Form form("frmTest"), bare("frmBare");
        auto *skin = new SkinForm(&form);
        auto *label = makeLabel(&form, "lblCognome", "Cognome");
        auto *combo = makeComboBox(&form, "cboTipologia");
        combo->setEditable(true);
        auto *text = makeTextBox(&form, "txtCognome");
        auto *browser = new WebBrowser(&form);
        const QIcon appIcon(QPixmap(16, 16)), own(QPixmap(8, 8));
        QApplication::setWindowIcon(appIcon);
        bare.setWindowIcon(own);
        makeLabel(&bare, "lblTitolo", "Titolo");
        DisattivaTabstop(form.controls());
        DisattivaTabstop(bare.controls());
        QApplication::setWindowIcon(QIcon());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(browser->focusPolicy(), Qt::NoFocus);
        QVERIFY(text->focusPolicy() != Qt::NoFocus);
        QVERIFY(!combo->isEditable());
        QVERIFY(skin->DrawGradientForm());
        QCOMPARE(form.windowIcon().cacheKey(), appIcon.cacheKey());
        QCOMPARE(bare.windowIcon().cacheKey(), own.cacheKey()); // no skin: keeps its own icon
        QVERIFY(people.prompts.isEmpty());
    }

    void centeredOffset_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("offset");
        QTest::newRow("8000 on 11520") << 11520 << 8000 << 1760;
        QTest::newRow("difference 3521") << 11520 << 7999 << 1760;
        QTest::newRow("same size") << 9000 << 9000 << 0;
        QTest::newRow("larger than screen") << 9000 << 10000 << -500;
        QTest::newRow("odd excess toward zero") << 9000 << 10001 << -500;
    }
    void centeredOffset()
    {
        QFETCH(int, screen);
        QFETCH(int, window);
        QFETCH(int, offset);
        QCOMPARE(::centeredOffset(screen, window), offset);
    }

    void centerFormPlacesTheWindowInTheMiddle()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        const QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QRect g = screen->geometry();
        Form form("frmTest");
        form.resize(g.width() / 2, g.height() / 3);
        CenterForm(form);
        const int expectTop =
            twipsToPixels(::centeredOffset(pixelsToTwips(g.height()), pixelsToTwips(form.frameGeometry().height())));
        const int expectLeft =
            twipsToPixels(::centeredOffset(pixelsToTwips(g.width()), pixelsToTwips(form.frameGeometry().width())));
        QCOMPARE(form.y(), expectTop);
        QCOMPARE(form.x(), expectLeft);
        QVERIFY(qAbs(form.y() + form.frameGeometry().height() / 2 - g.height() / 2) <= 1);
        QVERIFY(people.prompts.isEmpty());
    }
};

QTEST_MAIN(TestFormPrep)
#include "test_formprep.moc"
