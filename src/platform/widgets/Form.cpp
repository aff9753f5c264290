#include "Form.h"
#include "Controls.h"
#include "People.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVector>

namespace {
QVector<Form *> &modalStack()
{
    static QVector<Form *> s;
    return s;
}
QPointer<Form> &mainForm()
{
    static QPointer<Form> f;
    return f;
}
} // namespace

Form::Form(const QString &name, QWidget *parent) : QDialog(parent)
{
    setObjectName(name);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
}

struct Form::DesignState {
    struct Control {
        QPointer<QWidget> widget;
        QString caption, text, todayText;
        Qt::CheckState check = Qt::Unchecked;
        bool checked = false;
        QList<QPair<QString, QVariant>> items;
        int index = -1;
        bool hidden = false, disabled = false;
    };
    QString title;
    QVector<Control> controls;
};

Form::~Form()
{
    modalStack().removeAll(this);
}

namespace {
bool explicitlyHidden(const QWidget *w)
{
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
}
} // namespace

// Unloading a window ends its controls: the next opening builds them again as
// designed. Here the controls live on with the instance, so they are put back
// into the state they were built with before each load handler runs.
void Form::restoreDesign()
{
    if (!m_design) {
        m_design = std::make_unique<DesignState>();
        m_design->title = windowTitle();
        for (QWidget *w : controls()) {
            const ControlKind kind = kindOf(w);
            if (kind == ControlKind::Grid || kind == ControlKind::Browser || kind == ControlKind::Other)
                continue;
            DesignState::Control c;
            c.widget = w;
            c.caption = caption(w);
            c.hidden = explicitlyHidden(w);
            c.disabled = w->testAttribute(Qt::WA_Disabled);
            if (auto *t = qobject_cast<QLineEdit *>(w); t && kind == ControlKind::TextBox)
                c.text = t->text();
            if (auto *d = qobject_cast<DatePicker *>(w)) {
                c.text = d->text();
                c.todayText = d->TextForToday();
            }
            if (auto *b = qobject_cast<QCheckBox *>(w))
                c.check = b->checkState();
            if (auto *r = qobject_cast<QRadioButton *>(w))
                c.checked = r->isChecked();
            if (auto *combo = qobject_cast<QComboBox *>(w)) {
                for (int i = 0; i < combo->count(); ++i)
                    c.items.append({combo->itemText(i), combo->itemData(i)});
                c.index = combo->currentIndex();
            }
            m_design->controls.push_back(c);
        }
        return;
    }
    setWindowTitle(m_design->title);
    for (const DesignState::Control &c : std::as_const(m_design->controls)) {
        QWidget *w = c.widget;
        if (!w)
            continue;
        // The change handlers of the controls belong to a person's changes,
        // not to the window being built again.
        const QSignalBlocker block(w);
        setCaption(w, c.caption);
        if (auto *t = qobject_cast<QLineEdit *>(w); t && kindOf(w) == ControlKind::TextBox)
            t->setText(c.text);
        if (auto *d = qobject_cast<DatePicker *>(w)) {
            const QSignalBlocker blockEdit(d->edit());
            d->setText(c.text);
            d->setTextForToday(c.todayText);
        }
        if (auto *b = qobject_cast<QCheckBox *>(w))
            b->setCheckState(c.check);
        if (auto *r = qobject_cast<QRadioButton *>(w); r && c.checked)
            r->setChecked(true);
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            combo->clear();
            for (const auto &item : c.items)
                combo->addItem(item.first, item.second);
            combo->setCurrentIndex(c.index);
        }
        if (explicitlyHidden(w) != c.hidden)
            w->setVisible(!c.hidden);
        w->setEnabled(!c.disabled);
    }
}

void Form::load()
{
    if (m_loaded)
        return;
    restoreDesign();
    m_loaded = true;
    Form_Load();
    // A text longer than its box opens at its start, not scrolled to the
    // end where setting it left the cursor.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setCursorPosition(0);
}

void Form::unload()
{
    if (!m_loaded || m_unloading)
        return;
    m_unloading = true;
    Form_Unload();
    m_loaded = false;
    m_unloading = false;
    done(QDialog::Rejected);
}

void Form::release()
{
    m_released = true;
    deleteLater();
}

void Form::showModal()
{
    load();
    if (!m_loaded)
        return; // the load handler closed the window again
    modalStack().push_back(this);
    people().runModal(*this);
    modalStack().removeAll(this);
    if (m_loaded)
        unload();
    if (Form *next = activeForm(); next && next->isLoaded())
        next->Form_Activate();
}

Form *Form::activeForm()
{
    return modalStack().isEmpty() ? mainForm().data() : modalStack().back();
}

void Form::setMainForm(Form *f)
{
    mainForm() = f;
}

QList<QWidget *> Form::controls() const
{
    QList<QWidget *> out;
    const auto all = findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            out << w;
    }
    return out;
}

QWidget *Form::control(const QString &name) const
{
    return findChild<QWidget *>(name);
}

int Form::twipsLeft() const
{
    return pixelsToTwips(x());
}
int Form::twipsTop() const
{
    return pixelsToTwips(y());
}
int Form::twipsWidth() const
{
    return pixelsToTwips(width());
}
int Form::twipsHeight() const
{
    return pixelsToTwips(height());
}
void Form::setTwipsLeft(int t)
{
    move(twipsToPixels(t), y());
}
void Form::setTwipsTop(int t)
{
    move(x(), twipsToPixels(t));
}
void Form::setTwipsWidth(int t)
{
    resize(twipsToPixels(t), height());
}
void Form::setTwipsHeight(int t)
{
    resize(width(), twipsToPixels(t));
}
int Form::scaleWidthTwips() const
{
    return pixelsToTwips(contentsRect().width());
}
int Form::scaleHeightTwips() const
{
    return pixelsToTwips(contentsRect().height());
}

void Form::closeEvent(QCloseEvent *e)
{
    unload();
    e->accept();
}

void Form::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (m_loaded)
        Form_Resize();
}

void Form::reject()
{
    if (m_loaded)
        unload();
    else
        QDialog::reject();
}
