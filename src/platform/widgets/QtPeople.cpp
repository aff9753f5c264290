#include "QtPeople.h"
#include "Form.h"
#include "PlatformCodes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <functional>

namespace {
std::function<void(WebBrowser &)> &previewer()
{
    static std::function<void(WebBrowser &)> f;
    return f;
}
} // namespace

void setPrintPreviewer(std::function<void(WebBrowser &)> preview)
{
    previewer() = std::move(preview);
}

namespace {
// Whether a box may open over w: a box owned by a window goes with it, so the
// window must be one that stays while the box is up. A window being unloaded,
// unloaded or released (deleted at the next turn of an event loop, which the
// box's own loop is) does not, and neither does a hidden one.
bool canOwnBoxes(QWidget *w)
{
    if (!w || !w->isVisible())
        return false;
    if (const auto *form = qobject_cast<const Form *>(w))
        return !form->isClosing();
    return true;
}
} // namespace

QWidget *boxOwner()
{
    for (QWidget *w : {QApplication::activeModalWidget(), QApplication::activeWindow(),
                       static_cast<QWidget *>(Form::activeForm())}) {
        if (w && canOwnBoxes(w->window()))
            return w->window();
    }
    return nullptr;
}

int QtPeople::themedMsgBox(const QString &prompt, int style, const QString &title)
{
    auto *box = new QMessageBox(boxOwner());
    box->setWindowTitle(title);
    box->setText(prompt);
    switch (style & MsgStyle::IconMask) {
    case MsgStyle::Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    case MsgStyle::Question:
        box->setIcon(QMessageBox::Question);
        break;
    case MsgStyle::Exclamation:
        box->setIcon(QMessageBox::Warning);
        break;
    case MsgStyle::Information:
        box->setIcon(QMessageBox::Information);
        break;
    default:
        box->setIcon(QMessageBox::NoIcon);
        break;
    }
    if ((style & MsgStyle::ButtonsMask) == MsgStyle::YesNo) {
        // Qt's own buttons, so that they read in the edition's language.
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
        return runOwned(box) == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box->setStandardButtons(QMessageBox::Ok);
    runOwned(box);
    return MsgResult::Ok;
}

void QtPeople::plainMsgBox(const QString &text)
{
    auto *box = new QMessageBox(boxOwner());
    box->setWindowTitle(QApplication::applicationName());
    box->setText(text);
    box->setStandardButtons(QMessageBox::Ok);
    runOwned(box);
}

QString QtPeople::themedInputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    auto *dlg = new QInputDialog(boxOwner());
    dlg->setWindowTitle(title);
    dlg->setLabelText(prompt);
    dlg->setTextEchoMode(QLineEdit::Normal);
    dlg->setTextValue(defaultText);
    QString text;
    runOwned<QInputDialog>(dlg, [&](QInputDialog &d) {
        if (d.result() == QDialog::Accepted)
            text = d.textValue();
    });
    return text;
}

QString QtPeople::saveFileDialog(const QString &filter)
{
    // "File CSV|*.csv" -> "File CSV (*.csv)"
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts.at(i) + QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
    auto *dlg = new QFileDialog(boxOwner());
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setNameFilters(filters);
    // Overwriting is asked by the program itself, in its own words.
    dlg->setOption(QFileDialog::DontConfirmOverwrite, true);
    QString chosen;
    runOwned<QFileDialog>(dlg, [&](QFileDialog &d) {
        if (d.result() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            chosen = d.selectedFiles().constFirst();
    });
    return chosen;
}

void QtPeople::printPreview(WebBrowser &web)
{
    if (previewer())
        previewer()(web);
}

QString QtPeople::associatedBrowser(const QString &probePath)
{
    // The desktop's own choice first, then the program the desktop database
    // names for pages like the probe.
    for (const QString &entry : qEnvironmentVariable("BROWSER").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString program = entry.trimmed().section(QLatin1Char(' '), 0, 0);
        if (!QStandardPaths::findExecutable(program).isEmpty() || QFileInfo(program).isExecutable())
            return program;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        return QString();
    QMimeDatabase mimes;
    const QString type = mimes.mimeTypeForFile(probePath).name();
    for (const QString &mime : {type, QStringLiteral("x-scheme-handler/http")}) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime});
        if (!query.waitForFinished(3000)) {
            query.kill();
            continue;
        }
        const QString desktopFile = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
        if (query.exitCode() == 0 && !desktopFile.isEmpty())
            return desktopFile;
    }
    return QString();
}

bool QtPeople::openUrl(const QString &address)
{
    QUrl url = QUrl::fromUserInput(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void QtPeople::runModal(Form &form)
{
    QTimer::singleShot(0, &form, [&form] {
        if (form.isLoaded())
            form.Form_Activate();
    });
    form.exec();
}
