#include "Form.h"
#include "People.h"

#include <QCloseEvent>
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

Form::~Form()
{
    modalStack().removeAll(this);
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
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

int Form::twipsLeft() const { return pixelsToTwips(x()); }
int Form::twipsTop() const { return pixelsToTwips(y()); }
int Form::twipsWidth() const { return pixelsToTwips(width()); }
int Form::twipsHeight() const { return pixelsToTwips(height()); }
void Form::setTwipsLeft(int t) { move(twipsToPixels(t), y()); }
void Form::setTwipsTop(int t) { move(x(), twipsToPixels(t)); }
void Form::setTwipsWidth(int t) { resize(twipsToPixels(t), height()); }
void Form::setTwipsHeight(int t) { resize(width(), twipsToPixels(t)); }
int Form::scaleWidthTwips() const { return pixelsToTwips(contentsRect().width()); }
int Form::scaleHeightTwips() const { return pixelsToTwips(contentsRect().height()); }

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
