#include "Trace.h"
#include "AppFolder.h"
#include "Clock.h"
#include "Globals.h"
#include "Messages.h"
#include "Regional.h"

#include <QFile>

namespace {
// While the failure of a write is being reported, the message box's own
// trace call must not try the same write again.
bool s_reporting = false;
// A log that cannot be written is reported once, not at every procedure.
bool s_failureShown = false;
} // namespace

void traceProcedure(const QString &module, const QString &procedure)
{
    gCurrentProc = module + QStringLiteral("::") + procedure;
    if (gLogStatus == QLatin1String("ON"))
        addToLog(gCurrentProc);
}

void addToLog(const QString &text)
{
    if (gLogStatus != QLatin1String("ON") || s_reporting)
        return;
    const QDateTime now = clockNow();
    const QString line = QStringLiteral("[") + Regional::shortDate(now.date()) + QStringLiteral(" - ")
        + Regional::longTime(now.time()) + QStringLiteral("] ") + text + QStringLiteral("\r\n");
    QFile f(appFile(QStringLiteral("merivolo3.log")));
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Append);
    if (ok) {
        const QByteArray bytes = line.toUtf8();
        ok = f.write(bytes) == bytes.size();
        f.close();
        ok = ok && f.error() == QFileDevice::NoError;
    }
    if (ok) {
        s_failureShown = false;
        return;
    }
    if (s_failureShown)
        return;
    s_failureShown = true;
    s_reporting = true;
    const QString desc = f.errorString().isEmpty() ? QStringLiteral("Path/File access error") : f.errorString();
    MyMsgBox(QStringLiteral("Error 75 (") + desc + QStringLiteral(") in procedure addToLog of Modulo basGeneralCustom"),
             MsgStyle::Exclamation, QStringLiteral("Merivolo"));
    s_reporting = false;
}
