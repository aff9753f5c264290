// The main window: the start-up in its load handler, the settings loaded at
// activation, the backup and heading commands, and the information window.
#include "AppFolder.h"
#include "AppHooks.h"
#include "Clock.h"
#include "Database.h"
#include "Globals.h"
#include "MainWindowRun.h"
#include "People.h"
#include "QtPeople.h"
#include "ScriptedPeople.h"
#include "Settings.h"
#include "SubsystemWindows.h"
#include "TestFolder.h"
#include "frmAbout.h"
#include "frmAnagrafica.h"
#include "frmAssegniEmessi.h"
#include "frmMain.h"
#include "frmMieiContiCorrenti.h"
#include "frmPagamenti.h"
#include "frmTipologiaPersone.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
QList<RunState<QString> *> filters()
{
    return {&frmAnagrafica::gWhereAnagrafica, &frmTipologiaPersone::gWhereTipologiaPersone,
            &frmPagamenti::gWherePagamenti, &frmMieiContiCorrenti::gWhereMieiContiCorrenti,
            &frmAssegniEmessi::gWhereAssegniEmessi};
}

void setAllFilters(const QString &w)
{
    for (RunState<QString> *f : filters())
        *f = w;
}

QStringList allFilters()
{
    QStringList out;
    for (RunState<QString> *f : filters())
        out << **f;
    return out;
}

