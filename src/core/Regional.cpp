#include "Regional.h"

#include "RuntimeError.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace Regional {

QString shortDate(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString longTime(const QTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QString dbDateTime(const QDateTime &dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {
int fullYear(int y, int digits)
{
    if (digits <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

// The patterns below are one per thread: a sort reads its cells on several
// threads at once, and one pattern is not to be matched from two together.
std::optional<QTime> parseTime(const QString &t)
{
    if (t.isEmpty())
        return QTime(0, 0);
    thread_local const QRegularExpression re(QStringLiteral("^(\\d{1,2})[:.](\\d{1,2})(?:[:.](\\d{1,2}))?$"));
    const auto m = re.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}
} // namespace

std::optional<QDateTime> parseDateTime(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    thread_local const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](.*))?$"));
    thread_local const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})(?:\\s+(.*))?$"));
    QDate date;
    QString timeText;
    if (const auto m = iso.match(s); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        timeText = m.captured(4).trimmed();
    } else if (const auto m2 = dayFirst.match(s); m2.hasMatch()) {
        const QString y = m2.captured(4);
        date = QDate(fullYear(y.toInt(), int(y.size())), m2.captured(3).toInt(), m2.captured(1).toInt());
        timeText = m2.captured(5).trimmed();
    } else {
        return std::nullopt;
    }
    if (!date.isValid())
        return std::nullopt;
    const auto time = parseTime(timeText);
    if (!time)
        return std::nullopt;
    return QDateTime(date, *time);
}

std::optional<QDate> parseDate(const QString &text)
{
    const auto dt = parseDateTime(text);
    if (!dt)
        return std::nullopt;
    return dt->date();
}

bool isDate(const QString &text)
{
    return parseDateTime(text).has_value();
}

long long dayNumber(const QDate &d)
{
    return QDate(1899, 12, 30).daysTo(d);
}

std::optional<double> parseNumber(const QString &text)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    // Both forms below use these characters only; a text with any other is
    // told apart without a pattern match (a sort reads every cell here).
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == '.' || u == ',' || u == '+' || u == '-' || u == 'e' || u == 'E'))
            return std::nullopt;
    }
    // Thousands points are allowed only in their places: "1.234,56".
    thread_local const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(\\.\\d{3})+(,\\d+)?$"));
    thread_local const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
    if (grouped.match(s).hasMatch()) {
        s.remove(QLatin1Char('.'));
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    } else if (plain.match(s).hasMatch()) {
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    } else {
        return std::nullopt;
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString amountSql(const QString &text)
{
    thread_local const QRegularExpression amount(QStringLiteral("^([+-]?)(\\d{1,3}(?:\\.\\d{3})+|\\d+)(?:,(\\d+))?$"));
    const auto m = amount.match(text.trimmed());
    if (!m.hasMatch())
        return QString();
    QString out = m.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString();
    out += m.captured(2).remove(QLatin1Char('.'));
    if (m.hasCaptured(3) && !m.captured(3).isEmpty())
        out += QLatin1Char('.') + m.captured(3);
    return out;
}

std::optional<double> parseAmount(const QString &text)
{
    const QString sql = amountSql(text);
    if (sql.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = sql.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString amountText(double value)
{
    QString out = QString::number(value, 'f', 10);
    if (out.contains(QLatin1Char('.'))) {
        while (out.endsWith(QLatin1Char('0')))
            out.chop(1);
        if (out.endsWith(QLatin1Char('.')))
            out.chop(1);
    }
    if (out == QLatin1String("-0"))
        out = QStringLiteral("0");
    return out.replace(QLatin1Char('.'), QLatin1Char(','));
}

std::optional<double> parseShownNumber(const QString &text)
{
    QString s = text.trimmed();
    if (s.endsWith(QStringLiteral("€")))
        s.chop(1);
    return parseNumber(s);
}

namespace {
bool blank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// A number in one of parseNumber's two forms without an exponent, of at most
// 15 digits, from ASCII with nothing around it: the digits as an integer
// over a power of ten, both exact, whose one division rounds as any correct
// reading of the decimal text does. Empty where the slow path must decide
// (an exponent, more digits, a text matching neither form).
std::optional<double> plainNumber(const char *p, const char *e)
{
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    quint64 digits = 0;
    int count = 0, decimals = 0;
    auto take = [&](char c) {
        digits = digits * 10 + quint64(c - '0');
        ++count;
    };
    const char *q = p;
    // Thousands points: 1 to 3 digits, then groups of ".ddd", then ",d+".
    while (q < e && digit(*q) && q - p < 4)
        ++q;
    bool grouped = false;
    if (q - p >= 1 && q - p <= 3 && q + 4 <= e && q[0] == '.' && digit(q[1]) && digit(q[2]) && digit(q[3])) {
        const char *r = q;
        while (r + 4 <= e && r[0] == '.' && digit(r[1]) && digit(r[2]) && digit(r[3]))
            r += 4;
        if (r == e || (*r == ',' && r + 1 < e && std::all_of(r + 1, e, digit)))
            grouped = true;
    }
    q = p;
    if (grouped) {
        for (; q < e && *q != ','; ++q) {
            if (*q != '.')
                take(*q);
        }
        if (q < e) {
            for (++q; q < e; ++q, ++decimals)
                take(*q);
        }
    } else {
        const char *start = q;
        while (q < e && digit(*q))
            take(*q++);
        const bool whole = q > start;
        if (q < e && (*q == '.' || *q == ',')) {
            ++q;
            for (; q < e && digit(*q); ++q, ++decimals)
                take(*q);
        }
        if (q != e || (!whole && decimals == 0))
            return std::nullopt;
    }
    if (count == 0 || count > 15)
        return std::nullopt;
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double v = double(digits) / kTens[decimals];
    return negative ? -v : v;
}
} // namespace

std::optional<double> parseShownNumberUtf8(QByteArrayView utf8)
{
    // Only blanks, a euro sign and the characters of a number can be read
    // off the ends or make one (the bytes of a character beyond ASCII are
    // never ASCII): any other ASCII character means no number. Beyond
    // ASCII, a character that starts with any but five bytes is neither (a
    // name in Greek or Cyrillic letters is told apart here, not through a
    // QString).
    bool ascii = true;
    for (const char c : utf8) {
        const uchar b = uchar(c);
        if (b >= 0x80) {
            if (b >= 0xC0 && b != 0xC2 && b != 0xE1 && b != 0xE2 && b != 0xE3 && b != 0xEF)
                return std::nullopt;
            ascii = false;
        } else if (!digit(c) && !blank(c) && c != '.' && c != ',' && c != '+' && c != '-' && c != 'e' && c != 'E')
            return std::nullopt;
    }
    const char *p = utf8.data();
    const char *e = p + utf8.size();
    while (p < e && blank(*p))
        ++p;
    while (e > p && blank(e[-1]))
        --e;
    if (!ascii && e - p >= 3 && std::memcmp(e - 3, "\xE2\x82\xAC", 3) == 0) {
        e -= 3;
        while (e > p && blank(e[-1]))
            --e;
        ascii = std::all_of(p, e, [](char c) { return uchar(c) < 0x80; });
    }
    if (ascii) {
        if (p == e || std::any_of(p, e, blank))
            return std::nullopt; // blank, or a blank inside
        if (const auto v = plainNumber(p, e))
            return v;
    }
    return parseShownNumber(QString::fromUtf8(utf8));
}

bool isNumeric(const QString &text)
{
    return parseNumber(text).has_value();
}

QString number2(double value)
{
    const bool negative = value < 0;
    const double rounded = std::round(std::fabs(value) * 100.0) / 100.0;
    QString fixed = QString::number(rounded, 'f', 2); // "1234.50"
    const int dot = int(fixed.indexOf(QLatin1Char('.')));
    QString whole = fixed.left(dot);
    const QString cents = fixed.mid(dot + 1);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    QString out = whole + QLatin1Char(',') + cents;
    if (negative && rounded != 0.0)
        out.prepend(QLatin1Char('-'));
    return out;
}

short toInteger16(const QString &text)
{
    const auto v = parseNumber(text);
    if (!v)
        raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
    const double r = std::nearbyint(*v); // the default rounding mode: halves to even
    if (r < -32768 || r > 32767)
        raiseError(ErrNo::Overflow, QStringLiteral("Overflow"));
    return short(r);
}

QString currency(double value)
{
    return number2(value) + QStringLiteral(" €");
}

} // namespace Regional
