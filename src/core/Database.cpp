#include "Database.h"
#include "AppFolder.h"
#include "Edition.h"
#include "Globals.h"
#include "Messages.h"
#include "Procedure.h"
#include "Trace.h"

#include "ConnectionString.h"
#include "SqliteComponent.h"
#ifdef SOCIVANT_WITH_MARIADB
#include "MariaDbConnection.h"
#endif

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
std::unique_ptr<SqliteComponent> gSqlLiteDb;
std::unique_ptr<DbConnection> gCn; // the MySQL connection
bool gCnCreated = false;           // the Access / MySQL connection object

const QString kModule = QStringLiteral("basGeneral");

// The message, and under it why: a desk started from a menu has no error
// output to read, and whoever looks after it needs the reason.
void connectFailed(const QString &text, const QString &why)
{
    qWarning("The register cannot be opened: %s", qPrintable(why));
    MyMsgBox(why.isEmpty() ? text : text + QStringLiteral("\n\n") + why, MsgStyle::Critical,
             QStringLiteral("Merivolo"));
}

QString reasonOf(const RuntimeError &e, const QString &where)
{
    return where + QStringLiteral(": error %1 (%2)").arg(e.number).arg(e.description);
}

DbConnection &connection()
{
    DbConnection *c = dbConnection();
    if (!c)
        raiseError(ErrNo::ObjectRequired, QStringLiteral("The database is not open."));
    return *c;
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
    return dbConnection() != nullptr;
}

DbConnection *dbConnection()
{
    if (gSqlLiteDb && gSqlLiteDb->isOpen())
        return gSqlLiteDb.get();
    if (gCn && gCn->isOpen())
        return gCn.get();
    return nullptr;
}

long long lastInsertedKey()
{
    const DbConnection *c = dbConnection();
    return c ? c->lastInsertId() : 0;
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
    } catch (const RuntimeError &e) {
        connectFailed(QStringLiteral("Impossibile connettersi al database"), reasonOf(e, gDbPath));
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
    connectFailed(QStringLiteral("Impossibile caricare il database"), QString());
}

// The server named by the connection string in "mysqlconf.ini". A build for
// SQLite has no client library for it and ends with the opener's message.
void OpenMySqlDb()
{
    if (gCnCreated)
        return;
    gCnCreated = true;
    const QString file = appFile(QStringLiteral("mysqlconf.ini"));
    if (!QFileInfo(file).isFile()) {
        connectFailed(QStringLiteral("Impossibile connettersi al database"),
                      QStringLiteral("mysqlconf.ini not found in %1").arg(QFileInfo(file).absolutePath()));
        return;
    }
    const QString address = getMySqlConnectionString();
    QString why;
#ifdef SOCIVANT_WITH_MARIADB
    auto cn = std::make_unique<MariaDbConnection>();
    try {
        ServerAddress a = parseConnectionString(address);
        // Certificate files named without a folder lie beside the program,
        // as mysqlconf.ini does, whatever the current folder.
        for (QString *file : {&a.sslCa, &a.sslCaPath, &a.sslCert, &a.sslKey})
            if (!file->isEmpty() && QFileInfo(*file).isRelative())
                *file = appFile(*file);
        cn->open(a);
        gCn = std::move(cn);
        return;
    } catch (const RuntimeError &e) {
        why = reasonOf(e, QStringLiteral("mysqlconf.ini"));
    }
#else
    Q_UNUSED(address);
    why = QStringLiteral("this program is built for a register file, not for a server");
#endif
    connectFailed(QStringLiteral("Impossibile connettersi al database"), why);
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

std::shared_ptr<Recordset> rs()
{
    if (!gRs || !gRs->isOpen())
        raiseError(ErrNo::ObjectRequired, QStringLiteral("Operation is not allowed when the object is closed."));
    return gRs;
}

bool gRsOpen(const QString &sql)
{
    bool ok = false;
    moduleProc(kModule, QStringLiteral("gRsOpen"), [&] {
        gRs = connection().query(sql);
        ok = true;
    });
    return ok;
}

bool gDbExecute(const QString &sql, int *rowsAffected)
{
    bool ok = false;
    moduleProc(kModule, QStringLiteral("gDbExecute"), [&] {
        const int n = connection().execute(sql);
        if (rowsAffected)
            *rowsAffected = n;
        ok = true;
    });
    return ok;
}

bool gDbExecuteQuiet(const QString &sql)
{
    traceProcedure(kModule, QStringLiteral("gDbExecute"));
    DbConnection *c = dbConnection();
    if (!c)
        return false;
    try {
        c->execute(sql);
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
    // SQLite takes the write lock at once, so what body reads stays as read
    // until it commits; the server locks the rows body reads with lockRow.
    if (!gDbExecute(isSqlLite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
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

QString lockRowQuery(const QString &table, const QString &keyColumn, long long key)
{
    return QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + keyColumn + QStringLiteral(" = ")
        + QString::number(key) + (isMySql() ? QStringLiteral(" FOR UPDATE") : QString());
}

QString exactText(const QString &quoted)
{
    return isMySql() ? QStringLiteral("BINARY ") + quoted : quoted;
}

void resetDatabase()
{
    gRs.reset();
    gSqlLiteDb.reset();
    gCn.reset();
    gCnCreated = false;
}
