#pragma once
#include "Form.h"

#include <QPair>
#include <QPoint>
#include <QString>
#include <QVector>

class QPushButton;
class SkinForm;

// The report chooser: one button per report of the catalogue (table
// reportistica). A button asks for the report's parameters, writes them
// into the stored query and shows the result window on it.
class frmSplashReports : public Form {
    Q_OBJECT
public:
    static constexpr int kButtons = 17;

    frmSplashReports();

    void Form_Load() override;
    // Reads the catalogue into gReports.
    void PopolaArrayReport();
    // Puts the English prompt phrases into promptpar1 of row icont.
    void traductiPrompPars(int icont);
    void cmdShowReport_Click(int Index);
    void cmdClose_Click();

    SkinForm *OsenXPForm1;
    QVector<QPushButton *> cmdShowReport; // index n stands for catalogue row n
    QPushButton *cmdClose;

    // The answers given for the first and the second parameter.
    QString par1() const { return m_par1; }
    QString par2() const { return m_par2; }

    // Place (left, top) in twips of button slot 0..17 (17: the close button).
    static QPoint slotTwips(int slot);

private:
    // Asks for parameter n (1 or 2) of the report in row Index; false when
    // the command ends there (empty answer or a rejected one).
    bool askParameter(int Index, int n, QVector<QPair<QString, QString>> &fills);
    QString m_par1;
    QString m_par2;
};
