#include "TestFolder.h"
#include "AppFolder.h"
#include "Clock.h"
#include "Database.h"
#include "Globals.h"
#include "Settings.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {
QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(f.readAll());
}
} // namespace

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

TestFolder::TestFolder(bool withDatabase)
{
    resetDatabase();
    resetGlobals();
    resetStartupList();
    setAppFolder(m_dir.path());
    setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(9, 7, 3)); });
    if (withDatabase)
        exec(readAll(QStringLiteral(SOCIVANT_DATA_DIR "/schema.sql")));
}

TestFolder::~TestFolder()
{
    resetDatabase();
    setClock({});
    setAppFolder(QString());
}

void TestFolder::exec(const QString &dbPath, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(dbPath.toUtf8().constData(), &db) != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(dbPath));
    char *err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err);
        sqlite3_free(err);
        sqlite3_close(db);
        qFatal("SQL failed: %s", qPrintable(msg));
    }
    sqlite3_close(db);
}

QString TestFolder::scalar(const QString &sql) const
{
    sqlite3 *db = nullptr;
    sqlite3_open(dbPath().toUtf8().constData(), &db);
    sqlite3_stmt *st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        if (const unsigned char *t = sqlite3_column_text(st, 0))
            out = QString::fromUtf8(reinterpret_cast<const char *>(t));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

void TestFolder::open() const
{
    gDbType = QStringLiteral("SqlLite");
    OpenDb();
}

RecordingSink::RecordingSink()
{
    setMessageSink(this);
}

RecordingSink::~RecordingSink()
{
    setMessageSink(nullptr);
}

int RecordingSink::myMsgBox(const QString &prompt, int buttons, const QString &title)
{
    shown << Shown{prompt, buttons, title, false};
    if (buttons == MsgStyle::YesNo) {
        if (answers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unanswered question: ") + prompt), __FILE__, __LINE__);
            return MsgResult::None;
        }
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return MsgResult::Ok;
}

void RecordingSink::plainMsgBox(const QString &text)
{
    shown << Shown{text, 0, QString(), true};
}

QStringList RecordingSink::prompts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.prompt;
    return out;
}
