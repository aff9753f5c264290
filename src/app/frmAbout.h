#pragma once
#include "Form.h"

class QLineEdit;
class QPushButton;
class QLabel;
class SkinForm;

class frmAbout : public Form {
    Q_OBJECT
public:
    frmAbout();
    void Form_Load() override;
    void cmdGoToWebPage_Click();
    void cmdOK_Click();

    SkinForm *OsenXPForm1;
    QLabel *lblTitle;
    QLineEdit *txtWebPage;
    QPushButton *cmdGoToWebPage, *cmdOK;
};

inline const char *kEnglishWebPage = "https://socivant.example.org/";
