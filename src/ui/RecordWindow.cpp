#include "RecordWindow.h"
#include "Controls.h"
#include "Database.h"
#include "FormPrep.h"
#include "Messages.h"
#include "PrintPreview.h"
#include "Procedure.h"
#include "WebBrowser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>

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

QList<QWidget *> RecordWindow::tabChain() const
{
    struct Placed {
        int row, col;
        QWidget *w;
    };
    QVector<Placed> fields;
    QGridLayout *grid = rows.grid();
    for (int i = 0; i < grid->count(); ++i) {
        QWidget *w = grid->itemAt(i)->widget();
        if (!w)
            continue;
        int row = 0, col = 0, rowSpan = 0, colSpan = 0;
        grid->getItemPosition(i, &row, &col, &rowSpan, &colSpan);
        fields.push_back({row, col, w});
    }
    std::stable_sort(fields.begin(), fields.end(),
                     [](const Placed &a, const Placed &b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    QList<QWidget *> chain;
    auto add = [&chain](QWidget *w) {
        if (auto *d = qobject_cast<DatePicker *>(w))
            w = d->edit();
        if (w && (w->focusPolicy() & Qt::TabFocus))
            chain << w;
    };
    for (const Placed &p : fields)
        add(p.w);
    for (int i = 0; i < rows.buttons()->count(); ++i)
        add(rows.buttons()->itemAt(i)->widget());
    return chain;
}

void RecordWindow::focusFirstField()
{
    if (!m_tabsOrdered) {
        const QList<QWidget *> chain = tabChain();
        for (int i = 1; i < chain.size(); ++i)
            setTabOrder(chain.at(i - 1), chain.at(i));
        m_tabsOrdered = true;
    }
    for (QWidget *w : tabChain()) {
        if (w->isEnabled() && w->isVisibleTo(this) && !qobject_cast<QAbstractButton *>(w)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
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

QString RecordWindow::surnameThenName(const Recordset &r)
{
    return r.text(2) + QLatin1Char(' ') + r.text(1);
}

void RecordWindow::fillComboRows(QComboBox *combo, const QString &sql,
                                 const std::function<void(int, long long)> &onItem, const ItemText &itemText)
{
    combo->clear();
    gRs.reset();
    if (gRsOpen(sql)) {
        const std::shared_ptr<Recordset> held = rs(); // onItem may run a query
        Recordset &r = *held;
        while (!r.eof()) {
            const long long key = r.value(0).toLongLong();
            comboAddItem(combo, itemText ? itemText(r) : comboText(r), key);
            if (onItem)
                onItem(combo->count() - 1, key);
            r.moveNext();
        }
        r.close();
    } else {
        m_loadFailed = true;
    }
    gRs.reset();
}

void RecordWindow::cmdPrint_Click()
{
    formProc(objectName(), QStringLiteral("cmdPrint_Click"), [&] { printThisForm(*this, *web); });
}
