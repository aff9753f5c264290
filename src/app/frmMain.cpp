#include "frmMain.h"
#include "AppFolder.h"
#include "AppHooks.h"
#include "Controls.h"
#include "Database.h"
#include "Edition.h"
#include "Emblem.h"
#include "FormPrep.h"
#include "Globals.h"
#include "Messages.h"
#include "People.h"
#include "Procedure.h"
#include "Regional.h"
#include "Settings.h"
#include "SqlText.h"
#include "frmAbout.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString kForm = QStringLiteral("frmMain");
const QString kTitle = QStringLiteral("Merivolo");
} // namespace

AppHooks &appHooks()
{
    // The openers are registered at each start of the program.
    static AppHooks h;
    static const bool registered = (onResetRunState([] { h = AppHooks{}; }), true);
    (void)registered;
    return h;
}

frmMain::frmMain() : Form(QStringLiteral("frmMain"))
{
    OsenXPForm1 = new SkinForm(this);
    OsenXPLabel1 = makeLabel(this, QStringLiteral("OsenXPLabel1"), QStringLiteral("Merivolo 1.0"), true);
    QFont big = OsenXPLabel1->font();
    big.setPointSize(big.pointSize() + 8);
    OsenXPLabel1->setFont(big);
    OsenXPPicture1 = new PictureBox(this, QStringLiteral("OsenXPPicture1"));
    OsenXPPicture1->setPixmap(mainPicture(300, 200));

    cmdAnagrafica = makeButton(this, QStringLiteral("cmdAnagrafica"), QStringLiteral("Albo dei &Soci"));
    cmdTipologia = makeButton(this, QStringLiteral("cmdTipologia"), QStringLiteral("&Tipologie Soci"));
    cmdContiCorrenti = makeButton(this, QStringLiteral("cmdContiCorrenti"), QStringLiteral("&Pagamenti"));
    cmdReportistica = makeButton(this, QStringLiteral("cmdReportistica"), QStringLiteral("Re&ports"));
    cmdInfo = makeButton(this, QStringLiteral("cmdInfo"), QStringLiteral("&Informazioni"));
    cmdCambiaIntestazione = makeButton(this, QStringLiteral("cmdCambiaIntestazione"),
                                       QStringLiteral("&Modifica intestazione"));
    cmdBackup = makeButton(this, QStringLiteral("cmdBackup"), QStringLiteral("Database &Backup"));
    cmdEsci = makeButton(this, QStringLiteral("cmdEsci"), QStringLiteral("Es&ci"));

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {cmdAnagrafica, cmdTipologia, cmdContiCorrenti, cmdReportistica, cmdInfo,
                           cmdCambiaIntestazione, cmdBackup, cmdEsci}) {
        b->setMinimumSize(190, 32);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(OsenXPLabel1);
    left->addWidget(OsenXPPicture1);
    left->addStretch();
    auto *top = new QHBoxLayout(this);
    top->setContentsMargins(18, 18, 18, 18);
    top->setSpacing(18);
    top->addLayout(left);
    top->addLayout(buttons);

    connect(cmdAnagrafica, &QPushButton::clicked, this, &frmMain::cmdAnagrafica_Click);
    connect(cmdTipologia, &QPushButton::clicked, this, &frmMain::cmdTipologia_Click);
    connect(cmdContiCorrenti, &QPushButton::clicked, this, &frmMain::cmdContiCorrenti_Click);
    connect(cmdReportistica, &QPushButton::clicked, this, &frmMain::cmdReportistica_Click);
    connect(cmdInfo, &QPushButton::clicked, this, &frmMain::cmdInfo_Click);
    connect(cmdCambiaIntestazione, &QPushButton::clicked, this, &frmMain::cmdCambiaIntestazione_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmMain::cmdBackup_Click);
    connect(cmdEsci, &QPushButton::clicked, this, &frmMain::cmdEsci_Click);
}

void frmMain::Form_Load()
{
    formProc(kForm, QStringLiteral("Form_Load"), [&] {
        aggiornaFaseUpdate(0);
        gDbType = QStringLiteral(SOCIVANT_DB_TYPE);
        // Nothing else can run without the database: after the opener's
        // message the program ends.
        if (!OpenDb()) {
            unload();
            return;
        }
        AggiornaDatabase();
        AggiornaReportistica();
        adjustSize();
        CenterForm(*this);
        OsenXPForm1->setCaption(QStringLiteral("Merivolo 1.0"));
        DisattivaTabstop(controls());
        if (isMySql())
            cmdBackup->setVisible(false);
    });
}

void frmMain::Form_Activate()
{
    formProc(kForm, QStringLiteral("Form_Activate"), [&] {
        gErrorTrapping = true;
        const QString size = getSetting(QStringLiteral("PRTCSIZE"));
        gPrintFontSize = Regional::toInteger16(size);
        gLogStatus = getSetting(QStringLiteral("LOGSTATUS"));
    });
}

void frmMain::Form_Unload()
{
    // Closing the main window ends the program.
    QApplication::quit();
}

void frmMain::annullaWhere()
{
    if (appHooks().clearListFilters)
        appHooks().clearListFilters();
}

