#include "WindowLayout.h"
#include "Controls.h"
#include "SqliteComponent.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

FieldRows::FieldRows(QWidget *window) : m_window(window)
{
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(14, 14, 14, 14);
    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(6);
    m_grid->setColumnStretch(1, 1);
    outer->addLayout(m_grid);
    outer->addStretch();
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch();
    outer->addLayout(m_buttons);
}

QLabel *FieldRows::label(const QString &fieldName, const QString &caption)
{
    return makeLabel(m_window, QStringLiteral("lbl") + fieldName.mid(3), caption);
}

QLineEdit *FieldRows::text(const QString &name, const QString &caption)
{
    QLabel *l = label(name, caption);
    QLineEdit *t = makeTextBox(m_window, name);
    t->setMinimumWidth(320);
    m_grid->addWidget(l, m_row, 0);
    m_grid->addWidget(t, m_row, 1, 1, 4);
    ++m_row;
    return t;
}

DatePicker *FieldRows::date(const QString &name, const QString &caption)
{
    QLabel *l = label(name, caption);
    auto *d = new DatePicker(m_window, name);
    d->setMaximumWidth(260);
    m_grid->addWidget(l, m_row, 0);
    m_grid->addWidget(d, m_row, 1, 1, 4, Qt::AlignLeft);
    ++m_row;
    return d;
}

QComboBox *FieldRows::combo(const QString &name, const QString &caption)
{
    QLabel *l = label(name, caption);
    QComboBox *c = makeComboBox(m_window, name);
    c->setMinimumWidth(320);
    m_grid->addWidget(l, m_row, 0);
    m_grid->addWidget(c, m_row, 1, 1, 4);
    ++m_row;
    return c;
}

QCheckBox *FieldRows::check(const QString &name, const QString &caption)
{
    QCheckBox *c = makeCheckBox(m_window, name, caption);
    m_grid->addWidget(c, m_row, 1, 1, 4);
    ++m_row;
    return c;
}

void FieldRows::range(const QString &fromName, const QString &toName, const QString &caption, QLineEdit **from,
                      QLineEdit **to)
{
    // The heading label names the field; "da" and "a" caption the two bounds.
    QLabel *heading = makeLabel(m_window, QStringLiteral("lbl") + fromName.mid(3, fromName.size() - 5), caption);
    QLabel *lFrom = label(fromName, QStringLiteral("da"));
    QLabel *lTo = label(toName, QStringLiteral("a"));
    *from = makeTextBox(m_window, fromName);
    *to = makeTextBox(m_window, toName);
    (*from)->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    (*to)->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    m_grid->addWidget(heading, m_row, 0);
    m_grid->addWidget(lFrom, m_row, 1, Qt::AlignRight);
    m_grid->addWidget(*from, m_row, 2);
    m_grid->addWidget(lTo, m_row, 3, Qt::AlignRight);
    m_grid->addWidget(*to, m_row, 4);
    ++m_row;
}

QString comboText(const Recordset &rs)
{
    QString text = rs.text(1);
    for (int i = 2; i < rs.fieldCount(); ++i)
        text += QLatin1Char(' ') + rs.text(i);
    return text;
}
