#include "ScriptedPeople.h"
#include "Form.h"
#include "Translation.h"
#include "WebBrowser.h"

#include <QtTest>

ScriptedPeople::ScriptedPeople()
{
    setPeople(this);
    installMessageBox();
}

ScriptedPeople::~ScriptedPeople()
{
    setPeople(nullptr);
    // A script or an answer left over is a window or a question the test
    // counted on that never came: the wire to it may be gone.
    if (!QTest::currentTestFunction() || QTest::currentTestFailed())
        return;
    QStringList unused;
    if (!modal.empty())
        unused << QString::number(modal.size()) + QStringLiteral(" window script(s)");
    if (!msgAnswers.empty())
        unused << QString::number(msgAnswers.size()) + QStringLiteral(" answer(s) to questions");
    if (!inputAnswers.empty())
        unused << QString::number(inputAnswers.size()) + QStringLiteral(" input box answer(s)");
    if (!saveAnswers.empty())
        unused << QString::number(saveAnswers.size()) + QStringLiteral(" save dialog answer(s)");
    if (!unused.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("never used: ") + unused.join(QStringLiteral(", "))), __FILE__,
                     __LINE__);
}

int ScriptedPeople::themedMsgBox(const QString &prompt, int style, const QString &title)
{
    prompts << Prompt{QStringLiteral("msgbox"), prompt, style, title};
    if ((style & MsgStyle::ButtonsMask) == MsgStyle::YesNo) {
        if (msgAnswers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unanswered question: ") + prompt), __FILE__, __LINE__);
            return MsgResult::No;
        }
        const int a = msgAnswers.front();
        msgAnswers.pop_front();
        return a;
    }
    return MsgResult::Ok;
}

void ScriptedPeople::plainMsgBox(const QString &text)
{
    prompts << Prompt{QStringLiteral("plain"), text, 0, QString()};
}

QString ScriptedPeople::themedInputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    prompts << Prompt{QStringLiteral("input"), prompt, 0, title};
    inputDefaults << defaultText;
    if (inputAnswers.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unanswered input box: ") + prompt), __FILE__, __LINE__);
        return QString();
    }
    const QString a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

QString ScriptedPeople::saveFileDialog(const QString &filter)
{
    prompts << Prompt{QStringLiteral("save"), filter, 0, QString()};
    if (saveAnswers.empty()) {
        QTest::qFail("unanswered save dialog", __FILE__, __LINE__);
        return QString();
    }
    const QString a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

void ScriptedPeople::printPreview(WebBrowser &web)
{
    previews << web.documentText();
}

QString ScriptedPeople::associatedBrowser(const QString &)
{
    return browser;
}

bool ScriptedPeople::openUrl(const QString &address)
{
    urls << address;
    return openUrlResult;
}

void ScriptedPeople::runModal(Form &form)
{
    modalShown << form.objectName();
    form.Form_Activate();
    if (modal.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("no script for modal window ") + form.objectName()), __FILE__, __LINE__);
        form.unload();
        return;
    }
    auto action = std::move(modal.front());
    modal.pop_front();
    action(form);
    // A script that leaves the window open closes it with the close box.
    if (form.isLoaded())
        form.unload();
}

QStringList ScriptedPeople::messages() const
{
    QStringList out;
    for (const Prompt &p : prompts) {
        if (p.kind == QLatin1String("msgbox") || p.kind == QLatin1String("plain"))
            out << p.text;
    }
    return out;
}

ScriptedPeople::Prompt ScriptedPeople::last() const
{
    return prompts.isEmpty() ? Prompt{} : prompts.constLast();
}
