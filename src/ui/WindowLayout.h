#pragma once
#include <QString>

class QGridLayout;
class QWidget;
class QLabel;
class QLineEdit;
class QComboBox;
class QCheckBox;
class DatePicker;
class QHBoxLayout;
class Recordset;

// The text of a combo box item from a query of (key, text...): the text
// columns joined by a blank ("surname name"), Nulls as empty text.
QString comboText(const Recordset &rs);

// Label-and-field rows of an edit or search window. Every field gets its
// label named "lbl" + the field's name without its three-letter prefix, the
// pairing the record sheet relies on.
class FieldRows {
public:
    explicit FieldRows(QWidget *window);
    QLineEdit *text(const QString &name, const QString &label);
    DatePicker *date(const QString &name, const QString &label);
    QComboBox *combo(const QString &name, const QString &label);
    QCheckBox *check(const QString &name, const QString &caption);
    // A from / to pair on one row: "label  da [from]  a [to]".
    void range(const QString &fromName, const QString &toName, const QString &label, QLineEdit **from, QLineEdit **to);
    QGridLayout *grid() const { return m_grid; }
    QHBoxLayout *buttons() const { return m_buttons; }
    int nextRow() const { return m_row; }

private:
    QLabel *label(const QString &fieldName, const QString &caption);
    QWidget *m_window;
    QGridLayout *m_grid;
    QHBoxLayout *m_buttons;
    int m_row = 0;
};
