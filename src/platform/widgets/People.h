#pragma once
#include <QString>

class Form;
class WebBrowser;

// Everything that waits for a person goes through here. The program installs
// the Qt implementation; tests install a scripted one that answers from a
// queue and records every prompt.
class People {
public:
    virtual ~People() = default;
    // The themed message box: style codes 16/48/64 (icon, OK) and 4 (Yes/No);
    // returns 1 (OK), 6 (Yes) or 7 (No).
    virtual int themedMsgBox(const QString &prompt, int style, const QString &title) = 0;
    // OK only, default title.
    virtual void plainMsgBox(const QString &text) = 0;
    // Cancel gives empty text.
    virtual QString themedInputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // A filter such as "File CSV|*.csv"; empty when cancelled.
    virtual QString saveFileDialog(const QString &filter) = 0;
    // Shows the print preview of the browser's document (print / PDF from there).
    virtual void printPreview(WebBrowser &web) = 0;
    // The program that opens a page like the file at probePath; empty when
    // there is none.
    virtual QString associatedBrowser(const QString &probePath) = 0;
    // Opens an address in the default browser; false when that failed.
    virtual bool openUrl(const QString &address) = 0;
    // Runs a loaded window modally and returns when it has been unloaded.
    virtual void runModal(Form &form) = 0;
};

// The one installed: the program installs the Qt implementation at start,
// tests a scripted one. A prompt with none installed is a fault of the
// program and ends it with a message.
People &people();
void setPeople(People *p); // null: none
