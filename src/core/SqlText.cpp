#include "SqlText.h"
#include "Database.h"
#include "Edition.h"
#include "Procedure.h"
#include "Regional.h"

#include <QRegularExpression>
#include <cmath>

namespace {
const QString kGeneral = QStringLiteral("basGeneral");
const QString kCustom = QStringLiteral("basGeneralCustom");
const QString kRegistering = QStringLiteral("basRegistering");

QString textOf(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        raiseError(ErrNo::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

Exists countAbove0(const QString &sql, const QString &procName)
{
    Exists result = Exists::CouldNotTell;
    moduleProc(kCustom, procName, [&] {
        OpenDb();
        gRs.reset();
        // A query that failed was reported: nothing more to say.
        if (!gRsOpen(sql))
            return;
        const QVariant v = rs()->value(QStringLiteral("conteggio"));
        result = v.toLongLong() > 0 ? Exists::Yes : Exists::No;
        CloseDb();
    });
    return result;
}
} // namespace

QString StringReplace(const QString &source, const QString &find, const QString &replacement)
{
    QString out;
    moduleProc(kGeneral, QStringLiteral("StringReplace"), [&] {
        out = source;
        if (find.isEmpty())
            return;
        qsizetype p = out.indexOf(find, 0, Qt::CaseInsensitive);
        while (p >= 0) {
            out = out.left(p) + replacement + out.mid(p + find.size());
            p = out.indexOf(find, p + replacement.size(), Qt::CaseInsensitive);
        }
    });
    return out;
}

QString Pad(const QVariant &x)
{
    QString out;
    moduleProc(kGeneral, QStringLiteral("Pad"), [&] {
        const QString s = textOf(x);
        out = s.contains(QLatin1Char('\'')) ? StringReplace(s, QStringLiteral("'"), QStringLiteral("''")) : s;
    });
    return out;
}

QString PutTicksIn(const QVariant &x)
{
    QString out;
    moduleProc(kGeneral, QStringLiteral("PutTicksIn"), [&] {
        QString s = textOf(x);
        s = StringReplace(s, QStringLiteral(","), QStringLiteral(", "));
        s = StringReplace(s, QStringLiteral("  "), QStringLiteral(" "));
        s = StringReplace(s, QStringLiteral(", "), QStringLiteral("', '"));
        out = QStringLiteral("'") + s + QStringLiteral("'");
    });
    return out;
}

QString Punto(const QVariant &x)
{
    QString out;
    moduleProc(kCustom, QStringLiteral("Punto"), [&] {
        out = textOf(x);
        out.replace(QLatin1Char(','), QLatin1Char('.'));
    });
    return out;
}

bool isAmount(const QString &text)
{
    return Regional::parseAmount(text).has_value();
}

bool isStorableAmount(const QString &text)
{
    const QString sql = Regional::amountSql(text);
    if (sql.isEmpty())
        return false;
    const qsizetype point = sql.indexOf(QLatin1Char('.'));
    if (point >= 0 && sql.size() - point - 1 > 2)
        return false;
    const auto v = Regional::parseAmount(text);
    return v && std::fabs(*v) < 1e12;
}

QString wrapbooleanchk(int value)
{
    traceProcedure(kCustom, QStringLiteral("wrapbooleanchk"));
    return value == 1 ? QStringLiteral("True") : QStringLiteral("False");
}

QString BooleanToString(const QVariant &v)
{
    QString out;
    moduleProc(kRegistering, QStringLiteral("BooleanToString"), [&] {
        if (!v.isValid() || v.isNull())
            raiseError(ErrNo::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
        bool ok = false;
        double d = v.toDouble(&ok);
        if (!ok) {
            const QString s = v.toString().trimmed();
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                d = -1, ok = true;
            else if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                d = 0, ok = true;
        }
        if (!ok)
            raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
        const double r = std::nearbyint(d);
        if (r < -32768 || r > 32767)
            raiseError(ErrNo::Overflow, QStringLiteral("Overflow"));
        if (isEnglish())
            out = r != 0 ? QStringLiteral("True") : QStringLiteral("False");
        else
            out = r != 0 ? QStringLiteral("Vero") : QStringLiteral("Falso");
    });
    return out;
}

QString FormattaData(const QVariant &d)
{
    QString out;
    moduleProc(kRegistering, QStringLiteral("FormattaData"), [&] {
        if (!d.isValid() || d.isNull())
            raiseError(ErrNo::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
        QDateTime dt;
        if (d.typeId() == QMetaType::QDateTime) {
            dt = d.toDateTime();
        } else if (d.typeId() == QMetaType::QDate) {
            dt = QDateTime(d.toDate(), QTime(0, 0));
        } else {
            const auto parsed = Regional::parseDateTime(d.toString());
            if (!parsed)
                raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
            dt = *parsed;
        }
        out = Regional::dbDateTime(dt);
    });
    return out;
}

QString concatSql(const QString &a, const QString &b, const QString &c)
{
    traceProcedure(kRegistering, QStringLiteral("concatSql"));
    if (isSqlLite())
        return QStringLiteral(" (ifnull(") + a + QStringLiteral(",'') || ifnull(") + b
            + QStringLiteral(",'') || ifnull(") + c + QStringLiteral(",'')) ");
    if (isMySql())
        return QStringLiteral(" concat(ifnull(") + a + QStringLiteral(",''),ifnull(") + b
            + QStringLiteral(",''),ifnull(") + c + QStringLiteral(",'')) ");
    if (isAccess())
        return QStringLiteral(" ") + a + QStringLiteral(" & ") + b + QStringLiteral(" & ") + c + QStringLiteral(" ");
    return QString();
}

QString likeText(const QString &typed)
{
    if (isMySql())
        return QString(typed).replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return typed;
}

QString esisteRecordQuery(const QVariant &table, const QVariant &field, const QVariant &value, const QVariant &kind,
                          const QVariant &exceptField, const QVariant &exceptValue)
{
    QString sql = QStringLiteral("select count(*) as conteggio from ") + textOf(table) + QStringLiteral(" where ")
        + textOf(field);
    if (kind.toString() != QLatin1String("N"))
        sql += QStringLiteral(" = ")
            + exactText(QStringLiteral("'") + textOf(value).replace(QLatin1Char('\''), QStringLiteral("''"))
                        + QStringLiteral("'"));
    else
        sql += QStringLiteral(" = ") + textOf(value);
    if (!exceptField.toString().isEmpty())
        sql += QStringLiteral("  and ") + exceptField.toString() + QStringLiteral(" <>") + textOf(exceptValue);
    return sql;
}

Exists esisteRecord(const QVariant &table, const QVariant &field, const QVariant &value, const QVariant &kind,
                    const QVariant &exceptField, const QVariant &exceptValue)
{
    QString sql;
    if (!moduleProc(kCustom, QStringLiteral("esisteRecord"),
                    [&] { sql = esisteRecordQuery(table, field, value, kind, exceptField, exceptValue); }))
        return Exists::CouldNotTell;
    return countAbove0(sql, QStringLiteral("esisteRecord"));
}

Exists esisteRecordSQL(const QString &sql)
{
    return countAbove0(sql, QStringLiteral("esisteRecordSQL"));
}

QString checkABICAB(const QString &code, const QString &name)
{
    traceProcedure(kCustom, QStringLiteral("checkABICAB"));
    // The English edition checks no Italian bank or postal codes.
    if (isEnglish())
        return QString();
    if (code.size() != 5)
        return QStringLiteral("Lunghezza del codice ") + name + QStringLiteral(" non valida");
    for (const QChar ch : code) {
        if (ch.unicode() < 48 || ch.unicode() > 57)
            return QStringLiteral("Il codice ") + name + QStringLiteral(" contiene caratteri non validi");
    }
    return QString();
}

QString keyText(double key)
{
    if (std::fabs(key) < 1e15 && key == std::floor(key))
        return QString::number(qlonglong(key));
    return QString::number(key, 'g', 15);
}
