#pragma once
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// The regional settings of the register, pinned so that every machine shows
// and reads the same texts: day-first dates, decimal comma, thousands point,
// euro amounts.
namespace Regional {

// "dd/mm/yyyy" (the short-date format) and "hh:mm:ss" (the time format).
QString shortDate(const QDate &d);
QString longTime(const QTime &t);
// "YYYY-MM-DD HH:MM:SS", the date text the database stores.
QString dbDateTime(const QDateTime &dt);

// A date as users type it or the database returns it: day first with "/",
// "-" or "." between the parts ("5/3/2011", "05-03-11", "05.03.2011"), or
// ISO ("2011-03-05", optionally followed by a time). Two-digit years below
// 30 are read as 20xx, the others as 19xx. Nothing else is a date.
std::optional<QDateTime> parseDateTime(const QString &text);
std::optional<QDate> parseDate(const QString &text);
bool isDate(const QString &text);

// Days since 30 December 1899, the day number of a date.
long long dayNumber(const QDate &d);

// Whether the text reads as a number with the decimal comma or point
// ("12,50", "-3", "1.234,56", "1e3" are numbers; "abc", "" are not), and
// its value.
std::optional<double> parseNumber(const QString &text);
bool isNumeric(const QString &text);
// A number as a list shows it, an amount with its euro sign included
// ("1.234,50 €" is 1234.5).
std::optional<double> parseShownNumber(const QString &text);
// The same answer read from the text's UTF-8, where most texts are told
// apart from numbers and most numbers read without making a QString.
std::optional<double> parseShownNumberUtf8(QByteArrayView utf8);

// An amount as people type it and as the register shows it: "." groups
// thousands and "," marks the decimals ("1.500" is 1500, "1.500,50" is
// 1500.5, "12,5" is 12.5, "1500" is 1500). Anything else ("1.50",
// "12.5.3", "1,2,3", "abc", "") is not an amount.
std::optional<double> parseAmount(const QString &text);
// The same amount as SQL reads it, digit for digit ("1.500,50" ->
// "1500.50"); empty when the text is not an amount.
QString amountSql(const QString &text);

// An amount written back into a field for editing: the decimal comma and
// no grouping (12.5 -> "12,5", 1500 -> "1500"), so it reads as typed.
QString amountText(double value);

// A text converted to a 16-bit whole number, halves rounded to even: an
// empty or non-numeric text raises "Type mismatch", one out of range
// "Overflow".
short toInteger16(const QString &text);

// "#,##0.00 €": 1234.5 -> "1.234,50 €".
QString currency(double value);
// The same without the euro sign: "#,##0.00".
QString number2(double value);

} // namespace Regional
