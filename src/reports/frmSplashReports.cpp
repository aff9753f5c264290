#include "frmSplashReports.h"
#include "Controls.h"
#include "Database.h"
#include "FormPrep.h"
#include "Messages.h"
#include "People.h"
#include "Procedure.h"
#include "Regional.h"
#include "ReportCatalogue.h"
#include "SqlText.h"
#include "Translation.h"
#include "frmReportistica.h"

#include <QPaintEvent>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
const QString kForm = QStringLiteral("frmSplashReports");
const QString kMsgTitle = QStringLiteral("Merivolo");
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 855;
constexpr int kColumns[] = {240, 1560, 2880, 4080, 5400, 6720};
constexpr int kRows[] = {600, 1560, 2520};
constexpr int kMarginTwips = 240;

// A command button whose caption wraps onto as many lines as its face
// holds, as report titles are longer than one line of a small button. The
// font shrinks a little when the words still do not fit.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const QString caption = opt.text;
        opt.text.clear();
        p.drawControl(QStyle::CE_PushButton, opt);
        const QRect face = rect().adjusted(4, 3, -4, -3);
        const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        QFont f = font();
        for (qreal size = f.pointSizeF(); size > 6.0; size -= 0.5) {
            f.setPointSizeF(size);
            const QRect need = QFontMetrics(f).boundingRect(face, flags, caption);
            if (need.width() <= face.width() && need.height() <= face.height())
                break;
        }
        p.setFont(f);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(face, flags, caption);
    }
};

QString enterWord()
{
    return isEnglish() ? QStringLiteral("Enter ") : QStringLiteral("Inserisci ");
}

QString ask(const QString &prompt)
{
    return people().themedInputBox(prompt, productTitle(), QString());
}

void refuse(const QString &text)
{
    MyMsgBox(text, MsgStyle::Exclamation, kMsgTitle);
}

QString placeholder(int n, const char *suffix)
{
    return QStringLiteral("[P") + QString::number(n) + QLatin1String(suffix) + QLatin1Char(']');
}
} // namespace

QPoint frmSplashReports::slotTwips(int slot)
{
    return {kColumns[slot % 6], kRows[slot / 6]};
}

frmSplashReports::frmSplashReports() : Form(kForm)
{
    OsenXPForm1 = new SkinForm(this);
    OsenXPForm1->setCaption(QStringLiteral("Scegli Report"));
    const int w = twipsToPixels(kButtonWidth);
    const int h = twipsToPixels(kButtonHeight);
    for (int n = 0; n < kButtons; ++n) {
        auto *b = new WrappingButton(QStringLiteral("Aggiungi"), this);
        b->setObjectName(QStringLiteral("cmdShowReport(%1)").arg(n));
        b->setAutoDefault(false);
        const QPoint at = slotTwips(n);
        b->setGeometry(twipsToPixels(at.x()), twipsToPixels(at.y()), w, h);
        connect(b, &QPushButton::clicked, this, [this, n] { cmdShowReport_Click(n); });
        cmdShowReport << b;
    }
    cmdClose = makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("Es&ci"));
    const QPoint at = slotTwips(kButtons);
    cmdClose->setGeometry(twipsToPixels(at.x()), twipsToPixels(at.y()), w, h);
    connect(cmdClose, &QPushButton::clicked, this, &frmSplashReports::cmdClose_Click);
    for (int n = 1; n < kButtons; ++n)
        setTabOrder(cmdShowReport.at(n - 1), cmdShowReport.at(n));
    setTabOrder(cmdShowReport.constLast(), cmdClose);
    setFixedSize(twipsToPixels(kColumns[5] + kButtonWidth + kMarginTwips),
                 twipsToPixels(kRows[2] + kButtonHeight + kMarginTwips));
}

void frmSplashReports::Form_Load()
{
    formProc(kForm, QStringLiteral("Form_Load"), [&] {
        CenterForm(*this);
        gReportButtonCount = kButtons - 1;
        PopolaArrayReport();
        for (int n = 0; n <= gReportButtonCount; ++n) {
            QPushButton *b = cmdShowReport.at(n);
            // A Null query counts as empty: no button.
            if (!gReports(n, 0, 0).toString().isEmpty()) {
                b->setVisible(true);
                // A Null title gives a blank caption rather than stopping
                // the load with the following buttons left as designed.
                QString caption = gReports(n, 1, 0).toString();
                if (isEnglish())
                    caption = SostituisciCaptionEng(caption);
                b->setText(caption);
            } else {
                b->setVisible(false);
            }
        }
        DisattivaTabstop(controls());
    });
}

void frmSplashReports::PopolaArrayReport()
{
    formProc(kForm, QStringLiteral("PopolaArrayReport"), [&] {
        for (int n = 0; n <= gReportButtonCount; ++n)
            gReports(n, 0, 0) = QString();
        int i = 0;
        gRs.reset();
        if (!gRsOpen(QStringLiteral("select * from reportistica order by ordine")))
            return;
        const std::shared_ptr<Recordset> held = rs();
        Recordset &r = *held;
        while (!r.eof()) {
            gReports(i, 0, 0) = r.value(QStringLiteral("sqlreport"));
            gReports(i, 1, 0) = r.value(QStringLiteral("titolo"));
            gReports(i, 1, 1) = r.value(QStringLiteral("numparametri"));
            gReports(i, 1, 2) = r.value(QStringLiteral("tipopar1"));
            gReports(i, 1, 3) = r.value(QStringLiteral("tipopar2"));
            gReports(i, 1, 4) = r.value(QStringLiteral("promptpar1"));
            gReports(i, 1, 5) = r.value(QStringLiteral("promptpar2"));
            if (isEnglish())
                traductiPrompPars(i);
            ++i;
            r.moveNext();
        }
        r.close();
        gRs.reset();
    });
    // A catalogue longer than the array ends the loading with its error;
    // the result set must not stay open behind it.
    if (gRs) {
        if (gRs->isOpen())
            gRs->close();
        gRs.reset();
    }
}