void frmMain::cmdAnagrafica_Click()
{
    formProc(kForm, QStringLiteral("cmdAnagrafica_Click"), [&] {
        aggiornaFaseUpdate(4);
        annullaWhere();
        if (appHooks().openMembers)
            appHooks().openMembers();
    });
}

void frmMain::cmdTipologia_Click()
{
    formProc(kForm, QStringLiteral("cmdTipologia_Click"), [&] {
        aggiornaFaseUpdate(4);
        annullaWhere();
        if (appHooks().openMemberTypes)
            appHooks().openMemberTypes();
    });
}

void frmMain::cmdContiCorrenti_Click()
{
    formProc(kForm, QStringLiteral("cmdContiCorrenti_Click"), [&] {
        aggiornaFaseUpdate(4);
        annullaWhere();
        if (appHooks().openPayments)
            appHooks().openPayments();
    });
}

void frmMain::cmdReportistica_Click()
{
    formProc(kForm, QStringLiteral("cmdReportistica_Click"), [&] {
        aggiornaFaseUpdate(4);
        if (appHooks().openReports)
            appHooks().openReports();
    });
}

void frmMain::cmdInfo_Click()
{
    formProc(kForm, QStringLiteral("cmdInfo_Click"), [&] {
        aggiornaFaseUpdate(4);
        Instance<frmAbout>::get()->showModal();
    });
}

void frmMain::cmdEsci_Click()
{
    formProc(kForm, QStringLiteral("cmdEsci_Click"), [&] {
        aggiornaFaseUpdate(4);
        unload();
    });
}

void frmMain::cmdBackup_Click()
{
    formProc(kForm, QStringLiteral("cmdBackup_Click"), [&] {
        aggiornaFaseUpdate(4);
        const QString prompt = isEnglish() ? QStringLiteral("Enter the destination path of the database backup")
                                           : QStringLiteral("Inserire il percorso dove copiare il database");
        QString folder = people().themedInputBox(prompt, productTitle(), QString()).trimmed();
        if (folder.isEmpty())
            return;
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        const QString target = folder + gDbFileName;
        if (!APIFileCopy(gDbPath, target, true))
            MyMsgBox(QStringLiteral("Errore durante la copia del database"), MsgStyle::Exclamation, kTitle);
        else
            MyMsgBox(QStringLiteral("Copia del database avvenuta con successo"), MsgStyle::Information, kTitle);
    });
}

void frmMain::cmdCambiaIntestazione_Click()
{
    runProc(Proc{kForm, QStringLiteral("cmdCambiaIntestazione_Click"), Proc::Form, Proc::Plain}, [&] {
        const QString current = getSetting(QStringLiteral("INTESTAZ"));
        const QString prompt = isEnglish() ? QStringLiteral("Enter the new header")
                                           : QStringLiteral("Inserire l'intestazione");
        const QString answer = people().themedInputBox(prompt, productTitle(), current);
        if (answer.trimmed().isEmpty()) {
            MyMsgBox(QStringLiteral("Intestazione non modificata"), MsgStyle::Exclamation, kTitle);
            return;
        }
        const bool stored = gDbExecute(QStringLiteral("update settings set value='") + Pad(answer)
                                       + QStringLiteral("' where mnemocode='INTESTAZ'"));
        if (stored)
            MyMsgBox(QStringLiteral("Intestazione aggiornata con successo"), MsgStyle::Information, kTitle);
    });
}

bool APIFileCopy(const QString &source, const QString &target, bool failIfExists)
{
    bool ok = false;
    moduleProc(QStringLiteral("basGeneral"), QStringLiteral("APIFileCopy"), [&] {
        if (QFileInfo::exists(target)) {
            if (failIfExists)
                return;
            if (!QFile::remove(target))
                return;
        }
        // QFile::copy writes a temporary file beside the target and renames it
        // only when the whole copy is written.
        ok = QFile::copy(source, target);
    });
    return ok;
}

void LaunchBrowser(const QString &address, QWidget *)
{
    moduleProc(QStringLiteral("basGeneral"), QStringLiteral("LaunchBrowser"), [&] {
        if (address.isEmpty())
            return;
        // The browser is the program that opens a page file; a probe page in
        // the application folder asks for it and goes again afterwards.
        const QString probe = appFile(QStringLiteral("test.htm"));
        QFile file(probe);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)
            || file.write("\"<HTML> <\\HTML>\"\n") < 0 || !file.flush())
            raiseError(ErrNo::PermissionDenied, QStringLiteral("Permission denied"));
        file.close();
        const struct RemoveProbe {
            QString path;
            ~RemoveProbe() { QFile::remove(path); }
        } removeProbe{probe};
        if (people().associatedBrowser(probe).trimmed().isEmpty())
            MyMsgBox(QStringLiteral("Could not find associated Browser"), MsgStyle::Exclamation,
                     QStringLiteral("Browser Not Found"));
        else if (!people().openUrl(address))
            MyMsgBox(QStringLiteral("Unable to open Web Page."), MsgStyle::Exclamation, kTitle);
    });
}