using Run = MainWindowRun;
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void startUp()
    {
        Run run;
        frmMain &w = run.start();
        QVERIFY(w.isLoaded());
        QCOMPARE(gDbType, QStringLiteral(SOCIVANT_DB_TYPE));
        if (!TestFolder::onServer()) // a server has no file path
            QCOMPARE(gDbPath, run.folder.dbPath());
        QCOMPARE(gUpdatePhase, short(0));
        QCOMPARE(run.setting("NUMERLAN"), QStringLiteral("2"));
        QCOMPARE(run.setting("INTESTAZ"), QStringLiteral("Associazione"));
        QVERIFY(gErrorTrapping);
        QCOMPARE(gPrintFontSize, 7);
        QCOMPARE(gLogStatus, QStringLiteral("OFF"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Socivant 1.0"));
        QCOMPARE(w.OsenXPLabel1->text(), QStringLiteral("Socivant 1.0"));
        QStringList captions;
        for (QPushButton *b : {w.cmdAnagrafica, w.cmdTipologia, w.cmdContiCorrenti, w.cmdReportistica, w.cmdInfo,
                               w.cmdCambiaIntestazione, w.cmdBackup, w.cmdEsci})
            captions << b->text();
        QCOMPARE(captions,
                 (QStringList{"&Members Book", "Members &types", "P&ayments", "Re&ports", "Abou&t", "Change &headings",
                              "Database &Backup", "E&xit"}));
        QCOMPARE(w.cmdBackup->isHidden(), TestFolder::onServer()); // nothing to copy on a server
        QVERIFY2(run.people.prompts.isEmpty(), qPrintable(run.people.messages().join('\n')));
    }

    void missingOrForeignDatabaseEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a database") << QByteArray("PK\x03\x04 a zip, not a register");
    }
    void missingOrForeignDatabaseEndsTheProgram()
    {
        QFETCH(QByteArray, content);
        if (TestFolder::onServer() && !content.isEmpty())
            QSKIP("a register file of SQLite");
        Run run(false);
        if (!content.isEmpty())
            writeFile(run.folder.dbPath(), content);
        writeFile(run.folder.file("nuovireport.sql"), "create table extra (a)\n");
        frmMain &w = run.start();
        QVERIFY(!w.isLoaded());
        QCOMPARE(run.people.prompts.size(), 1);
        // The reason is in the box: a desk started from a menu shows no error output.
        QVERIFY(run.people.last().text.startsWith(QLatin1String("Impossibile connettersi al database\n\n")));
        QVERIFY(run.people.last().text.contains(TestFolder::onServer()  ? QLatin1String("Unknown database")
                                                    : content.isEmpty() ? QLatin1String("unable to open database file")
                                                                        : QLatin1String("file is not a database")));
        QCOMPARE(run.people.last().style, 16);
        QCOMPARE(run.people.last().title, QStringLiteral("Socivant"));
        if (content.isEmpty())
            QVERIFY(!QFile::exists(run.folder.dbPath()));
        else
            QCOMPARE(readFile(run.folder.dbPath()), content);
        QVERIFY(!content.isEmpty() || !run.folder.registerExists());
        QCOMPARE(run.folder.files().size(), content.isEmpty() ? 1 : 2);
    }

    void badPrintSizeStopsTheActivation_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("points"); // 0: the activation fails
        QTest::newRow("decimal rounds") << "9,6" << 10;
        QTest::newRow("half to even") << "8,5" << 8;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("word") << "sette" << 0;
    }
    void badPrintSizeStopsTheActivation()
    {
        QFETCH(QString, size);
        QFETCH(int, points);
        Run run;
        run.folder.exec("create table settings (mnemocode varchar(64) primary key, value text);"
                        "insert into settings values ('PRTCSIZE', '"
                        + size
                        + "');"
                          "insert into settings values ('LOGSTATUS', 'OFF');");
        run.start();
        if (points) {
            QCOMPARE(gPrintFontSize, points);
            QCOMPARE(gLogStatus, QStringLiteral("OFF"));
            QVERIFY(run.people.prompts.isEmpty());
        } else {
            QCOMPARE(gLogStatus, QString());
            QCOMPARE(run.people.messages(),
                     QStringList{"Error 13 (Type mismatch) in procedure Form_Activate of Form frmMain"});
        }
    }

    void traceLogStartsAtTheFirstActivation()
    {
        Run run;
        run.folder.exec("create table settings (mnemocode varchar(64) primary key, value text);"
                        "insert into settings values ('LOGSTATUS', 'ON');"
                        "insert into settings values ('PRTCSIZE', '7');");
        const QString log = run.folder.file("merivolo3.log");
        run.main = std::make_unique<frmMain>();
        run.main->load();
        QVERIFY(!QFile::exists(log)); // nothing of the load sequence
        run.main->Form_Activate();
        QCOMPARE(gLogStatus, QStringLiteral("ON"));
        run.people.inputAnswers.push_back(QString());
        run.main->cmdBackup->click();
        const QList<QByteArray> lines = readFile(log).split('\n');
        QVERIFY(lines.size() > 1);
        QVERIFY(lines.last().isEmpty());
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QVERIFY(lines[i].startsWith("[05/03/2026 - 09:07:03] "));
            QVERIFY(lines[i].endsWith('\r'));
        }
        QVERIFY(readFile(log).contains("[05/03/2026 - 09:07:03] frmMain::cmdBackup_Click\r\n"));
    }

    void unwritableLogIsReportedOnceAndTheProgramGoesOn()
    {
        Run run;
        run.folder.exec("create table settings (mnemocode varchar(64) primary key, value text);"
                        "insert into settings values ('LOGSTATUS', 'ON');"
                        "insert into settings values ('PRTCSIZE', '7');");
        // A folder in the log file's place cannot be appended to, root or not.
        QVERIFY(QDir().mkdir(run.folder.file("merivolo3.log")));
        frmMain &w = run.start();
        QVERIFY(run.people.prompts.isEmpty()); // LOGSTATUS is loaded last
        run.people.inputAnswers.push_back("Nuova intestazione");
        w.cmdCambiaIntestazione->click();
        const QStringList shown = run.people.messages();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].startsWith("Error 75 ("));
        QVERIFY(shown[0].endsWith(") in procedure addToLog of Modulo basGeneralCustom"));
        QCOMPARE(run.people.prompts[0].title, QStringLiteral("Socivant"));
        QCOMPARE(shown[1], QStringLiteral("Header successfully modified"));
        QCOMPARE(run.setting("INTESTAZ"), QStringLiteral("Nuova intestazione"));
    }

    void backupTargets_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("without separator") << "";
        QTest::newRow("with separator") << "/";
        QTest::newRow("with blanks") << "/  ";
    }
    void backupTargets()
    {
        if (TestFolder::onServer())
            QSKIP("the backup copies an SQLite file; on a server it is hidden");
        QFETCH(QString, suffix);
        Run run;
        frmMain &w = run.start();
        const QString dir = run.folder.file("copie");
        QVERIFY(QDir().mkdir(dir));
        run.people.inputAnswers.push_back("  " + dir + suffix);
        w.cmdBackup->click();
        QCOMPARE(gUpdatePhase, short(4));
        QCOMPARE(run.people.prompts.size(), 2);
        QCOMPARE(run.people.prompts[0].text, QStringLiteral("Enter the destination path of the database backup"));
        QCOMPARE(run.people.prompts[0].title, QStringLiteral("Socivant"));
        QCOMPARE(run.people.inputDefaults, QStringList{QString()});
        QCOMPARE(run.people.last().text, QStringLiteral("Database backupped successfully"));
        QCOMPARE(run.people.last().style, 64);
        const QString target = dir + "/socivant.db3";
        QCOMPARE(readFile(target), readFile(run.folder.dbPath()));
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"socivant.db3"});
    }

    void backupRefused_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("earlier copy there") << true;
        QTest::newRow("missing folder") << false;
    }
    void backupRefused()
    {
        if (TestFolder::onServer())
            QSKIP("the backup copies an SQLite file; on a server it is hidden");
        QFETCH(bool, folderExists);
        Run run;
        frmMain &w = run.start();
        const QString dir = run.folder.file("copie");
        const QByteArray earlier("an earlier copy that must survive");
        if (folderExists) {
            QVERIFY(QDir().mkdir(dir));
            writeFile(dir + "/socivant.db3", earlier);
        }
        run.people.inputAnswers.push_back(dir);
        w.cmdBackup->click();
        QCOMPARE(run.people.messages(), QStringList{"Error occurred during the database backup"});
        QCOMPARE(run.people.last().style, 48);
        if (folderExists)
            QCOMPARE(readFile(dir + "/socivant.db3"), earlier);
        else
            QVERIFY(!QFile::exists(dir));
    }

    void backupWithBlankAnswerShowsNothing_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel") << "";
        QTest::newRow("blanks") << "   ";
    }
    void backupWithBlankAnswerShowsNothing()
    {
        QFETCH(QString, answer);
        Run run;
        frmMain &w = run.start();
        run.people.inputAnswers.push_back(answer);
        w.cmdBackup->click();
        QCOMPARE(run.people.prompts.size(), 1);
        QCOMPARE(run.people.last().kind, QStringLiteral("input"));
    }

    void heading_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        const QString ok = QStringLiteral("Header successfully modified");
        const QString kept = QStringLiteral("Header not modified");
        QTest::newRow("unchanged") << "Associazione"
                                   << "Associazione" << ok;
        QTest::newRow("apostrophe") << "Circolo dell'Arte"
                                    << "Circolo dell'Arte" << ok;
        QTest::newRow("leading blanks") << "   Circolo "
                                        << "   Circolo " << ok;
        QTest::newRow("quote and semicolon") << "x'; delete from settings; --"
                                             << "x'; delete from settings; --" << ok;
        QTest::newRow("cancel") << ""
                                << "Associazione" << kept;
        QTest::newRow("blanks") << "  "
                                << "Associazione" << kept;
    }
    void heading()
    {
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        Run run;
        frmMain &w = run.start();
        run.people.inputAnswers.push_back(answer);
        w.cmdCambiaIntestazione->click();
        QCOMPARE(run.people.prompts[0].text, QStringLiteral("Enter the new header"));
        QCOMPARE(run.people.prompts[0].title, QStringLiteral("Socivant"));
        QCOMPARE(run.people.inputDefaults, QStringList{"Associazione"});
        QCOMPARE(run.people.messages(), QStringList{message});
        QCOMPARE(run.people.last().style, message == QLatin1String("Header not modified") ? 48 : 64);
        QCOMPARE(run.setting("INTESTAZ"), stored);
        QCOMPARE(run.folder.scalar("select count(*) from settings"), QStringLiteral("6"));
        QCOMPARE(gUpdatePhase, short(0)); // this command leaves the phase word alone
    }

    void failedHeadingUpdateIsNotCalledASuccess()
    {
        Run run;
        frmMain &w = run.start();
        run.folder.exec(TestFolder::failingTrigger("lockHeading", "BEFORE UPDATE", "settings", "heading locked"));
        run.people.inputAnswers.push_back("Nuovo");
        w.cmdCambiaIntestazione->click();
        const QStringList shown = run.people.messages();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains("heading locked"));
        QVERIFY(shown[0].endsWith(") in procedure gDbExecute of Modulo basGeneral"));
        QCOMPARE(run.setting("INTESTAZ"), QStringLiteral("Associazione"));
    }

    void listCommandsClearTheFilters_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("clears");
        QTest::newRow("members") << "cmdAnagrafica" << "frmAnagrafica" << true;
        QTest::newRow("member types") << "cmdTipologia" << "frmTipologiaPersone" << true;
        QTest::newRow("payments") << "cmdContiCorrenti" << "frmPagamenti" << true;
        QTest::newRow("reports") << "cmdReportistica" << "frmSplashReports" << false;
    }
    void listCommandsClearTheFilters()
    {
        QFETCH(QString, command);
        QFETCH(QString, window);
        QFETCH(bool, clears);
        Run run;
        frmMain &w = run.start();
        run.folder.exec("INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (1, 'Socio');"
                        "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome) VALUES (1, 1, 'Rossi');"
                        "INSERT INTO Pagamenti (ANAGRAFICAID, Importo) VALUES (1, 10);");
        registerSubsystemWindows();
        // The payments command opens the list in the scope of every member.
        frmPagamenti::gCurrentName = QStringLiteral("Rossi");
        QString opened = QStringLiteral("none");
        QStringList filtersSeen;
        run.people.modal.push_back([&](Form &f) {
            opened = f.objectName();
            filtersSeen = allFilters();
        });
        setAllFilters("x = 1");
        w.findChild<QPushButton *>(command)->click();
        QCOMPARE(opened, window);
        QCOMPARE(gUpdatePhase, short(4));
        QCOMPARE(filtersSeen, QStringList(5, clears ? QString() : QStringLiteral("x = 1")));
        QCOMPARE(*frmPagamenti::gCurrentName, window == QLatin1String("frmPagamenti") ? QString() : QStringLiteral("Rossi"));
    }

    void informationWindow()
    {
        Run run;
        frmMain &w = run.start();
        setAllFilters("x = 1");
        run.folder.exec("update settings set value = 'ON' where mnemocode = 'LOGSTATUS'");
        QStringList seen;
        auto look = [&](Form &f) {
            auto &about = static_cast<frmAbout &>(f);
            seen << about.windowTitle() << about.lblTitle->text() << about.txtWebPage->text()
                 << about.cmdGoToWebPage->text() << about.cmdOK->text()
                 << about.findChild<QLabel *>("lblVersion")->text() << about.findChild<QLabel *>("lblSitoWeb")->text();
            about.txtWebPage->setText("https://changed.example.org/");
            about.cmdGoToWebPage->click();
            about.cmdOK->click();
            QVERIFY(!about.isLoaded());
        };
        run.people.modal.push_back(look);
        run.people.modal.push_back(look);
        w.cmdInfo->click();
        w.cmdInfo->click();
        QCOMPARE(run.people.modalShown, (QStringList{"frmAbout", "frmAbout"}));
        const QStringList once{"About Socivant", "Socivant", QString::fromLatin1(kEnglishWebPage), "&Go", "&Ok",
                               "Versione 1.0",   "Web site:"};
        QCOMPARE(seen, once + once);
        QCOMPARE(run.people.urls, QStringList(2, "https://changed.example.org/"));
        QCOMPARE(allFilters(), QStringList(5, "x = 1"));
        QCOMPARE(gUpdatePhase, short(4));
        // Closing the modal window activates the main window again.
        QCOMPARE(gLogStatus, QStringLiteral("ON"));
        QVERIFY(run.people.prompts.isEmpty());

        // No program opens web pages: the address is not opened, and the
        // probe page does not stay in the application folder.
        run.people.browser.clear();
        run.people.expect<frmAbout>([](frmAbout &about) {
            about.cmdGoToWebPage->click();
            about.cmdOK->click();
        });
        w.cmdInfo->click();
        QCOMPARE(run.people.messages(), QStringList{"Could not find associated Browser"});
        QCOMPARE(run.people.urls.size(), 2);
        QVERIFY(!QFile::exists(appFile("test.htm")));
        w.cmdEsci->click();
        QVERIFY(!w.isLoaded());
    }

    // A box shown right after a window closed and was released (a real
    // close, a real box): it opens over a window that stays, never over the
    // one going, which took the box with it and had it freed twice.
    void aBoxRightAfterAWindowClosesOpensOverOneThatStays()
    {
        Run run;
        frmMain &w = run.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        run.folder.exec("update settings set value = 'x' where mnemocode = 'PRTCSIZE'");
        QtPeople qtPeople;
        setPeople(&qtPeople); // Qt's own modal runs and boxes from here
        const struct BackToTheScript {
            ScriptedPeople &people;
            ~BackToTheScript() { setPeople(&people); }
        } backToTheScript{run.people};
        QStringList shown;
        QPointer<QWidget> owner;
        bool aboutClosed = false;
        QTimer person;
        connect(&person, &QTimer::timeout, [&] {
            QWidget *top = QApplication::activeModalWidget();
            if (auto *about = qobject_cast<frmAbout *>(top); about && !aboutClosed) {
                aboutClosed = true;
                QTest::mouseClick(about->cmdOK, Qt::LeftButton);
                // The desktop tells a program late that its closed window is
                // no longer the active one.
                QApplication::setActiveWindow(about);
            } else if (auto *box = qobject_cast<QMessageBox *>(top)) {
                shown << box->text();
                owner = box->parentWidget();
                box->button(QMessageBox::Ok)->click();
            }
        });
        person.start(10);
        QTest::mouseClick(w.cmdInfo, Qt::LeftButton);
        person.stop();
        QVERIFY(aboutClosed);
        QCOMPARE(shown, QStringList{"Error 13 (Type mismatch) in procedure Form_Activate of Form frmMain"});
        QCOMPARE(owner.data(), &w);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
