#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// The rows of one query, read forward one at a time. Field values are Null
// (an invalid QVariant), whole numbers, reals or text, on every back-end:
// dates come as "YYYY-MM-DD HH:MM:SS" text. Reading a closed set, a field
// past the end or a row past EOF raises RuntimeError.
class Recordset {
public:
    virtual ~Recordset() = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    virtual bool isOpen() const = 0;
    bool eof() const { return m_eof; }
    virtual void moveNext() = 0;
    virtual void close() = 0;

    int fieldCount() const;
    QString fieldName(int i) const;
    // Index of the field with that name, compared without regard to case;
    // -1 when there is none.
    int fieldIndex(const QString &name) const;
    virtual QVariant value(int i) const = 0;
    QVariant value(const QString &name) const;
    virtual bool isNull(int i) const = 0;
    // The value joined to an empty text: Null gives "", whole numbers their
    // digits, reals up to 15 significant digits.
    virtual QString text(int i) const = 0;
    // The same text as UTF-8, valid until the next move: a back-end that
    // holds its rows as UTF-8 hands them over without a conversion.
    virtual QByteArrayView textUtf8(int i) const
    {
        m_utf8 = text(i).toUtf8();
        return m_utf8;
    }
    // textUtf8 of fields 0..n-1 into cells[0..n-1] in one call, all valid
    // together until the next move: a list fill asks once a row.
    virtual void rowUtf8(QByteArrayView *cells, int n) const;

protected:
    Recordset() = default;
    // Raises the error of a read with no current row or a bad field index.
    void checkRow(int i) const;
    [[noreturn]] static void raiseClosed();
    QStringList m_names;
    bool m_eof = true;

private:
    mutable QByteArray m_utf8;
    mutable std::vector<QByteArray> m_row; // rowUtf8's texts

};

// One connection to the register's database behind the three operations
// the program uses. Failures raise RuntimeError with the engine's number
// and message.
class DbConnection {
public:
    virtual ~DbConnection() = default;
    virtual bool isOpen() const = 0;
    // Applies one statement (text after it is refused) and returns the
    // number of rows it matched. An empty statement does nothing.
    virtual int execute(const QString &sql) = 0;
    // Runs a query; the set is positioned on its first row.
    virtual std::shared_ptr<Recordset> query(const QString &sql) = 0;
    // The key the last INSERT of this connection generated (0 before any):
    // another program's insert in between does not change it.
    virtual long long lastInsertId() const = 0;

    // Called with the text of every statement sent (tests record them).
    void setObserver(std::function<void(const QString &)> observer) { m_observer = std::move(observer); }

protected:
    void observe(const QString &sql) const
    {
        if (m_observer)
            m_observer(sql);
    }

private:
    std::function<void(const QString &)> m_observer;
};
