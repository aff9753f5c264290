#include "RecordWindow.h"
#include "Controls.h"
#include "Database.h"
#include "FormPrep.h"
#include "Messages.h"
#include "PrintPreview.h"
#include "Procedure.h"
#include "WebBrowser.h"

#include <QComboBox>
#include <QPushButton>

RecordWindow::RecordWindow(const QString &name, const QString &caption) : Form(name), rows(this)
{
    OsenXPForm1 = new SkinForm(this);
    OsenXPForm1->setCaption(caption);
    web = new WebBrowser(this);
    cmdOK = makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("Ok"));
    cmdCancel = makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Annulla"));
    cmdPrint = makeButton(this, QStringLiteral("cmdPrint"), QStringLiteral("Stampa"));
    cmdOK->setDefault(true);
    connect(cmdPrint, &QPushButton::clicked, this, &RecordWindow::cmdPrint_Click);
}

void RecordWindow::prepare()
{
    adjustSize();
    if (!prepareAfterOpen())
        DisattivaTabstop(controls());
    CenterForm(*this);
    OpenDb();
    if (prepareAfterOpen())
        DisattivaTabstop(controls());
}

void RecordWindow::Form_Activate()
{
    QLineEdit *first = activateField();
    if (!first)
        return;
    formProc(objectName(), QStringLiteral("Form_Activate"), [&] {
        first->setFocus();
        first->end(false);
    });
}

bool RecordWindow::fail(const QString &message)
{
    MyMsgBox(message, MsgStyle::Exclamation, QStringLiteral("Merivolo"));
    return false;
}

void RecordWindow::fillComboRows(QComboBox *combo, const QString &sql, const std::function<void(int, long long)> &onItem)
{
    combo->clear();
    gRs.reset();
    if (gRsOpen(sql)) {
        const std::shared_ptr<Recordset> held = heldRs(); // onItem may run a query
        Recordset &r = *held;
        while (!r.eof()) {
            const long long key = r.value(0).toLongLong();
            comboAddItem(combo, comboText(r), key);
            if (onItem)
                onItem(combo->count() - 1, key);
            r.moveNext();
        }
        r.close();
    }
    gRs.reset();
}

void RecordWindow::cmdPrint_Click()
{
    formProc(objectName(), QStringLiteral("cmdPrint_Click"), [&] { printThisForm(*this, *web); });
}
