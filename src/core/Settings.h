#pragma once
#include <QString>
#include <QStringList>

// The settings table, the statements run at every start and the optional
// "nuovireport.sql" replayed after them.
QString getSetting(const QString &code);
void aggiornaFaseUpdate(int phase);

inline QStringList gUpgradeStatements; // index 0 is empty and never run
inline short gUpgradeCount = 0;

void aggiungiAggiornamentoDatabase(const QString &sql);
void inizializzaAggiornamentiDatabase();
void AggiornaDatabase();
void AggiornaReportistica();
bool FileExists(const QString &path);

void resetStartupList();
