#pragma once
#include "RuntimeError.h"
#include "Trace.h"

#include <QString>
#include <exception>
#include <utility>

// The standard error handler, written once: every procedure runs its body
// through it. The trace call comes first; a RuntimeError ends the body and
// is shown as "Error N (description) in procedure P of Form F" (or
// "of Modulo M"), through MyMsgBox or, for the few procedures that do so,
// through the plain message box.
struct Proc {
    enum Kind { Form, Modulo };
    enum Box { Themed, Plain };
    QString owner;
    QString name;
    Kind kind = Form;
    Box box = Themed;
    bool trace = true;
};

QString standardErrorText(const RuntimeError &e, const Proc &p);
void reportError(const RuntimeError &e, const Proc &p);

// Runs body; returns false when it ended with a reported error.
template <class F>
bool runProc(const Proc &p, F &&body)
{
    if (p.trace)
        traceProcedure(p.owner, p.name);
    try {
        std::forward<F>(body)();
        return true;
    } catch (const RuntimeError &e) {
        reportError(e, p);
    } catch (const std::bad_alloc &) {
        reportError(RuntimeError{7, QStringLiteral("Out of memory")}, p);
    }
    return false;
}

template <class F>
bool formProc(const QString &form, const QString &name, F &&body)
{
    return runProc(Proc{form, name, Proc::Form}, std::forward<F>(body));
}

template <class F>
bool moduleProc(const QString &module, const QString &name, F &&body)
{
    return runProc(Proc{module, name, Proc::Modulo}, std::forward<F>(body));
}