void frmSplashReports::traductiPrompPars(int icont)
{
    QVariant &prompt = gReports(icont, 1, 4);
    // A report without parameters may hold Null here; that is no phrase to
    // translate and no reason to stop loading the rows after it.
    if (prompt.isNull() || !prompt.isValid())
        return;
    prompt = translatePromptPhrases(prompt.toString());
}

bool frmSplashReports::askParameter(int Index, int n, QVector<QPair<QString, QString>> &fills)
{
    const QString type = gReports(Index, 1, n == 1 ? 2 : 3).toString();
    const QString prompt = gReports(Index, 1, n == 1 ? 4 : 5).toString();
    QString &answer = n == 1 ? m_par1 : m_par2;

    if (type == ReportParam::DataMese || type == ReportParam::DataPrecisa) {
        answer.clear();
        answer = ask(enterWord() + prompt);
        if (answer.trimmed().isEmpty())
            return false;
        const bool month = type == ReportParam::DataMese;
        const auto d = Regional::parseDate((month ? QStringLiteral("01/") : QString()) + answer.trimmed());
        if (!d) {
            if (month)
                refuse(QStringLiteral("Formato del mese non valido"));
            else if (n == 1)
                refuse(QStringLiteral("Formato data non valida"));
            else
                refuse(QStringLiteral("Formato della data non valido"));
            return false;
        }
        fills << PlaceholderFill{placeholder(n, ""), FormattaData(*d)}
              << PlaceholderFill{placeholder(n, "+1M"), FormattaData(d->addMonths(1))}
              << PlaceholderFill{placeholder(n, "+1A"), FormattaData(d->addYears(1))};
        return true;
    }
    if (type == ReportParam::DueDatePrecise) {
        if (n != 1)
            return true;
        answer.clear();
        answer = ask(isEnglish() ? QStringLiteral("Enter the starting date (DD/MM/YYYY)")
                                 : QStringLiteral("Inserisci la data di partenza (GG/MM/AAAA)"));
        if (answer.trimmed().isEmpty())
            return false;
        const auto start = Regional::parseDate(answer.trimmed());
        if (!start) {
            refuse(QStringLiteral("Formato data non valida"));
            return false;
        }
        const QString endAnswer = ask(isEnglish() ? QStringLiteral("Enter the end date (DD/MM/YYYY)")
                                                  : QStringLiteral("Inserisci la data di arrivo (GG/MM/AAAA)"));
        if (endAnswer.trimmed().isEmpty())
            return false;
        const auto end = Regional::parseDate(endAnswer.trimmed());
        if (!end) {
            refuse(QStringLiteral("Formato data non valida"));
            return false;
        }
        fills << PlaceholderFill{QStringLiteral("[P1]"), FormattaData(*start)}
              << PlaceholderFill{QStringLiteral("[P1ARR]"), FormattaData(*end)};
        return true;
    }
    if (type == ReportParam::Stringa) {
        answer.clear();
        answer = ask(enterWord() + prompt);
        if (answer.trimmed().isEmpty())
            return false;
        fills << PlaceholderFill{placeholder(n, ""), sqlStringBody(answer)};
        return true;
    }
    if (type == ReportParam::Numerico) {
        answer.clear();
        answer = ask(enterWord() + prompt);
        if (answer.trimmed().isEmpty())
            return false;
        if (!isAmount(answer)) {
            refuse(QStringLiteral("Formato numerico non valido"));
            return false;
        }
        fills << PlaceholderFill{placeholder(n, ""), sqlNumber(answer)};
        return true;
    }
    return true; // an unknown keyword asks nothing and fills nothing
}

void frmSplashReports::cmdShowReport_Click(int Index)
{
    formProc(kForm, QStringLiteral("cmdShowReport_Click"), [&] {
        const short count = Regional::toInteger16(gReports(Index, 1, 1).toString());
        QVector<PlaceholderFill> fills;
        bool go = true;
        if (count > 0)
            go = askParameter(Index, 1, fills);
        if (go && count > 1)
            go = askParameter(Index, 2, fills);
        if (!go) {
            PopolaArrayReport();
            return;
        }
        // All answers go in at once: an answer is data, never a template.
        if (!fills.isEmpty())
            gReports(Index, 0, 0) = fillPlaceholders(gReports(Index, 0, 0).toString(), fills);
        gCurrentReport = Index;
        Instance<frmReportistica>::get()->showModal();
        PopolaArrayReport();
    });
}

void frmSplashReports::cmdClose_Click()
{
    formProc(kForm, QStringLiteral("cmdClose_Click"), [&] {
        unload();
        Instance<frmSplashReports>::release();
    });
}
