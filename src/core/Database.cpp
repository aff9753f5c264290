#include "Database.h"
#include "AppFolder.h"
#include "Edition.h"
#include "Globals.h"
#include "Messages.h"
#include "Procedure.h"
#include "Trace.h"

#include <QFile>
#include <QTextStream>

namespace {
std::unique_ptr<SqliteComponent> gSqlLiteDb;
bool gCnCreated = false; // the Access / MySQL connection object

const QString kModule = QStringLiteral("basGeneral");

void connectFailed(const QString &text)
{
    MyMsgBox(text, MsgStyle::Critical, QStringLiteral("Merivolo"));
}
} // namespace

bool isSqlLite()
{
    traceProcedure(QStringLiteral("basRegistering"), QStringLiteral("isSqlLite"));
    return gDbType == QLatin1String("SqlLite");
}

bool isAccess()
{
    traceProcedure(QStringLiteral("basRegistering"), QStringLiteral("isAccess"));
    return gDbType == QLatin1String("Access");
}

bool isMySql()
{
    traceProcedure(QStringLiteral("basRegistering"), QStringLiteral("isMySql"));
    return gDbType == QLatin1String("MySql");
}

bool OpenDb()
{
    traceProcedure(kModule, QStringLiteral("OpenDb"));
    if (isAccess())
        OpenAccessDb();
    if (isMySql())
        OpenMySqlDb();
    if (isSqlLite())
        OpenSqlLiteDb();
    return isDbOpen();
}

bool isDbOpen()
{
    return gSqlLiteDb && gSqlLiteDb->isOpen();
}

SqliteComponent *sqliteDb()
{
    return gSqlLiteDb.get();
}

void OpenSqlLiteDb()
{
    traceProcedure(kModule, QStringLiteral("OpenSqlLiteDb"));
    if (gSqlLiteDb)
        return;
    gSqlLiteDb = std::make_unique<SqliteComponent>();
    gDbFileName = isEnglish() ? QStringLiteral("socivant.db3") : QStringLiteral("merivolo.db3");
    gDbPath = appFile(gDbFileName);
    try {
        gSqlLiteDb->open(gDbPath, QString());
    } catch (const RuntimeError &) {
        connectFailed(QStringLiteral("Impossibile connettersi al database"));
    }
}

// There is no Access driver on this platform: the back-end exists only as
// its failure, so a build switched to it ends with the Part's message.
void OpenAccessDb()
{
    if (gCnCreated)
        return;
    gCnCreated = true;
    gDbFileName = QStringLiteral("merivolo3.mdb");
    gDbPath = appFile(gDbFileName);
    connectFailed(QStringLiteral("Impossibile caricare il database"));
}

// The MySQL back-end reads its connection string; a client library for it is
// not part of this build, so the connection itself cannot be made yet.
void OpenMySqlDb()
{
    if (gCnCreated)
        return;
    gCnCreated = true;
    getMySqlConnectionString();
    connectFailed(QStringLiteral("Impossibile connettersi al database"));
}

QString getMySqlConnectionString()
{
    QString line;
    moduleProc(kModule, QStringLiteral("getMySqlConnectionString"), [&] {
        QFile f(appFile(QStringLiteral("mysqlconf.ini")));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            raiseError(ErrNo::FileNotFound, QStringLiteral("File not found"));
        QTextStream in(&f);
        line = in.readLine();
    });
    return line;
}

Recordset &rs()
{
    if (!gRs || !gRs->isOpen())
        raiseError(ErrNo::ObjectRequired, QStringLiteral("Operation is not allowed when the object is closed."));
    return *gRs;
}

bool gRsOpen(const QString &sql)
{
    bool ok = false;
    moduleProc(kModule, QStringLiteral("gRsOpen"), [&] {
        if (!gSqlLiteDb || !gSqlLiteDb->isOpen())
            raiseError(ErrNo::ObjectRequired, QStringLiteral("The database is not open."));
        gRs = gSqlLiteDb->query(sql);
        ok = true;
    });
    return ok;
}

bool gDbExecute(const QString &sql, int *rowsAffected)
{
    bool ok = false;
    moduleProc(kModule, QStringLiteral("gDbExecute"), [&] {
        if (!gSqlLiteDb || !gSqlLiteDb->isOpen())
            raiseError(ErrNo::ObjectRequired, QStringLiteral("The database is not open."));
        const int n = gSqlLiteDb->execute(sql);
        if (rowsAffected)
            *rowsAffected = n;
        ok = true;
    });
    return ok;
}

bool gDbExecuteQuiet(const QString &sql)
{
    traceProcedure(kModule, QStringLiteral("gDbExecute"));
    if (!gSqlLiteDb || !gSqlLiteDb->isOpen())
        return false;
    try {
        gSqlLiteDb->execute(sql);
        return true;
    } catch (const RuntimeError &) {
        return false;
    }
}

void CloseDb()
{
    traceProcedure(kModule, QStringLiteral("CloseDb"));
    if (gRs && gRs->isOpen())
        gRs->close();
}

bool inTransaction(const std::function<bool()> &body)
{
    if (!gDbExecute(QStringLiteral("BEGIN")))
        return false;
    bool ok = false;
    try {
        ok = body();
    } catch (...) {
        gDbExecuteQuiet(QStringLiteral("ROLLBACK"));
        throw;
    }
    if (ok && gDbExecute(QStringLiteral("COMMIT")))
        return true;
    gDbExecuteQuiet(QStringLiteral("ROLLBACK"));
    return false;
}

void resetDatabase()
{
    gRs.reset();
    gSqlLiteDb.reset();
    gCnCreated = false;
}
