// The Italian edition's shell: the main and information windows as they are
// written, the backup and heading prompts, and message boxes that show the
// caller's text and title.
#include "CalendarPerson.h"
#include "Database.h"
#include "Globals.h"
#include "Messages.h"
#include "QtPeople.h"
#include "Translation.h"
#include "app/MainWindowRun.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using Run = MainWindowRun;

class TestItalianShell : public QObject {
    Q_OBJECT

private slots:
    void windowsAsWritten()
    {
        Run run;
        frmMain &w = run.start();
        QVERIFY(w.isLoaded());
        QCOMPARE(gDbPath, QDir(run.folder.path()).filePath(QStringLiteral("merivolo.db3")));
        QCOMPARE(w.windowTitle(), QStringLiteral("Merivolo 1.0"));
        QCOMPARE(w.OsenXPLabel1->text(), QStringLiteral("Merivolo 1.0"));
        QStringList captions;
        for (QPushButton *b : {w.cmdAnagrafica, w.cmdTipologia, w.cmdContiCorrenti, w.cmdReportistica, w.cmdInfo,
                               w.cmdCambiaIntestazione, w.cmdBackup, w.cmdEsci})
            captions << b->text();
        QCOMPARE(captions,
                 (QStringList{"Albo dei &Soci", "&Tipologie Soci", "&Pagamenti", "Re&ports", "&Informazioni",
                              "&Modifica intestazione", "Database &Backup", "Es&ci"}));

        QStringList seen;
        run.people.modal.push_back([&](Form &f) {
            auto &about = static_cast<frmAbout &>(f);
            seen << about.windowTitle() << about.lblTitle->text() << about.txtWebPage->text()
                 << about.cmdGoToWebPage->text() << about.findChild<QLabel *>("lblSitoWeb")->text();
            about.cmdOK->click();
        });
        w.cmdInfo->click();
        // The design address stays: only the English edition puts its own.
        QCOMPARE(seen,
                 (QStringList{"Informazioni su Merivolo", "Merivolo", "https://merivolo.example.org/",
                              "&Vai al sito web", "Sito web:"}));
        QVERIFY(run.people.prompts.isEmpty());
    }

    void backupPromptsAndCopiesMerivolo()
    {
        Run run;
        frmMain &w = run.start();
        const QString dir = run.folder.file("copie");
        QVERIFY(QDir().mkdir(dir));
        run.people.inputAnswers.push_back(dir);
        run.people.inputAnswers.push_back(dir);
        w.cmdBackup->click();
        w.cmdBackup->click(); // the copy is there already
        QCOMPARE(run.people.prompts.size(), 4);
        for (int i : {0, 2}) {
            QCOMPARE(run.people.prompts[i].kind, QStringLiteral("input"));
            QCOMPARE(run.people.prompts[i].text, QStringLiteral("Inserire il percorso dove copiare il database"));
            QCOMPARE(run.people.prompts[i].title, QStringLiteral("Merivolo"));
        }
        QCOMPARE(run.people.messages(),
                 (QStringList{"Copia del database avvenuta con successo", "Errore durante la copia del database"}));
        QCOMPARE(run.people.prompts[1].title, QStringLiteral("Merivolo"));
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"merivolo.db3"});
        QCOMPARE(readFile(dir + "/merivolo.db3"), readFile(run.folder.dbPath()));
    }

    void headingPrompt_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("new heading") << "Circolo dell'Arte"
                                     << "Circolo dell'Arte"
                                     << "Intestazione aggiornata con successo";
        QTest::newRow("blanks") << "  "
                                << "Associazione"
                                << "Intestazione non modificata";
    }
    void headingPrompt()
    {
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        Run run;
        frmMain &w = run.start();
        run.people.inputAnswers.push_back(answer);
        w.cmdCambiaIntestazione->click();
        QCOMPARE(run.people.prompts[0].text, QStringLiteral("Inserire l'intestazione"));
        QCOMPARE(run.people.prompts[0].title, QStringLiteral("Merivolo"));
        QCOMPARE(run.people.inputDefaults, QStringList{"Associazione"});
        QCOMPARE(run.people.messages(), QStringList{message});
        QCOMPARE(run.people.last().title, QStringLiteral("Merivolo"));
        QCOMPARE(run.setting("INTESTAZ"), stored);
    }

    // The English edition translates the text and always shows its own
    // title; this one shows what the caller passed.
    void messagesKeepTheCallersTextAndTitle_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::newRow("question") << "Sei sicuro di voler eliminare il record?" << 4 << "Merivolo";
        QTest::newRow("message table key inside")
            << "Selezionare il socio di cui si vogliono visualizzare i pagamenti." << 48 << "Merivolo";
        QTest::newRow("another title") << "Could not find associated Browser" << 48 << "Browser Not Found";
    }
    void messagesKeepTheCallersTextAndTitle()
    {
        QFETCH(QString, prompt);
        QFETCH(int, style);
        QFETCH(QString, title);
        TestFolder folder;
        ScriptedPeople people;
        if (style == MsgStyle::YesNo)
            people.msgAnswers.push_back(MsgResult::No);
        QCOMPARE(MyMsgBox(prompt, style, title), style == MsgStyle::YesNo ? MsgResult::No : MsgResult::Ok);
        QCOMPARE(people.prompts.size(), 1);
        QCOMPARE(people.last().text, prompt);
        QCOMPARE(people.last().style, style);
        QCOMPARE(people.last().title, title);
    }

    // The buttons Qt draws itself: the question box answers in Italian, and
    // Escape on it still means No.
    // The calendar names months and days in Italian on an English machine.
    void datePickerSpeaksTheEdition()
    {
        PickerOnMachine on(QLocale(QLocale::English, QLocale::UnitedStates));
        DatePicker *picker = on.picker;
        QVERIFY(QTest::qWaitForWindowExposed(&on.window));
        const CalendarSeen seen = pickDayInCalendar(*picker, 20);
        QCOMPARE(seen.month, QStringLiteral("dicembre"));
        QCOMPARE(seen.monday, QStringLiteral("lun"));
        QCOMPARE(picker->text(), QStringLiteral("20/12/2026"));
    }

    void qtsOwnDialogsInItalian()
    {
        QVERIFY(installToolkitTranslation());
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QtPeople qt;
        QCOMPARE(qt.themedMsgBox(QStringLiteral("Sei sicuro?"), MsgStyle::YesNo | MsgStyle::Question,
                                 QStringLiteral("Merivolo")),
                 MsgResult::No);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"&No", "&S\u00EC"}));
        QCOMPARE(QCoreApplication::translate("QProgressDialog", "Cancel"), QStringLiteral("Annulla"));
        QCOMPARE(QCoreApplication::translate("PrintPreviewDialog", "Preparing the pages..."),
                 QStringLiteral("Preparazione delle pagine..."));
    }
};

QTEST_MAIN(TestItalianShell)
#include "test_shell.moc"
