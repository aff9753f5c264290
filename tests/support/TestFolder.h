#pragma once
#include "Edition.h"
#include "Messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>

// The bytes of a file ("" when it cannot be read), and writing them; a file
// that cannot be written ends the test program.
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// A fresh application folder for one test: a new database made from
// data/schema.sql, the globals of a fresh start, the clock fixed.
class TestFolder {
public:
    // withDatabase false: the folder holds no database file.
    explicit TestFolder(bool withDatabase = true);
    ~TestFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // The register of the edition under test.
    QString dbPath() const
    {
        return file(isEnglish() ? QStringLiteral("socivant.db3") : QStringLiteral("merivolo.db3"));
    }
    // Runs SQL straight on the database file, outside the program's connection.
    static void exec(const QString &dbPath, const QString &sql);
    void exec(const QString &sql) const { exec(dbPath(), sql); }
    // First column of the first row of a query, as text ("" for none/Null).
    QString scalar(const QString &sql) const;
    // Opens the program's connection on this folder's database.
    void open() const;

private:
    QTemporaryDir m_dir;
};

// A message sink for the data layer alone: records every message and answers
// questions from a queue.
class RecordingSink : public MessageSink {
public:
    struct Shown {
        QString prompt;
        int style;
        QString title;
        bool plain;
    };
    RecordingSink();
    ~RecordingSink() override;
    int myMsgBox(const QString &prompt, int buttons, const QString &title) override;
    void plainMsgBox(const QString &text) override;
    QList<Shown> shown;
    std::deque<int> answers;
    QStringList prompts() const;
};
