#include "Controls.h"
#include "FlexGrid.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>
#include <climits>

namespace {
const char *const kDeclaredKind = "controlKind";
} // namespace

void declareKind(QWidget *w, ControlKind kind)
{
    w->setProperty(kDeclaredKind, int(kind));
}

ControlKind kindOf(const QWidget *w)
{
    if (!w)
        return ControlKind::Other;
    if (qobject_cast<const SkinForm *>(w))
        return ControlKind::Skin;
    if (qobject_cast<const PictureBox *>(w))
        return ControlKind::Picture;
    if (qobject_cast<const DatePicker *>(w))
        return ControlKind::DatePicker;
    if (qobject_cast<const FlexGrid *>(w))
        return ControlKind::Grid;
    const QVariant declared = w->property(kDeclaredKind);
    if (declared.isValid())
        return ControlKind(declared.toInt());
    if (qobject_cast<const QLabel *>(w))
        return ControlKind::Label;
    if (qobject_cast<const QLineEdit *>(w)) {
        // The line edit inside a date picker or a combo box is part of it.
        if (qobject_cast<const DatePicker *>(w->parentWidget()) || qobject_cast<const QComboBox *>(w->parentWidget()))
            return ControlKind::Other;
        return ControlKind::TextBox;
    }
    if (qobject_cast<const QPushButton *>(w)) {
        if (qobject_cast<const DatePicker *>(w->parentWidget()))
            return ControlKind::Other;
        return ControlKind::Button;
    }
    if (qobject_cast<const QComboBox *>(w))
        return ControlKind::ComboBox;
    if (qobject_cast<const QCheckBox *>(w))
        return ControlKind::CheckBox;
    if (qobject_cast<const QRadioButton *>(w))
        return ControlKind::OptionButton;
    return ControlKind::Other;
}

QString caption(const QWidget *w)
{
    if (auto s = qobject_cast<const SkinForm *>(w))
        return s->Caption();
    if (auto l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    return QString();
}

void setCaption(QWidget *w, const QString &text)
{
    if (auto s = qobject_cast<SkinForm *>(w))
        s->setCaption(text);
    else if (auto l = qobject_cast<QLabel *>(w))
        l->setText(text);
    else if (auto b = qobject_cast<QAbstractButton *>(w))
        b->setText(text);
}

SkinForm::SkinForm(QWidget *window, const QString &name) : QWidget(window)
{
    setObjectName(name);
    setFixedSize(0, 0);
}

void SkinForm::setCaption(const QString &c)
{
    m_caption = c;
    if (window())
        window()->setWindowTitle(c);
}

void SkinForm::setDrawGradientForm(bool on)
{
    m_gradient = on;
    QWidget *win = window();
    if (!win || !on)
        return;
    win->setAutoFillBackground(true);
    QPalette pal = win->palette();
    QLinearGradient g(0, 0, 0, 600);
    g.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
    g.setColorAt(1, QColor(0xD6, 0xE2, 0xF0));
    pal.setBrush(QPalette::Window, QBrush(g));
    win->setPalette(pal);
}

void SkinForm::setIcon(const QIcon &icon)
{
    if (window())
        window()->setWindowIcon(icon);
}

DatePicker::DatePicker(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    m_edit->setMaxLength(40);
    m_calendar = new QToolButton(this);
    m_calendar->setText(QStringLiteral("▾"));
    m_calendar->setFocusPolicy(Qt::NoFocus);
    m_today = new QPushButton(QStringLiteral("Oggi"), this);
    m_today->setFocusPolicy(Qt::NoFocus);
    lay->addWidget(m_edit, 1);
    lay->addWidget(m_calendar);
    lay->addWidget(m_today);
    setFocusProxy(m_edit);
    connect(m_today, &QPushButton::clicked, this, [this] { setDate(QDate::currentDate()); });
    connect(m_calendar, &QToolButton::clicked, this, &DatePicker::showCalendar);
}

void DatePicker::showCalendar()
{
    QMenu menu(this);
    auto *cal = new QCalendarWidget(&menu);
    cal->setFirstDayOfWeek(Qt::Monday);
    const QDate current = QDate::fromString(text(), QStringLiteral("dd/MM/yyyy"));
    if (current.isValid())
        cal->setSelectedDate(current);
    auto *act = new QWidgetAction(&menu);
    act->setDefaultWidget(cal);
    menu.addAction(act);
    connect(cal, &QCalendarWidget::clicked, &menu, [this, &menu](const QDate &d) {
        setDate(d);
        menu.close();
    });
    menu.exec(mapToGlobal(QPoint(0, height())));
}

QString DatePicker::text() const
{
    return m_edit->text().trimmed();
}
void DatePicker::setText(const QString &t)
{
    m_edit->setText(t);
}
void DatePicker::setDate(const QDate &d)
{
    m_edit->setText(d.toString(QStringLiteral("dd/MM/yyyy")));
}
void DatePicker::clear()
{
    m_edit->clear();
}
bool DatePicker::isEmpty() const
{
    return text().isEmpty();
}
QString DatePicker::TextForToday() const
{
    return m_today->text();
}
void DatePicker::setTextForToday(const QString &t)
{
    m_today->setText(t);
}

CheckBox::CheckBox(const QString &cap, QWidget *parent) : QCheckBox(cap, parent)
{
    setTristate(true);
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

PictureBox::PictureBox(QWidget *parent, const QString &name) : QLabel(parent)
{
    setObjectName(name);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &cap, bool bold)
{
    auto *l = new QLabel(cap, parent);
    l->setObjectName(name);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QLineEdit *makeTextBox(QWidget *parent, const QString &name)
{
    auto *t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setMaxLength(INT_MAX); // long notes are kept whole
    return t;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &cap)
{
    auto *b = new QPushButton(cap, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QComboBox *makeComboBox(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &cap)
{
    auto *c = new CheckBox(cap, parent);
    c->setObjectName(name);
    return c;
}

QRadioButton *makeOptionButton(QWidget *parent, const QString &name, const QString &cap)
{
    auto *r = new QRadioButton(cap, parent);
    r->setObjectName(name);
    return r;
}

void comboAddItem(QComboBox *c, const QString &text, long long key)
{
    c->addItem(text, QVariant(key));
}

long long comboItemKey(const QComboBox *c, int index)
{
    return c->itemData(index).toLongLong();
}

int checkValue(const QCheckBox *c)
{
    switch (c->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void setCheckValue(QCheckBox *c, int v)
{
    c->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}
