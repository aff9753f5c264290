#include "SearchWindow.h"
#include "Controls.h"
#include "Database.h"
#include "FormPrep.h"
#include "ListWindow.h"
#include "Messages.h"
#include "PrintPreview.h"
#include "Procedure.h"
#include "Regional.h"
#include "SqlText.h"
#include "WebBrowser.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

SearchWindow::SearchWindow(const QString &name, const QString &caption, const Memory &memory)
    : RecordWindow(name, caption), m_memory(memory)
{
    if (m_memory.useOr) {
        optAND = makeOptionButton(this, QStringLiteral("optAND"), QStringLiteral("AND"));
        optOR = makeOptionButton(this, QStringLiteral("optOR"), QStringLiteral("OR"));
        optAND->setChecked(true);
        rows.buttons()->insertWidget(0, optAND);
        rows.buttons()->insertWidget(1, optOR);
    }
    cmdClear = makeButton(this, QStringLiteral("cmdClear"), QStringLiteral("Reimposta"));
    for (QPushButton *b : {cmdPrint, cmdClear, cmdOK, cmdCancel})
        rows.buttons()->addWidget(b);
    connect(cmdOK, &QPushButton::clicked, this, &SearchWindow::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SearchWindow::cmdCancel_Click);
    connect(cmdClear, &QPushButton::clicked, this, &SearchWindow::cmdClear_Click);
}

void SearchWindow::addClause(QWidget *control, Clause::Kind kind, const QString &column, const QString &tail)
{
    m_clauses.push_back(Clause{control, kind, column, tail});
}

void SearchWindow::fillCombo(QComboBox *combo, const QString &sql, const ItemText &itemText)
{
    fillComboRows(combo, sql, nullptr, itemText);
    combo->setCurrentIndex(-1);
}

void SearchWindow::Form_Load()
{
    formProc(objectName(), QStringLiteral("Form_Load"), [&] {
        prepare();
        fillCombos();
        if (!*m_memory.sized) {
            for (const Clause &c : m_clauses) {
                if (auto *combo = qobject_cast<QComboBox *>(c.control))
                    combo->setCurrentIndex(-1);
            }
            m_memory.saved = QVector<QVariant>(m_clauses.size() + 1);
            m_memory.sized = true;
        }
        restoreValues();
        if (m_memory.useOr && **m_memory.useOr) {
            optOR->setChecked(true);
            optAND->setChecked(false);
        }
        focusFirstField();
    });
}

QString SearchWindow::clauseText(const Clause &c)
{
    switch (c.kind) {
    case Clause::ComboKey: {
        auto *combo = static_cast<QComboBox *>(c.control);
        if (combo->currentIndex() == -1)
            return QString();
        return c.column + QString::number(comboItemKey(combo, combo->currentIndex()));
    }
    case Clause::Text: {
        const QString t = static_cast<QLineEdit *>(c.control)->text().trimmed();
        if (t.isEmpty())
            return QString();
        if (t.contains(QLatin1Char(',')))
            return c.column + QStringLiteral(" IN (") + PutTicksIn(Pad(t)) + QStringLiteral(")");
        return c.column + QStringLiteral(" Like '%") + Pad(likeText(t)) + QStringLiteral("%'");
    }
    case Clause::DateFrom:
    case Clause::DateTo: {
        const QString t = static_cast<QLineEdit *>(c.control)->text().trimmed();
        if (t.isEmpty())
            return QString();
        const QString date = FormattaData(Pad(t));
        // FormattaData has told the user; a bound that is no date must not
        // become a filter that lists every dated row.
        if (date.isEmpty())
            m_badBound = true;
        return c.column + (c.kind == Clause::DateFrom ? QStringLiteral(" >= ('") : QStringLiteral(" <= ('")) + date
            + QStringLiteral("')");
    }
    case Clause::Flag: {
        const int v = checkValue(static_cast<QCheckBox *>(c.control));
        if (v == 2)
            return QString();
        return c.column + wrapbooleanchk(v) + c.tail;
    }
    case Clause::AmountBound: {
        // The bound read as the register writes amounts ("1.000" is a
        // thousand), in the form the list's query understands.
        const QString typed = static_cast<QLineEdit *>(c.control)->text();
        if (typed.trimmed().isEmpty())
            return QString();
        const QString sql = Regional::amountSql(typed);
        return c.column + (sql.isEmpty() ? Punto(typed) : sql) + QStringLiteral(" ");
    }
    case Clause::Custom:
        return customClause(c);
    }
    return QString();
}

QString SearchWindow::buildFilter()
{
    QString connector = QStringLiteral(" AND ");
    if (optAND && !optAND->isChecked()) {
        optOR->setChecked(true);
        connector = QStringLiteral(" OR ");
    }
    QString f;
    m_badBound = false;
    for (const Clause &c : m_clauses) {
        const QString text = clauseText(c);
        if (text.isEmpty())
            continue;
        if (!f.isEmpty())
            f += connector;
        f += text;
    }
    return f;
}

void SearchWindow::saveValues()
{
    QVector<QVariant> &saved = *m_memory.saved;
    if (saved.size() < m_clauses.size() + 1)
        saved.resize(m_clauses.size() + 1);
    for (int i = 0; i < m_clauses.size(); ++i) {
        QWidget *w = m_clauses.at(i).control;
        if (auto *t = qobject_cast<QLineEdit *>(w))
            saved[i + 1] = t->text();
        else if (auto *d = qobject_cast<DatePicker *>(w))
            saved[i + 1] = d->text();
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            saved[i + 1] = checkValue(c);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            saved[i + 1] = combo->currentIndex();
    }
}

void SearchWindow::restoreValues()
{
    const QVector<QVariant> &saved = *m_memory.saved;
    for (int i = 0; i < m_clauses.size() && i + 1 < saved.size(); ++i) {
        const QVariant &v = saved.at(i + 1);
        if (!v.isValid())
            continue;
        QWidget *w = m_clauses.at(i).control;
        if (auto *t = qobject_cast<QLineEdit *>(w))
            t->setText(v.toString());
        else if (auto *d = qobject_cast<DatePicker *>(w))
            d->setText(v.toString());
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            setCheckValue(c, v.toInt());
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(std::clamp(v.toInt(), -1, combo->count() - 1));
    }
}

void SearchWindow::cmdOK_Click()
{
    formProc(objectName(), QStringLiteral("cmdOK_Click"), [&] {
        OpenDb();
        if (!validate())
            return;
        const QString f = buildFilter();
        if (m_badBound)
            return; // the window stays open, nothing applied or saved
        list()->setFilter(f);
        list()->FillGrid();
        if (m_memory.useOr)
            *m_memory.useOr = optOR->isChecked();
        saveValues();
        unload();
        releaseInstance();
    });
}

void SearchWindow::cmdCancel_Click()
{
    formProc(objectName(), QStringLiteral("cmdCancel_Click"), [&] { unload(); });
}

void SearchWindow::cmdClear_Click()
{
    formProc(objectName(), QStringLiteral("cmdClear_Click"), [&] {
        for (const Clause &c : m_clauses) {
            if (auto *t = qobject_cast<QLineEdit *>(c.control))
                t->clear();
            else if (auto *d = qobject_cast<DatePicker *>(c.control))
                d->clear();
            else if (auto *cb = qobject_cast<QCheckBox *>(c.control))
                setCheckValue(cb, clearedFlagValue());
            else if (auto *combo = qobject_cast<QComboBox *>(c.control))
                combo->setCurrentIndex(-1);
        }
        saveValues();
    });
}
