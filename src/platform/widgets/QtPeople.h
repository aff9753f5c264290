#pragma once
#include "People.h"

#include <QDialog>
#include <QPointer>
#include <functional>

// The window every box, input box, file dialog and print preview opens over:
// the top modal window when it stays open, else the active one, else the
// window the program activates next, else none (a box of its own).
QWidget *boxOwner();

// Runs a dialog made on the heap over its owner; a dialog that goes with its
// owner while it runs is not deleted twice.
template <class Dialog>
int runOwned(Dialog *dialog, const std::function<void(Dialog &)> &after = {})
{
    QPointer<Dialog> guard(dialog);
    const int result = dialog->exec();
    if (!guard)
        return QDialog::Rejected;
    if (after)
        after(*dialog);
    delete dialog;
    return result;
}

// The print preview is drawn by the print room, which stands on the widgets:
// the program installs it here (showPrintPreview) with the Qt dialogs.
void setPrintPreviewer(std::function<void(WebBrowser &)> preview);

class QtPeople : public People {
public:
    int themedMsgBox(const QString &prompt, int style, const QString &title) override;
    void plainMsgBox(const QString &text) override;
    QString themedInputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileDialog(const QString &filter) override;
    void printPreview(WebBrowser &web) override;
    QString associatedBrowser(const QString &probePath) override;
    bool openUrl(const QString &address) override;
    void runModal(Form &form) override;
};
