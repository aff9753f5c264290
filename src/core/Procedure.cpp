#include "Procedure.h"
#include "Messages.h"

QString standardErrorText(const RuntimeError &e, const Proc &p)
{
    return QStringLiteral("Error ") + QString::number(e.number) + QStringLiteral(" (") + e.description
        + QStringLiteral(") in procedure ") + p.name
        + (p.kind == Proc::Form ? QStringLiteral(" of Form ") : QStringLiteral(" of Modulo ")) + p.owner;
}

void reportError(const RuntimeError &e, const Proc &p)
{
    const QString text = standardErrorText(e, p);
    if (p.box == Proc::Plain)
        PlainMsgBox(text);
    else
        MyMsgBox(text, MsgStyle::Exclamation, QStringLiteral("Merivolo"));
}
