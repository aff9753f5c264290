#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

class QToolButton;

// The kinds of control the windows are built from. Each is a Qt widget; the
// few that Qt lacks (the skin, the date picker, the picture) are here.
enum class ControlKind {
    Skin,         // the window's skin: its caption is the window title
    Label,        // QLabel
    TextBox,      // QLineEdit
    Button,       // QPushButton
    ComboBox,     // QComboBox, each item with a whole-number key as data
    DatePicker,   // DatePicker
    CheckBox,     // QCheckBox, values 0, 1 and 2 (grey)
    OptionButton, // QRadioButton
    Picture,      // PictureBox
    Grid,         // FlexGrid
    Browser,      // WebBrowser
    Other
};
ControlKind kindOf(const QWidget *w);
// A control built above the widgets (the print document's browser) says
// which kind it is, so that the widgets need not know it.
void declareKind(QWidget *w, ControlKind kind);

// Caption of a label, button, check box, option button or skin; "" for others.
QString caption(const QWidget *w);
void setCaption(QWidget *w, const QString &text);

// The skin control: draws the window's gradient and carries its title.
class SkinForm : public QWidget {
    Q_OBJECT
public:
    explicit SkinForm(QWidget *window, const QString &name = QStringLiteral("OsenXPForm1"));
    QString Caption() const { return m_caption; }
    void setCaption(const QString &c);
    bool DrawGradientForm() const { return m_gradient; }
    void setDrawGradientForm(bool on);
    void setIcon(const QIcon &icon);

private:
    QString m_caption;
    bool m_gradient = false;
};

// A date with a calendar, a today button and an empty value. The text is
// "dd/mm/yyyy" or empty; an empty picker reads as empty text.
class DatePicker : public QWidget {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent, const QString &name);
    QString text() const; // what the field holds, trimmed
    void setText(const QString &t);
    void setDate(const QDate &d);
    void clear();
    bool isEmpty() const;
    QString TextForToday() const;
    void setTextForToday(const QString &t);
    QLineEdit *edit() const { return m_edit; }

private:
    void showCalendar();
    QLineEdit *m_edit;
    QToolButton *m_calendar;
    QPushButton *m_today;
};

// A check box with the three values the windows use: a click or Space
// alternates between clear and ticked; grey (2) is set by the program only,
// for "any" in the search windows, and a click on grey ticks it.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    CheckBox(const QString &caption, QWidget *parent);

protected:
    void nextCheckState() override;
};

// A picture on a window.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    PictureBox(QWidget *parent, const QString &name);
};

// Makers that name the control, so form preparation and tests find it.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, bool bold = false);
QLineEdit *makeTextBox(QWidget *parent, const QString &name);
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption);
QComboBox *makeComboBox(QWidget *parent, const QString &name);
QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption);
QRadioButton *makeOptionButton(QWidget *parent, const QString &name, const QString &caption);

// Combo box helpers with the names the windows use.
void comboAddItem(QComboBox *c, const QString &text, long long key);
long long comboItemKey(const QComboBox *c, int index);
// Check box value 0 (clear), 1 (ticked) or 2 (grey).
int checkValue(const QCheckBox *c);
void setCheckValue(QCheckBox *c, int v);
