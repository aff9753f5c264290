#pragma once
#include "Form.h"

class QPushButton;
class QLabel;
class SkinForm;
class PictureBox;

// The main window: the whole start-up runs in its load handler, closing it
// ends the program.
class frmMain : public Form {
    Q_OBJECT
public:
    frmMain();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

    void annullaWhere();

    void cmdAnagrafica_Click();
    void cmdTipologia_Click();
    void cmdContiCorrenti_Click();
    void cmdReportistica_Click();
    void cmdInfo_Click();
    void cmdCambiaIntestazione_Click();
    void cmdBackup_Click();
    void cmdEsci_Click();

    QPushButton *cmdAnagrafica, *cmdTipologia, *cmdContiCorrenti, *cmdReportistica, *cmdInfo, *cmdCambiaIntestazione,
        *cmdBackup, *cmdEsci;
    QLabel *OsenXPLabel1;
    PictureBox *OsenXPPicture1;
    SkinForm *OsenXPForm1;

protected:
    // The program ends through Exit or the close box only; Escape, which
    // closes every other window, does nothing here.
    void reject() override {}
};

// Copies source to target; with failIfExists an existing target is refused
// and left as it was. Nothing half-copied is ever left at target.
bool APIFileCopy(const QString &source, const QString &target, bool failIfExists);
// Opens an address in the default browser (empty address: nothing).
void LaunchBrowser(const QString &address, QWidget *window);
