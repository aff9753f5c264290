#include "ReportCatalogue.h"
#include "Regional.h"
#include "RuntimeError.h"

void ReportCatalogue::check(int row, int part, int item)
{
    if (row < 0 || row >= kRows || part < 0 || part > 1 || item < 0 || item > 5)
        raiseError(ErrNo::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
}

QVariant &ReportCatalogue::operator()(int row, int part, int item)
{
    check(row, part, item);
    return m_cells[row][part][item];
}

const QVariant &ReportCatalogue::operator()(int row, int part, int item) const
{
    check(row, part, item);
    return m_cells[row][part][item];
}

void ReportCatalogue::clear()
{
    for (auto &row : m_cells)
        for (auto &part : row)
            for (QVariant &cell : part)
                cell = QVariant();
}

QString fillPlaceholders(const QString &sql, const QVector<PlaceholderFill> &fills)
{
    if (fills.isEmpty())
        return sql;
    QString out;
    out.reserve(sql.size() + 64);
    qsizetype i = 0;
    while (i < sql.size()) {
        const qsizetype open = sql.indexOf(QLatin1Char('['), i);
        if (open < 0) {
            out += QStringView(sql).mid(i);
            break;
        }
        out += QStringView(sql).mid(i, open - i);
        const PlaceholderFill *hit = nullptr;
        for (const PlaceholderFill &f : fills) {
            if (QStringView(sql).mid(open).startsWith(f.first, Qt::CaseSensitive)) {
                hit = &f;
                break;
            }
        }
        if (hit) {
            out += hit->second;
            i = open + hit->first.size();
        } else {
            out += QLatin1Char('[');
            i = open + 1;
        }
    }
    return out;
}

QString sqlStringBody(const QString &answer)
{
    QString out = answer;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString sqlNumber(const QString &answer)
{
    return Regional::amountSql(answer);
}

QString translatePromptPhrases(const QString &prompt)
{
    static const QPair<QString, QString> phrases[] = {
        {QStringLiteral("il mese (formato MM/AAAA)"), QStringLiteral("the month (format MM/YYYY)")},
        {QStringLiteral("il mese di partenza (formato MM/AAAA)"),
         QStringLiteral("the starting month (format MM/YYYY)")},
        {QStringLiteral("la data di partenza (formato GG/MM/AAAA)"),
         QStringLiteral("the starting date (format DD/MM/YYYY)")},
        {QStringLiteral("la data di arrivo (formato GG/MM/AAAA)"), QStringLiteral("the end date (format DD/MM/YYYY)")},
    };
    QString out = prompt;
    for (const auto &p : phrases)
        out.replace(p.first, p.second, Qt::CaseSensitive);
    return out;
}
