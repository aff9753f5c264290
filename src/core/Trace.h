#pragma once
#include <QString>

// Records the procedure entered last and, when LOGSTATUS is "ON", appends
// "[date - time] module::procedure" to "merivolo3.log".
void traceProcedure(const QString &module, const QString &procedure);
void addToLog(const QString &text);
