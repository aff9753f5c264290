#pragma once
#include "Form.h"
#include "People.h"

#include <QtTest>

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// The people seam for tests: answers from queues and records every prompt.
// A question or a modal window with nothing scripted fails the test at once
// instead of waiting for a person, and so does a script or an answer left over
// when the test ends.
class ScriptedPeople : public People {
public:
    struct Prompt {
        QString kind; // "msgbox", "plain", "input", "save"
        QString text;
        int style;
        QString title;
    };
    ScriptedPeople(); // installs itself and the translated message box
    ~ScriptedPeople() override;

    int themedMsgBox(const QString &prompt, int style, const QString &title) override;
    void plainMsgBox(const QString &text) override;
    QString themedInputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileDialog(const QString &filter) override;
    void printPreview(WebBrowser &web) override;
    QString associatedBrowser(const QString &probePath) override;
    bool openUrl(const QString &address) override;
    void runModal(Form &form) override;

    std::deque<int> msgAnswers;                    // for Yes/No questions
    std::deque<QString> inputAnswers;              // for input boxes
    std::deque<QString> saveAnswers;               // for save dialogs
    std::deque<std::function<void(Form &)>> modal; // one per modal window
    bool openUrlResult = true;
    QString browser = QStringLiteral("browser"); // empty: none is installed

    QList<Prompt> prompts;
    QStringList previews;   // documents shown in print preview
    QStringList urls;       // addresses opened
    QStringList modalShown; // object names of windows run modally
    QStringList inputDefaults;

    // Queues the script of the next modal window, which must be a W.
    template <class W>
    void expect(const std::function<void(W &)> &body)
    {
        modal.push_back([body](Form &f) {
            auto *w = qobject_cast<W *>(&f);
            if (!w) {
                QTest::qFail(qPrintable(QStringLiteral("unexpected window ") + f.objectName()), __FILE__, __LINE__);
                return;
            }
            body(*w);
        });
    }

    QStringList messages() const; // texts of the message boxes, in order
    Prompt last() const;
};
