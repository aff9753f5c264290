#include "Settings.h"
#include "AppFolder.h"
#include "Clock.h"
#include "Database.h"
#include "Globals.h"
#include "Procedure.h"
#include "Regional.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
const QString kCustom = QStringLiteral("basGeneralCustom");
const QString kUpgrades = QStringLiteral("basAggiornamentiDatabase");
constexpr int kMaxStatements = 30;

// The indexes of data/schema.sql. A register made before they were there
// gets them at its next start (a few seconds once on millions of payments,
// nothing afterwards); without them every delete check and the payments of
// one member read the whole table.
const char *const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS PagamentiAnagrafica ON Pagamenti (ANAGRAFICAID)",
    "CREATE INDEX IF NOT EXISTS AnagraficaTipologia ON Anagrafica (TIPOLOGIAID)",
    "CREATE INDEX IF NOT EXISTS GiratePagamento ON Girate (PagamentiID)",
    "CREATE INDEX IF NOT EXISTS VersamentiPagamento ON Versamenti (PagamentiID)",
    "CREATE INDEX IF NOT EXISTS VersamentiConto ON Versamenti (CONTOCORRENTEID)",
    "CREATE INDEX IF NOT EXISTS AssegniEmessiConto ON AssegniEmessi (CONTOCORRENTEID)",
};
} // namespace

QString getSetting(const QString &code)
{
    QString value;
    moduleProc(kCustom, QStringLiteral("getSetting"), [&] {
        OpenDb();
        gRs.reset();
        if (!gRsOpen(QStringLiteral("select value from settings where mnemocode='") + code + QStringLiteral("'")))
            raiseError(ErrNo::ObjectRequired, QStringLiteral("Object required"));
        const std::shared_ptr<Recordset> held = rs();
        Recordset &r = *held;
        if (!r.eof()) {
            if (r.isNull(0)) {
                CloseDb();
                raiseError(ErrNo::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
            }
            value = r.text(0);
        }
        CloseDb();
    });
    return value;
}

void aggiornaFaseUpdate(int phase)
{
    moduleProc(kCustom, QStringLiteral("aggiornaFaseUpdate"), [&] {
        if (phase < -32768 || phase > 32767)
            raiseError(ErrNo::Overflow, QStringLiteral("Overflow"));
        gUpdatePhase = short(phase);
    });
}

void aggiungiAggiornamentoDatabase(const QString &sql)
{
    moduleProc(kUpgrades, QStringLiteral("aggiungiAggiornamentoDatabase"), [&] {
        if (gUpgradeCount >= kMaxStatements)
            raiseError(ErrNo::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        while (gUpgradeStatements.size() <= gUpgradeCount + 1)
            gUpgradeStatements << QString();
        ++gUpgradeCount;
        gUpgradeStatements[gUpgradeCount] = sql;
    });
}

void inizializzaAggiornamentiDatabase()
{
    moduleProc(kUpgrades, QStringLiteral("inizializzaAggiornamentiDatabase"), [&] {
        gUpgradeCount = 0;
        gUpgradeStatements = QStringList{QString()};
        const QString today = Regional::shortDate(clockNow().date());
        // Two statements are SQLite's own; a server gets their MariaDB forms:
        // a key column of bounded length, and casts to SIGNED and CHAR.
        const bool server = isMySql();
        aggiungiAggiornamentoDatabase(
            server ? QStringLiteral("create table settings (mnemocode varchar(64) primary key, value text)")
                   : QStringLiteral("create table settings (mnemocode text primary key, value text)"));
        aggiungiAggiornamentoDatabase(QStringLiteral("insert into settings (mnemocode,value) values ('PRIMOLAN','")
                                      + today + QStringLiteral("')"));
        aggiungiAggiornamentoDatabase(
            QStringLiteral("insert into settings (mnemocode,value) values ('INTESTAZ','Associazione')"));
        aggiungiAggiornamentoDatabase(QStringLiteral("insert into settings (mnemocode,value) values ('PRTCSIZE','7')"));
        aggiungiAggiornamentoDatabase(QStringLiteral("insert into settings (mnemocode,value) values ('ULTIMLAN','")
                                      + today + QStringLiteral("')"));
        aggiungiAggiornamentoDatabase(QStringLiteral("insert into settings (mnemocode,value) values ('NUMERLAN','1')"));
        aggiungiAggiornamentoDatabase(QStringLiteral("update settings set  value ='") + today
                                      + QStringLiteral("' where mnemocode='ULTIMLAN'"));
        aggiungiAggiornamentoDatabase(
            server
                ? QStringLiteral(
                    "update settings set  value = cast((cast(value as signed)+1) as char) where mnemocode='NUMERLAN'")
                : QStringLiteral(
                    "update settings set  value = cast((cast(value as integer)+1) as text) where mnemocode='NUMERLAN'"));
        aggiungiAggiornamentoDatabase(
            QStringLiteral("insert into settings (mnemocode,value) values ('LOGSTATUS','OFF')"));
    });
}

void AggiornaDatabase()
{
    moduleProc(kCustom, QStringLiteral("AggiornaDatabase"), [&] {
        if (gUpgradeCount != 0)
            return;
        inizializzaAggiornamentiDatabase();
        OpenDb();
        // The CREATE and the INSERTs are rejected on every start after the
        // first; that is how the list keeps the user's values, so it runs
        // without messages.
        for (int i = 1; i <= gUpgradeCount; ++i)
            gDbExecuteQuiet(gUpgradeStatements.at(i));
        // Quietly too: a read-only register works without them.
        if (isSqlLite()) {
            for (const char *sql : kIndexes)
                gDbExecuteQuiet(QString::fromLatin1(sql));
        }
        CloseDb();
    });
}

bool FileExists(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile();
}

void AggiornaReportistica()
{
    moduleProc(kCustom, QStringLiteral("AggiornaReportistica"), [&] {
        const QString path = appFile(QStringLiteral("nuovireport.sql"));
        if (!FileExists(path))
            return;
        OpenDb();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            raiseError(ErrNo::PermissionDenied, QStringLiteral("Permission denied"));
        QTextStream in(&f);
        while (!in.atEnd())
            gDbExecute(in.readLine());
        f.close();
        CloseDb();
    });
}

void resetStartupList()
{
    gUpgradeStatements.clear();
    gUpgradeCount = 0;
}
