#include "Translation.h"
#include "Controls.h"
#include "FlexGrid.h"
#include "Messages.h"
#include "People.h"
#include "Procedure.h"
#include "TranslationTables.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
QString applyRows(QString text, const QVector<TranslationRow> &rows)
{
    for (const TranslationRow &r : rows)
        text.replace(r.italian, r.english, Qt::CaseSensitive);
    return text;
}

const QString kGeneral = QStringLiteral("basGeneral");

Proc plainProc(const QString &name)
{
    return Proc{kGeneral, name, Proc::Modulo, Proc::Plain};
}

class ThemedSink : public MessageSink {
public:
    int myMsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        int result = MsgResult::None;
        runProc(Proc{QStringLiteral("basRegistering"), QStringLiteral("MyMsgBox"), Proc::Modulo, Proc::Plain}, [&] {
            QString shown = prompt;
            QString shownTitle = title;
            if (isEnglish()) {
                shown = translateMessage(prompt);
                shownTitle = QStringLiteral("Socivant");
            }
            result = people().themedMsgBox(shown, buttons, shownTitle);
        });
        return result;
    }
    void plainMsgBox(const QString &text) override { people().plainMsgBox(text); }
};
} // namespace

QString translateMessage(const QString &text)
{
    return applyRows(text, messageTable());
}

QString SostituisciCaptionEng(const QString &caption)
{
    QString out;
    runProc(plainProc(QStringLiteral("SostituisciCaptionEng")), [&] {
        out = applyRows(caption, captionTable());
        if (out == QLatin1String("da"))
            out = QStringLiteral("min");
        if (out == QLatin1String("a"))
            out = QStringLiteral("to");
        if (out == QLatin1String("su"))
            out = QStringLiteral("on");
    });
    return out;
}

void doEnglish(const QList<QWidget *> &controls)
{
    runProc(plainProc(QStringLiteral("doEnglish")), [&] {
        for (QWidget *w : controls) {
            switch (kindOf(w)) {
            case ControlKind::Button: {
                QString c = caption(w);
                for (const TranslationRow &r : buttonTable()) {
                    if (c == r.italian)
                        c = r.english;
                }
                setCaption(w, c);
                break;
            }
            case ControlKind::Label:
            case ControlKind::Skin:
            case ControlKind::CheckBox:
                setCaption(w, SostituisciCaptionEng(caption(w)));
                break;
            case ControlKind::DatePicker:
                static_cast<DatePicker *>(w)->setTextForToday(QStringLiteral("Today"));
                break;
            default:
                break;
            }
        }
    });
}

void doEnglishGrid(FlexGrid &grid)
{
    runProc(plainProc(QStringLiteral("doEnglishGrid")), [&] {
        if (!isEnglish())
            return;
        for (int c = 0; c < grid.Cols(); ++c)
            grid.setTextMatrix(0, c, SostituisciCaptionEng(grid.TextMatrix(0, c)));
    });
}

void installMessageBox()
{
    static ThemedSink sink;
    setMessageSink(&sink);
}

namespace {
// The few words of the program's own dialogs that are not in a window's
// design (the print preview's progress), in Italian.
class ItalianDialogWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char * /*disambiguation*/,
                      int /*n*/) const override
    {
        if (qstrcmp(context, "PrintPreviewDialog") == 0 && qstrcmp(sourceText, "Preparing the pages...") == 0)
            return QStringLiteral("Preparazione delle pagine...");
        return QString();
    }
    bool isEmpty() const override { return false; }
};
} // namespace

bool installToolkitTranslation()
{
    QLocale::setDefault(isEnglish() ? QLocale(QLocale::English, QLocale::UnitedStates)
                                    : QLocale(QLocale::Italian, QLocale::Italy));
    QCoreApplication *app = QCoreApplication::instance();
    if (isEnglish() || !app)
        return false;
    QCoreApplication::installTranslator(new ItalianDialogWords(app));
    auto *qt = new QTranslator(app);
    if (qt->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(qt))
        return true;
    delete qt;
    return false;
}
