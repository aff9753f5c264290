#include "FormPrep.h"
#include "Controls.h"
#include "Form.h"
#include "Procedure.h"
#include "Translation.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <cmath>

namespace {
struct AccessKey {
    const char *plain;
    const char *withKey;
};
constexpr AccessKey kAccessKeys[] = {
    {"Stampa", "S&tampa"},       {"Esci", "E&sci"},   {"Elimina", "&Elimina"},
    {"Aggiungi", "&Aggiungi"},   {"Cerca", "&Cerca"}, {"Esporta CSV", "Espo&rta CSV"},
    {"Versa", "&Versa"},         {"Ok", "&Ok"},       {"Annulla", "A&nnulla"},
    {"Reimposta", "&Reimposta"},
};
} // namespace

void DisattivaTabstop(const QList<QWidget *> &controls)
{
    moduleProc(QStringLiteral("basGeneral"), QStringLiteral("DisattivaTabstop"), [&] {
        for (QWidget *w : controls) {
            switch (kindOf(w)) {
            case ControlKind::Browser:
            case ControlKind::Label:
                w->setFocusPolicy(Qt::NoFocus);
                break;
            case ControlKind::ComboBox:
                static_cast<QComboBox *>(w)->setEditable(false);
                break;
            case ControlKind::Skin: {
                auto *skin = static_cast<SkinForm *>(w);
                skin->setDrawGradientForm(true);
                skin->setIcon(QApplication::windowIcon());
                break;
            }
            default:
                break;
            }
        }
        for (QWidget *w : controls) {
            if (kindOf(w) != ControlKind::Button)
                continue;
            QString c = caption(w);
            for (const AccessKey &k : kAccessKeys) {
                if (c == QLatin1String(k.plain))
                    c = QString::fromUtf8(k.withKey);
            }
            setCaption(w, c);
        }
        if (isEnglish())
            doEnglish(controls);
    });
}

int centeredOffset(int screenTwips, int windowTwips)
{
    return (screenTwips - windowTwips) / 2;
}

void CenterForm(Form &form)
{
    moduleProc(QStringLiteral("basGeneral"), QStringLiteral("CenterForm"), [&] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect g = screen->geometry();
        const int top = centeredOffset(pixelsToTwips(g.height()), pixelsToTwips(form.frameGeometry().height()));
        const int left = centeredOffset(pixelsToTwips(g.width()), pixelsToTwips(form.frameGeometry().width()));
        form.move(form.x(), twipsToPixels(top));
        form.move(twipsToPixels(left), form.y());
    });
}
