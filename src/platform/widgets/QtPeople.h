#pragma once
#include "People.h"

#include <functional>

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
