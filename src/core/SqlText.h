#pragma once
#include <QString>
#include <QVariant>

// Helpers that make values safe and right inside SQL text built by
// concatenation, in the dialect of the back-end in use.
QString StringReplace(const QString &source, const QString &find, const QString &replacement);
QString Pad(const QVariant &x);
QString PutTicksIn(const QVariant &x);
QString Punto(const QVariant &x);
// Whether a text typed by the user is an amount as the register writes
// amounts ("1.234,56", "12,50", "-3"); "12.50", "12,5,0", "abc" are not.
bool isAmount(const QString &text);
// An amount a record can hold: at most two decimals, and less than a
// million millions either way, which every back-end stores exactly
// ("10,555" and "1.000.000.000.000" are not).
bool isStorableAmount(const QString &text);
QString wrapbooleanchk(int value);
// "True"/"False"; "Vero"/"Falso" in the Italian edition.
QString BooleanToString(const QVariant &v);
// "YYYY-MM-DD HH:MM:SS". Takes a date, or a date text as users type it
// (day first, or ISO); anything else is reported and gives "".
QString FormattaData(const QVariant &d);
QString concatSql(const QString &a, const QString &b, const QString &c);
// Typed text for a LIKE pattern, so that its backslashes match themselves:
// the server's LIKE takes "\" as its escape character, SQLite's has none.
// "%" and "_" stay wildcards on both.
QString likeText(const QString &typed);

// The existence tests answer yes, no, or that they could not tell (the
// query failed and was reported): a caller must not go on as if no row
// existed when it could not tell.
enum class Exists { No, Yes, CouldNotTell };
Exists esisteRecord(const QVariant &table, const QVariant &field, const QVariant &value, const QVariant &kind,
                    const QVariant &exceptField, const QVariant &exceptValue);
Exists esisteRecordSQL(const QString &sql);
// The query esisteRecord runs.
QString esisteRecordQuery(const QVariant &table, const QVariant &field, const QVariant &value, const QVariant &kind,
                          const QVariant &exceptField, const QVariant &exceptValue);

// "" when the code is acceptable, else the message naming the field. Only
// the Italian edition checks: five decimal digits.
QString checkABICAB(const QString &code, const QString &name);

// A key as the statements write it: plain decimal digits for a whole number.
QString keyText(double key);
