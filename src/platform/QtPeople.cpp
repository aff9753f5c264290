#include "QtPeople.h"
#include "Form.h"
#include "PlatformCodes.h"
#include "PrintPreviewDialog.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <malloc.h>

namespace {
People *&current()
{
    static People *p = nullptr;
    return p;
}
} // namespace

People &people()
{
    static QtPeople qtPeople;
    return current() ? *current() : qtPeople;
}

void setPeople(People *p)
{
    current() = p;
}

int QtPeople::themedMsgBox(const QString &prompt, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (style & MsgStyle::IconMask) {
    case MsgStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgStyle::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgStyle::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgStyle::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if ((style & MsgStyle::ButtonsMask) == MsgStyle::YesNo) {
        // Qt's own buttons, so that they read in the edition's language.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgResult::Ok;
}

void QtPeople::plainMsgBox(const QString &text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString QtPeople::themedInputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    return ok ? text : QString();
}

QString QtPeople::saveFileDialog(const QString &filter)
{
    // "File CSV|*.csv" -> "File CSV (*.csv)"
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts.at(i) + QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
    QFileDialog dlg(QApplication::activeWindow());
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filters);
    // Overwriting is asked by the program itself, in its own words.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

void QtPeople::printPreview(WebBrowser &web)
{
    {
        PrintPreviewDialog dlg(web.documentText(), QApplication::activeWindow());
        if (dlg.prepare())
            dlg.exec();
    }
    // The layout of a long printout was many small blocks: hand the memory
    // back to the system rather than keep it with the process.
    malloc_trim(0);
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
