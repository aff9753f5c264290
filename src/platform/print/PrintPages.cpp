#include "PrintPages.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHash>
#include <QByteArrayView>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <thread>
#include <unordered_map>

namespace {
// Sizes of a browser, in CSS pixels (96 to the inch).
constexpr qreal kCssDpi = 96;
constexpr qreal kBodyMargin = 8;
// A cell's padding on paper: the style sheets ask 3 pixels, the tables
// none (cellpadding="0"); one keeps the text off the borders and leaves
// the width to the text, which a long list needs more.
constexpr qreal kPadding = 1;
constexpr qreal kBorder = 1;
const QColor kBlue(0x33, 0x66, 0x99);

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool isBlankByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool continuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// Bytes pos to pos + len of v, as far as v goes (all from pos when len < 0).
QByteArrayView part(QByteArrayView v, qsizetype pos, qsizetype len)
{
    if (pos < 0) {
        if (len >= 0)
            len += pos;
        pos = 0;
    }
    if (pos > v.size())
        return {};
    if (len < 0 || len > v.size() - pos)
        len = v.size() - pos;
    return v.sliced(pos, len);
}

// UTF-8 as UTF-16, in scratch (whose room is kept from text to text):
// characters of one, two and three bytes at once, anything else through Qt.
QStringView decodeUtf8(QByteArrayView s, QString &scratch)
{
    const qsizetype n = s.size();
    if (scratch.size() < n)
        scratch.resize(n);
    char16_t *out = reinterpret_cast<char16_t *>(scratch.data());
    const uchar *p = reinterpret_cast<const uchar *>(s.data());
    qsizetype o = 0;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = p[i];
        if (b < 0x80) {
            out[o++] = b;
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF && i + 1 < n && continuation(p[i + 1])) {
            out[o++] = char16_t(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if (b >= 0xE0 && b <= 0xEF && i + 2 < n && continuation(p[i + 1]) && continuation(p[i + 2])) {
            const char32_t cp = char32_t(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                out[o++] = char16_t(cp);
                i += 3;
                continue;
            }
        }
        break;
    }
    if (i == n)
        return QStringView(out, o);
    scratch = QString::fromUtf8(s);
    return scratch;
}

// A cell's text: where it lies in the document, or in the pool of texts
// that had entities or runs of blanks.
struct Cell {
    quint32 from = 0;
    quint32 length : 30;
    quint32 pooled : 1;
    quint32 header : 1;
};

struct Row {
    quint32 firstCell;
    quint32 cells;
    quint32 lines = 1; // set by the layout
};

// Of each column of a table, from its cells' texts:
struct ColumnWidths {
    std::vector<qreal> minWidth; // the widest word
    std::vector<qreal> maxWidth; // the widest line
    std::vector<qreal> headWord; // the widest word of its header cells
    std::vector<qreal> dataLine; // the widest line of its data cells
    std::vector<qreal> dataSum;  // all its data cells' text, on one line
    std::vector<char> words;     // a data cell reads as words
};

struct Table : ColumnWidths {
    quint32 firstRow = 0;
    quint32 rows = 0;
    int cols = 0;
    bool headerRow = false;   // its first row is all header cells
    std::vector<qreal> width; // content width of each column, once laid out
};

struct FontSpec {
    QString family;
    qreal points;
};

struct Para {
    QString text;
    FontSpec font;
};

struct Block {
    enum Kind { Text, Gap, Grid } kind;
    int index;   // paragraph or table
    qreal gapPt; // a gap's height in points
};

// Advances of a font on the layout's device: the characters of Latin-1 from
// a table, any other text shaped whole. A cell's text may hold line breaks
// ("\n", from "<br>"); other texts never do.
struct Metrics {
    QFont font;
    QFontMetricsF fm;
    std::array<qreal, 256> advance{};
    std::array<uchar, 256> letter{};
    qreal space = 0;
    // A line's height and its baseline below the line's top: a browser's
    // "normal" line height for the fonts the documents name, 1.15 of the
    // type's size, even where the font that stands in for them is taller.
    qreal lineHeight = 0;
    qreal ascent = 0;

    Metrics(const QFont &f, const QPaintDevice &device) : font(f), fm(f, const_cast<QPaintDevice *>(&device))
    {
        for (int c = 0; c < 256; ++c) {
            advance[size_t(c)] = fm.horizontalAdvance(QChar(c));
            letter[size_t(c)] = QChar(c).isLetter() ? 1 : 0;
        }
        space = advance[' '];
        const qreal em = f.pointSizeF() * device.logicalDpiY() / 72;
        lineHeight = fm.lineSpacing() > 0 ? std::min(fm.lineSpacing(), 1.15 * em) : 1.15 * em;
        ascent = fm.lineSpacing() > 0 ? lineHeight * fm.ascent() / fm.lineSpacing() : em;
    }

    static bool latin1(QStringView s)
    {
        for (QChar c : s) {
            if (c.unicode() > 0xFF)
                return false;
        }
        return true;
    }

    // The width of a text on one line. Beyond Latin-1 each word is shaped
    // on its own, as the lines are made of words, and a word met again is
    // not shaped again: a register repeats its names.
    qreal width(QStringView s) const
    {
        if (!latin1(s)) {
            qreal w = 0;
            qsizetype start = 0;
            for (qsizetype i = 0; i <= s.size(); ++i) {
                if (i < s.size() && s.at(i) != QLatin1Char(' '))
                    continue;
                if (start > 0)
                    w += space;
                w += wordWidth(s.mid(start, i - start));
                start = i + 1;
            }
            return w;
        }
        qreal w = 0;
        for (QChar c : s)
            w += advance[c.unicode()];
        return w;
    }

    qreal wordWidth(QStringView s) const
    {
        if (latin1(s)) {
            qreal w = 0;
            for (QChar c : s)
                w += advance[c.unicode()];
            return w;
        }
        // Latin, Greek and Cyrillic letters, each its own width as Latin-1's
        // are: a word with one of them is not shaped whole (an address
        // with an accented name in it is met once).
        qreal sum = 0;
        bool simple = true;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u >= kSimple || (u >= 0x300 && u < 0x370) || (u >= 0x483 && u < 0x48A)) {
                simple = false;
                break;
            }
            qreal &a = wider[u];
            if (a < 0)
                a = fm.horizontalAdvance(c);
            sum += a;
        }
        if (simple)
            return sum;
        const size_t h = qHash(s);
        const auto it = shaped.find(h);
        if (it != shaped.end() && it->second.first == s)
            return it->second.second;
        QString t = s.toString();
        const qreal w = fm.horizontalAdvance(t);
        if (it == shaped.end()) {
            if (shaped.size() >= kShapedWords)
                shaped.clear();
            shaped.emplace(h, std::make_pair(std::move(t), w));
        }
        return w;
    }
    static constexpr char16_t kSimple = 0x530;
    mutable std::vector<qreal> wider = std::vector<qreal>(kSimple, -1);
    static constexpr size_t kShapedWords = 1 << 16;
    mutable std::unordered_map<size_t, std::pair<QString, qreal>> shaped;

    // The widths of one text summed character by character: its widest
    // word, its widest line and all of it.
    struct Widths {
        qreal widest = 0, line = 0, longest = 0, total = 0, word = 0;
        void add(uint u, qreal a)
        {
            if (u == '\n') {
                widest = std::max(widest, word);
                longest = std::max(longest, line);
                word = line = 0;
                return;
            }
            total += a;
            line += a;
            if (u == ' ') {
                widest = std::max(widest, word);
                word = 0;
            } else {
                word += a;
            }
        }
        void end()
        {
            widest = std::max(widest, word);
            longest = std::max(longest, line);
        }
    };

    // The same as measure() for UTF-8 text of Latin-1 characters, read in
    // one pass where it lies; false, with nothing measured, for any other.
    bool measureLatin1(QByteArrayView s, qreal *widestWord, qreal *widestLine, qreal *all, bool *words) const
    {
        Widths w;
        int letters = 0;
        bool blank = false;
        const uchar *p = reinterpret_cast<const uchar *>(s.data());
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            uint u = p[i];
            if (u >= 0x80) {
                if ((u != 0xC2 && u != 0xC3) || i + 1 == n || !continuation(p[i + 1]))
                    return false;
                u = ((u & 0x1F) << 6) | (p[++i] & 0x3F);
            }
            letters += letter[u];
            blank = blank || u == ' ' || u == '\n';
            w.add(u, advance[u]);
        }
        w.end();
        *widestWord = w.widest;
        *widestLine = w.longest;
        *all = w.total;
        *words = letters > 2 && blank;
        return true;
    }

    // The widest word, the widest line and the width of all the text; and
    // whether it reads as words rather than as a value (a date, a phone
    // number, a code): more than two letters and a blank.
    void measure(QStringView s, qreal *widestWord, qreal *widestLine, qreal *all, bool *words) const
    {
        qreal widest = 0, longest = 0, total = 0;
        int letters = 0;
        bool blank = false;
        for (QChar c : s) {
            if (c.isLetter() && ++letters > 2 && blank)
                break;
            blank = blank || c.unicode() == ' ' || c.unicode() == '\n';
        }
        *words = letters > 2 && blank;
        if (latin1(s)) {
            Widths w;
            for (QChar c : s)
                w.add(c.unicode(), advance[c.unicode()]);
            w.end();
            widest = w.widest;
            longest = w.longest;
            total = w.total;
        } else {
            qsizetype start = 0, lineStart = 0;
            for (qsizetype i = 0; i <= s.size(); ++i) {
                const bool end = i == s.size();
                if (end || s.at(i) == QLatin1Char(' ') || s.at(i) == QLatin1Char('\n')) {
                    widest = std::max(widest, width(s.mid(start, i - start)));
                    start = i + 1;
                }
                if (end || s.at(i) == QLatin1Char('\n')) {
                    const qreal w = width(s.mid(lineStart, i - lineStart));
                    longest = std::max(longest, w);
                    total += w;
                    lineStart = i + 1;
                }
            }
        }
        *widestWord = widest;
        *widestLine = longest;
        *all = total;
    }

    // The width of the character at i with the marks that go with it, and
    // its length: a word is never broken inside a character.
    qreal charAt(QStringView s, qsizetype i, qsizetype *length) const
    {
        qsizetype j = i + 1;
        if (s.at(i).isHighSurrogate() && j < s.size() && s.at(j).isLowSurrogate())
            ++j;
        while (j < s.size()) {
            const QChar c = s.at(j);
            if (c.isLowSurrogate() || c.category() == QChar::Mark_NonSpacing
                || c.category() == QChar::Mark_SpacingCombining || c.category() == QChar::Mark_Enclosing
                || c.unicode() == 0x200D)
                ++j;
            else
                break;
        }
        *length = j - i;
        if (j == i + 1 && s.at(i).unicode() <= 0xFF)
            return advance[s.at(i).unicode()];
        return fm.horizontalAdvance(s.mid(i, j - i).toString());
    }

    // Lines of s within width w, broken at blanks and at its line breaks:
    // each (start, length) with its width, through f. A word wider than w
    // alone is broken where it reaches the edge, that word only. Returns the
    // number of lines.
    template <class F>
    int wrap(QStringView s, qreal w, F &&f) const
    {
        int lines = 0;
        qsizetype lineStart = 0, lineEnd = 0;
        qreal lineWidth = 0;
        bool empty = true;
        qsizetype i = 0;
        const qreal slack = w * 1e-6 + 1e-3;
        auto flush = [&] {
            f(lineStart, lineEnd - lineStart, lineWidth);
            ++lines;
            empty = true;
            lineWidth = 0;
        };
        while (i <= s.size()) {
            qsizetype j = i;
            while (j < s.size() && s.at(j) != QLatin1Char(' ') && s.at(j) != QLatin1Char('\n'))
                ++j;
            const qreal ww = width(s.mid(i, j - i));
            if (!empty && lineWidth + space + ww <= w + slack) {
                lineEnd = j;
                lineWidth += space + ww;
            } else {
                if (!empty)
                    flush();
                lineStart = i;
                lineEnd = j;
                lineWidth = ww;
                empty = false;
                if (ww > w + slack) {
                    // Too wide for any line: broken where it reaches the edge.
                    qreal chunk = 0;
                    qsizetype k = i;
                    lineStart = i;
                    while (k < j) {
                        qsizetype n = 1;
                        const qreal a = charAt(s, k, &n);
                        if (k > lineStart && chunk + a > w + slack) {
                            lineEnd = k;
                            lineWidth = chunk;
                            flush();
                            empty = false;
                            lineStart = k;
                            chunk = 0;
                        }
                        chunk += a;
                        k += n;
                    }
                    lineEnd = j;
                    lineWidth = chunk;
                }
            }
            if (j < s.size() && s.at(j) == QLatin1Char('\n'))
                flush(); // an empty line between two breaks still counts
            i = j + 1;
        }
        if (empty) {
            lineStart = lineEnd = s.size();
            lineWidth = 0;
        }
        f(lineStart, lineEnd - lineStart, lineWidth);
        return lines + 1;
    }

    // True when s goes on one line of width w as it is.
    bool fits(QStringView s, qreal w, bool mayBreak) const
    {
        return (!mayBreak || !s.contains(QLatin1Char('\n'))) && width(s) <= w;
    }
};

// A tag's name as far as reading needs it: none when "<" starts no tag
// (no letter, digit or "!" follows), else its letters in lower case; a
// name the documents do not use (long, or not ASCII) matches none.
struct TagName {
    char name[8] = {};
    int length = 0;
    bool other = false;
    bool isEmpty() const { return length == 0 && !other; }
    bool is(const char *n) const { return !other && qstrcmp(name, n) == 0; }
    // The tags of a table, told apart at once.
    bool cellOrRow() const
    {
        return !other && length == 2 && name[0] == 't' && (name[1] == 'd' || name[1] == 'h' || name[1] == 'r');
    }
};

TagName lowerName(QByteArrayView tag)
{
    TagName out;
    const uchar *p = reinterpret_cast<const uchar *>(tag.data());
    const qsizetype n = tag.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = p[i];
        if (b < 0x80) {
            const bool letter = (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
            if (!(letter || (b >= '0' && b <= '9') || b == '!'))
                break;
            if (out.length < 7)
                out.name[out.length++] = char(letter ? b | 0x20 : b);
            else
                out.other = true;
            ++i;
            continue;
        }
        // Letters and digits beyond ASCII go on the name as well.
        char32_t cp = 0;
        qsizetype len = 0;
        if (b >= 0xC2 && b <= 0xDF && i + 1 < n && continuation(p[i + 1])) {
            cp = char32_t(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF && i + 2 < n && continuation(p[i + 1]) && continuation(p[i + 2])) {
            cp = char32_t(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
            len = cp >= 0x800 ? 3 : 0;
        }
        if (len == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || !QChar(char16_t(cp)).isLetterOrNumber())
            break;
        out.other = true;
        i += len;
    }
    return out;
}

// The value of a CSS property in a style text ("font-size: 22pt" -> "22pt").
QString cssValue(QStringView style, QLatin1StringView property)
{
    const qsizetype at = style.indexOf(property, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    qsizetype i = style.indexOf(QLatin1Char(':'), at);
    if (i < 0)
        return QString();
    qsizetype end = i + 1;
    while (end < style.size() && style.at(end) != QLatin1Char(';') && style.at(end) != QLatin1Char('}')
           && style.at(end) != QLatin1Char('"'))
        ++end;
    return style.mid(i + 1, end - i - 1).trimmed().toString();
}

// A size in points from a CSS length ("7pt", "12px"); 0 when unreadable.
qreal points(const QString &css)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]*\\.?[0-9]+)\\s*(pt|px)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(css);
    if (!m.hasMatch())
        return 0;
    const qreal v = m.captured(1).toDouble();
    return m.captured(2).compare(QLatin1String("px"), Qt::CaseInsensitive) == 0 ? v * 72 / kCssDpi : v;
}

QString attribute(QStringView tag, QLatin1StringView name)
{
    const qsizetype at = tag.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    qsizetype i = at + name.size();
    while (i < tag.size() && tag.at(i).isSpace())
        ++i;
    if (i >= tag.size() || tag.at(i) != QLatin1Char('='))
        return QString();
    ++i;
    while (i < tag.size() && tag.at(i).isSpace())
        ++i;
    if (i < tag.size() && (tag.at(i) == QLatin1Char('"') || tag.at(i) == QLatin1Char('\''))) {
        const QChar quote = tag.at(i);
        const qsizetype end = tag.indexOf(quote, i + 1);
        return tag.mid(i + 1, end < 0 ? -1 : end - i - 1).toString();
    }
    qsizetype end = i;
    while (end < tag.size() && !tag.at(end).isSpace() && tag.at(end) != QLatin1Char('>'))
        ++end;
    return tag.mid(i, end - i).toString();
}

// The character an entity stands for, or none.
std::optional<char32_t> entity(QStringView name)
{
    static const QHash<QString, char32_t> named{
        {QStringLiteral("lt"), U'<'},     {QStringLiteral("gt"), U'>'},     {QStringLiteral("amp"), U'&'},
        {QStringLiteral("quot"), U'"'},   {QStringLiteral("apos"), U'\''},  {QStringLiteral("nbsp"), 0xA0},
        {QStringLiteral("euro"), 0x20AC}, {QStringLiteral("egrave"), 0xE8}, {QStringLiteral("agrave"), 0xE0},
        {QStringLiteral("igrave"), 0xEC}, {QStringLiteral("ograve"), 0xF2}, {QStringLiteral("ugrave"), 0xF9},
        {QStringLiteral("eacute"), 0xE9},
    };
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint v = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'))
            ? name.mid(2).toUInt(&ok, 16)
            : name.mid(1).toUInt(&ok, 10);
        if (ok && v > 0 && v <= 0x10FFFF)
            return char32_t(v);
        return std::nullopt;
    }
    const auto it = named.constFind(name.toString());
    if (it == named.cend())
        return std::nullopt;
    return *it;
}

// Appends raw document text as a browser shows it: entities read, runs of
// blanks as one blank.
void appendDecoded(QString &out, QStringView raw)
{
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (isBlank(c)) {
            if (!out.isEmpty() && !out.endsWith(QLatin1Char(' ')) && !out.endsWith(QLatin1Char('\n')))
                out += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('&')) {
            const qsizetype semi = raw.indexOf(QLatin1Char(';'), i + 1);
            if (semi > i + 1 && semi - i <= 10) {
                if (const auto ch = entity(raw.mid(i + 1, semi - i - 1))) {
                    out += QString::fromUcs4(&*ch, 1);
                    i = semi;
                    continue;
                }
            }
        }
        out += c;
    }
}

QString trimmedBlanks(QString s)
{
    while (s.endsWith(QLatin1Char(' ')) || s.endsWith(QLatin1Char('\n')))
        s.chop(1);
    return s;
}

// A line break inside a cell: the blank before it goes.
void appendBreak(QString &out)
{
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    out += QLatin1Char('\n');
}

// Where an ASCII text starts in a document, in any case; -1 when nowhere.
qsizetype indexOfNoCase(QByteArrayView doc, const char *needle, qsizetype from)
{
    const qsizetype k = qsizetype(qstrlen(needle));
    for (qsizetype i = from; i + k <= doc.size(); ++i) {
        if (qstrnicmp(doc.data() + i, needle, k) == 0)
            return i;
    }
    return -1;
}
} // namespace

struct PrintPages::Impl {
    QByteArray html; // UTF-8
    QString pool;
    std::vector<Cell> cells;
    std::vector<Row> rows;
    std::vector<Table> tables;
    std::vector<Para> paras;
    std::vector<Block> blocks;
    qreal thPoints = 12, tdPoints = 12;

    // The layout.
    struct Piece {
        enum Kind { TextLine, TableRow } kind;
        int index;     // paragraph or table
        quint32 row;   // the table's row (absolute index), or the line's start in the paragraph
        quint32 first; // first line of the row shown here, or the line's length
        quint32 count; // lines of the row shown here
        qreal y;
        qreal width; // a line's width
    };
    std::vector<Piece> pieces;
    std::vector<size_t> pageStart; // index of each page's first piece
    std::unique_ptr<Metrics> td, th;
    std::vector<std::unique_ptr<Metrics>> paraMetrics;
    qreal dpi = 96;
    qreal s = 1;
    qreal pageWidth = 0;
    qreal pageHeight = 0; // in unshrunk pixels

    // Where the pages are laid out to: the next block, and in a table the
    // next row; the rest is laid out as it is asked for.
    struct Cursor {
        size_t block = 0;
        quint32 row = 0;
        bool inTable = false;
        bool placedHere = false; // a row of this table is on this page
        qreal y = 0;
        qreal pendingGap = 0;
        bool done = true;
    } at;
    quint64 rowsPlaced = 0;

    // A cell's text, decoded into scratch when it lies in the document.
    QStringView text(const Cell &c, QString &scratch) const
    {
        if (c.pooled)
            return QStringView(pool).mid(c.from, c.length);
        return decodeUtf8(part(html, c.from, c.length), scratch);
    }
    qreal css(qreal px) const { return px * dpi / kCssDpi; }

    void read();
    void measure(const QPaintDevice &device, const Progress &progress, bool *stopped,
                 quint32 maxRows = std::numeric_limits<quint32>::max());
    // The narrowest a column may be: a short field on one line, any other
    // at its widest word up to kLongWord characters.
    qreal columnMin(const Table &t, size_t k) const;
    qreal tableMin(const Table &t) const
    {
        qreal w = css(kBorder);
        for (size_t k = 0; k < t.minWidth.size(); ++k)
            w += columnMin(t, k) + 2 * css(kPadding) + css(kBorder);
        return w;
    }
    qreal tableWidth(const Table &t) const
    {
        qreal w = css(kBorder);
        for (qreal m : t.width)
            w += m + 2 * css(kPadding) + css(kBorder);
        return w;
    }
    const Metrics &metricsOf(const Cell &c) const { return c.header ? *th : *td; }
    // A cell's text may be broken into lines (it came with "<br>").
    bool mayBreak(const Cell &c) const { return c.pooled; }
    quint32 rowLines(const Table &t, quint32 r) const;
    mutable QString rowScratch; // rowLines' decoded cells
    void setColumnWidths(Table &t, qreal width) const;
    // Lays out until page `page` is complete or stop() says so; false when stopped.
    bool advance(int page, const std::function<bool()> &stop);
    void paintTableRows(QPainter &p, size_t from, size_t to) const;
};

// --- reading the document --------------------------------------------------

void PrintPages::Impl::read()
{
    const QByteArrayView doc(html);
    const qsizetype n = doc.size();
    std::vector<FontSpec> fonts{{QStringLiteral("Times New Roman"), 12}};
    std::vector<int> fontDepth; // the fonts opened by tags, to close them
    QString para;
    FontSpec paraFont = fonts.back();
    int openParagraphs = 0;
    int table = -1; // the table being read
    bool inRow = false;
    bool inCell = false;
    bool cellHeader = false;
    qsizetype cellStart = 0;
    QString cellText; // a cell's text as read, when it cannot stay where it lies
    bool cellPlain = true;

    auto endPara = [&] {
        const QString t = trimmedBlanks(para);
        if (!t.isEmpty()) {
            paras.push_back(Para{t, paraFont});
            blocks.push_back(Block{Block::Text, int(paras.size()) - 1, 0});
        }
        para.clear();
    };
    auto gap = [&](qreal pt) {
        endPara();
        if (!blocks.empty() && blocks.back().kind == Block::Gap)
            blocks.back().gapPt = std::max(blocks.back().gapPt, pt);
        else
            blocks.push_back(Block{Block::Gap, -1, pt});
    };
    auto closeCell = [&](qsizetype end) {
        if (!inCell)
            return;
        inCell = false;
        Cell c;
        c.header = cellHeader;
        c.pooled = 0;
        if (cellPlain) {
            // The text lies in the document as it is shown: leave it there.
            const QByteArrayView v = part(doc, cellStart, end - cellStart);
            bool plain = v.isEmpty() || (!isBlankByte(v.front()) && !isBlankByte(v.back()));
            for (qsizetype i = 0; plain && i < v.size(); ++i) {
                const char ch = v.at(i);
                if (ch == '&' || (isBlankByte(ch) && (ch != ' ' || v.at(i + 1) == ' ')))
                    plain = false;
            }
            if (plain) {
                c.from = quint32(cellStart);
                c.length = quint32(v.size());
            } else {
                appendDecoded(cellText, QString::fromUtf8(v));
                cellPlain = false;
            }
        }
        if (!cellPlain) {
            const QString t = trimmedBlanks(cellText);
            c.pooled = 1;
            c.from = quint32(pool.size());
            c.length = quint32(t.size());
            pool += t;
        }
        cells.push_back(c);
        ++rows.back().cells;
    };
    auto closeRow = [&](qsizetype end) {
        closeCell(end);
        if (!inRow)
            return;
        inRow = false;
        Table &t = tables[size_t(table)];
        const Row &r = rows.back();
        if (r.cells == 0) {
            rows.pop_back(); // a row without cells takes no room
            return;
        }
        t.cols = std::max(t.cols, int(r.cells));
        if (t.rows == 0) {
            t.headerRow = true;
            for (quint32 i = 0; i < r.cells; ++i)
                t.headerRow = t.headerRow && cells[r.firstCell + i].header;
        }
        ++t.rows;
    };
    auto closeTable = [&](qsizetype end) {
        closeRow(end);
        if (table >= 0 && tables[size_t(table)].rows > 0)
            blocks.push_back(Block{Block::Grid, table, 0});
        table = -1;
    };

    // A list's cells take at least "<td></td>", its rows "<tr></tr>": room
    // for them at once rather than copies as they grow (pages never
    // written to take no memory).
    cells.reserve(size_t(n / 9));
    rows.reserve(size_t(n / 9));
    const char *bytes = doc.data();
    qsizetype i = 0;
    while (i < n) {
        if (bytes[i] != '<') {
            // Most text runs are a cell's few bytes.
            qsizetype j = i + 1;
            while (j < n && bytes[j] != '<')
                ++j;
            if (inCell && cellPlain) {
                i = j;
                continue;
            }
            const QByteArrayView run = part(doc, i, j - i);
            if (inCell) {
                if (!cellPlain)
                    appendDecoded(cellText, QString::fromUtf8(run));
            } else {
                if (para.isEmpty())
                    paraFont = fonts.back();
                appendDecoded(para, QString::fromUtf8(run));
            }
            i = j;
            continue;
        }
        // A tag: its name and attributes up to ">".
        if (part(doc, i, 4) == QByteArrayView("<!--")) {
            const qsizetype end = doc.indexOf(QByteArrayView("-->"), i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const bool ending = i + 1 < n && bytes[i + 1] == '/';
        const qsizetype at = i + (ending ? 2 : 1);
        qsizetype tagEnd;
        QByteArrayView tag;
        TagName name;
        if (at + 2 < n && bytes[at] == 't' && bytes[at + 2] == '>'
            && (bytes[at + 1] == 'd' || bytes[at + 1] == 'r' || bytes[at + 1] == 'h')) {
            // A list's own tags, the most of any document: "<td>", "</tr>"...
            tagEnd = at + 3;
            tag = QByteArrayView(bytes + at, 2);
            name.name[0] = 't';
            name.name[1] = bytes[at + 1];
            name.length = 2;
        } else {
            const qsizetype close = doc.indexOf('>', i + 1);
            tagEnd = close < 0 ? n : close + 1;
            tag = part(doc, at, tagEnd - i - (ending ? 3 : 2));
            name = lowerName(tag);
        }
        const qsizetype tagStart = i;
        i = tagEnd;
        if (name.isEmpty()) {
            // Not a tag after all: "<" as text.
            if (inCell) {
                if (cellPlain) {
                    appendDecoded(cellText, QString::fromUtf8(part(doc, cellStart, tagStart - cellStart)));
                    cellPlain = false;
                }
                cellText += QLatin1Char('<');
            } else {
                para += QLatin1Char('<');
            }
            i = tagStart + 1;
            continue;
        }
        if (inCell && !name.cellOrRow() && !name.is("table")) {
            // Any other tag inside a cell: its text goes on around it.
            if (cellPlain) {
                appendDecoded(cellText, QString::fromUtf8(part(doc, cellStart, tagStart - cellStart)));
                cellPlain = false;
            }
            if (name.is("br"))
                appendBreak(cellText);
            continue;
        }
        if (name.cellOrRow()) {
            if (table < 0)
                continue;
            if (name.name[1] == 'r') {
                closeRow(tagStart);
                if (!ending) {
                    rows.push_back(Row{quint32(cells.size()), 0});
                    inRow = true;
                }
                continue;
            }
            closeCell(tagStart);
            if (!ending) {
                if (!inRow) {
                    rows.push_back(Row{quint32(cells.size()), 0});
                    inRow = true;
                }
                inCell = true;
                cellHeader = name.name[1] == 'h';
                cellStart = i;
                cellPlain = true;
                cellText.clear();
            }
            continue;
        }
        if (name.is("style") && !ending) {
            const qsizetype end = indexOfNoCase(doc, "</style", i);
            const QString sheet = QString::fromUtf8(part(doc, i, end < 0 ? n - i : end - i));
            auto ruleSize = [&](QLatin1StringView selector, qreal fallback) {
                static const QRegularExpression rule(QStringLiteral("(^|[\\s}])(th|td)\\s*\\{([^}]*)\\}"));
                for (auto it = rule.globalMatch(sheet); it.hasNext();) {
                    const auto m = it.next();
                    if (m.captured(2) == selector) {
                        const qreal v = points(cssValue(m.capturedView(3), QLatin1StringView("font-size")));
                        if (v > 0)
                            return v;
                    }
                }
                return fallback;
            };
            thPoints = ruleSize(QLatin1StringView("th"), thPoints);
            tdPoints = ruleSize(QLatin1StringView("td"), tdPoints);
            i = end < 0 ? n : end;
            continue;
        }
        if (name.is("font")) {
            if (!ending) {
                FontSpec f = fonts.back();
                const QString style = attribute(QString::fromUtf8(tag), QLatin1StringView("style"));
                const QString family = cssValue(style, QLatin1StringView("font-family"));
                if (!family.isEmpty())
                    f.family = family;
                if (const qreal pt = points(cssValue(style, QLatin1StringView("font-size"))); pt > 0)
                    f.points = pt;
                fonts.push_back(f);
            } else if (fonts.size() > 1) {
                fonts.pop_back();
            }
            continue;
        }
        if (name.is("p")) {
            // A stray end tag is an empty paragraph, as a browser reads it.
            gap(fonts.back().points);
            if (!ending)
                ++openParagraphs;
            else if (openParagraphs > 0)
                --openParagraphs;
            continue;
        }
        if (name.is("br")) {
            endPara();
            continue;
        }
        if (name.is("table")) {
            if (ending) {
                closeTable(tagStart);
            } else {
                closeTable(tagStart);
                endPara();
                tables.push_back(Table{});
                tables.back().firstRow = quint32(rows.size());
                table = int(tables.size()) - 1;
            }
            continue;
        }
    }
    closeTable(n);
    endPara();
    while (!blocks.empty() && blocks.back().kind == Block::Gap)
        blocks.pop_back();
}

PrintPages::PrintPages(const QByteArray &html) : d(std::make_unique<Impl>())
{
    d->html = html;
    d->read();
}

PrintPages::PrintPages(const QString &html) : PrintPages(html.toUtf8())
{
}

PrintPages::~PrintPages() = default;

// --- measuring and laying out ------------------------------------------

namespace {
// A field whose every text fits in this many digits (a date, a phone
// number, a postal code, a card number, an amount) is never wrapped.
constexpr qreal kShortField = 20;
// A longer text's words are never broken up to this many digits; a longer
// word is broken inside its cell rather than shrinking the page.
constexpr qreal kLongWord = 16;
// No cell weighs more than this many digits in sharing out the width.
constexpr qreal kHeavyCell = 400;
// The lines an average long text is given where the page must shrink.
constexpr qreal kAverageLines = 4;
} // namespace

namespace {
// What the cells of a table tell of its columns' widths, gathered cell by cell.
struct ColumnSizes : ColumnWidths {
    qreal heavy = 0; // the most a cell weighs in dataSum

    ColumnSizes(size_t n, qreal heaviest)
        : ColumnWidths{std::vector<qreal>(n, 0), std::vector<qreal>(n, 0), std::vector<qreal>(n, 0),
                       std::vector<qreal>(n, 0), std::vector<qreal>(n, 0), std::vector<char>(n, 0)},
          heavy(heaviest)
    {
    }
    void add(size_t k, bool header, qreal word, qreal line, qreal all, bool readsAsWords)
    {
        minWidth[k] = std::max(minWidth[k], word);
        maxWidth[k] = std::max(maxWidth[k], line);
        if (header) {
            headWord[k] = std::max(headWord[k], word);
        } else {
            dataLine[k] = std::max(dataLine[k], line);
            words[k] = words[k] || readsAsWords;
            // One huge text does not take the width from every other row.
            dataSum[k] += std::min(all, heavy);
        }
    }
    void merge(const ColumnSizes &o)
    {
        for (size_t k = 0; k < minWidth.size(); ++k) {
            minWidth[k] = std::max(minWidth[k], o.minWidth[k]);
            maxWidth[k] = std::max(maxWidth[k], o.maxWidth[k]);
            headWord[k] = std::max(headWord[k], o.headWord[k]);
            dataLine[k] = std::max(dataLine[k], o.dataLine[k]);
            dataSum[k] += o.dataSum[k];
            words[k] = words[k] || o.words[k];
        }
    }
};

// Rows from which a table's cells are measured on several threads.
constexpr quint32 kManyRows = 20000;
} // namespace

void PrintPages::Impl::measure(const QPaintDevice &device, const Progress &progress, bool *stopped, quint32 maxRows)
{
    dpi = device.logicalDpiY();
    QFont tdFont(QStringLiteral("Arial"));
    tdFont.setPointSizeF(tdPoints);
    QFont thFont(QStringLiteral("Arial"));
    thFont.setPointSizeF(thPoints);
    thFont.setBold(true);
    td = std::make_unique<Metrics>(tdFont, device);
    th = std::make_unique<Metrics>(thFont, device);
    paraMetrics.clear();
    for (const Para &p : paras) {
        QFont f(p.font.family);
        f.setPointSizeF(p.font.points);
        paraMetrics.push_back(std::make_unique<Metrics>(f, device));
    }
    QElapsedTimer clock;
    clock.start();
    size_t done = 0;
    QString scratch;
    auto measureCell = [&](const Cell &c, ColumnSizes &sizes, size_t k) {
        qreal word = 0, line = 0, all = 0;
        bool words = false;
        const Metrics &mt = metricsOf(c);
        if (c.pooled || !mt.measureLatin1(part(html, c.from, c.length), &word, &line, &all, &words))
            mt.measure(text(c, scratch), &word, &line, &all, &words);
        sizes.add(k, c.header, word, line, all, words);
    };
    for (Table &t : tables) {
        const size_t n = size_t(t.cols);
        const quint32 rowsHere = std::min(t.rows, maxRows);
        ColumnSizes sizes(n, kHeavyCell * td->advance['0']);
        const unsigned threads = rowsHere < kManyRows ? 1 : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
        if (threads > 1) {
            // A long list: its Latin-1 cells, most of them, measured on
            // several threads from the tables of advances; the others
            // (shaped by the font, not to be shared between threads) after.
            struct Part {
                ColumnSizes sizes;
                std::vector<std::pair<quint32, quint32>> later; // cell, column
            };
            std::vector<Part> parts(threads, Part{ColumnSizes(n, sizes.heavy), {}});
            std::vector<std::thread> workers;
            for (unsigned w = 0; w < threads; ++w) {
                workers.emplace_back([this, &t, &parts, w, threads, rowsHere] {
                    Part &part_ = parts[w];
                    const quint32 from = t.firstRow + quint32(quint64(rowsHere) * w / threads);
                    const quint32 to = t.firstRow + quint32(quint64(rowsHere) * (w + 1) / threads);
                    for (quint32 r = from; r < to; ++r) {
                        const Row &row = rows[r];
                        for (quint32 k = 0; k < row.cells; ++k) {
                            const Cell &c = cells[row.firstCell + k];
                            qreal word = 0, line = 0, all = 0;
                            bool words = false;
                            if (!c.pooled
                                && metricsOf(c).measureLatin1(part(html, c.from, c.length), &word, &line, &all,
                                                              &words))
                                part_.sizes.add(k, c.header, word, line, all, words);
                            else
                                part_.later.emplace_back(row.firstCell + k, k);
                        }
                    }
                });
            }
            for (std::thread &w : workers)
                w.join();
            for (Part &p : parts) {
                sizes.merge(p.sizes);
                for (const auto &[cell, k] : p.later)
                    measureCell(cells[cell], sizes, k);
            }
        } else {
            for (quint32 r = t.firstRow; r < t.firstRow + rowsHere; ++r) {
                const Row &row = rows[r];
                for (quint32 k = 0; k < row.cells; ++k)
                    measureCell(cells[row.firstCell + k], sizes, k);
                if (progress && (++done & 1023) == 0 && clock.elapsed() > 30) {
                    clock.restart();
                    if (!progress(0.04 * double(r) / double(std::max<size_t>(1, rows.size())))) {
                        *stopped = true;
                        return;
                    }
                }
            }
        }
        static_cast<ColumnWidths &>(t) = std::move(static_cast<ColumnWidths &>(sizes));
    }
}

qreal PrintPages::Impl::columnMin(const Table &t, size_t k) const
{
    const qreal digit = td->advance['0'];
    if (t.dataLine[k] <= kShortField * digit && !t.words[k])
        return std::max(t.dataLine[k], t.headWord[k]);
    return std::max(t.headWord[k], std::min(t.minWidth[k], kLongWord * digit));
}

// Columns for a person reading paper: each at its widest line when all fit;
// else short fields on one line, and the width left shared out among the
// columns in proportion to how much text they hold, none beyond its widest
// line, so the notes get the most.
void PrintPages::Impl::setColumnWidths(Table &t, qreal width) const
{
    const size_t n = size_t(t.cols);
    t.width.assign(n, 0);
    qreal extra = css(kBorder);
    for (size_t k = 0; k < n; ++k)
        extra += 2 * css(kPadding) + css(kBorder);
    qreal sumMax = 0;
    for (size_t k = 0; k < n; ++k)
        sumMax += t.maxWidth[k];
    if (sumMax + extra <= width) {
        t.width = t.maxWidth;
        return;
    }
    // The width left goes where it saves the most lines: each column as
    // wide as makes its average text as many lines as every other's, within
    // its narrowest and its widest line.
    const qreal rowsHere = std::max<qreal>(1, qreal(t.rows));
    std::vector<qreal> min(n);
    for (size_t k = 0; k < n; ++k)
        min[k] = columnMin(t, k);
    auto widthAt = [&](size_t k, qreal lines) {
        return std::clamp(t.dataSum[k] / rowsHere / lines, min[k], std::max(min[k], t.maxWidth[k]));
    };
    auto total = [&](qreal lines) {
        qreal w = 0;
        for (size_t k = 0; k < n; ++k)
            w += widthAt(k, lines);
        return w;
    };
    const qreal room = width - extra;
    qreal few = 1e-3, many = 1e6; // lines: too wide, narrow enough
    if (total(many) > room) {
        t.width = min;
        return;
    }
    for (int i = 0; i < 60; ++i) {
        const qreal mid = std::sqrt(few * many);
        (total(mid) > room ? few : many) = mid;
    }
    for (size_t k = 0; k < n; ++k)
        t.width[k] = widthAt(k, many);
    // What the clamps leave over goes to the columns that can still grow.
    qreal left = room - total(many);
    for (size_t k = 0; k < n && left > 1e-6; ++k) {
        const qreal more = std::min(left, std::max<qreal>(0, t.maxWidth[k] - t.width[k]));
        t.width[k] += more;
        left -= more;
    }
}

qreal PrintPages::neededWidth(const QPaintDevice &device) const
{
    // The first rows tell well enough, and at once.
    bool stopped = false;
    d->measure(device, {}, &stopped, 500);
    qreal w = 0;
    for (const Table &t : d->tables)
        w = std::max(w, d->tableMin(t));
    return w + 2 * d->css(kBodyMargin);
}

bool PrintPages::begin(const QPaintDevice &device, const QSizeF &pageSize, const Progress &progress)
{
    Impl &m = *d;
    bool stopped = false;
    m.at = Impl::Cursor{};
    m.pieces.clear();
    m.pageStart.assign(1, 0);
    m.rowsPlaced = 0;
    m.measure(device, progress, &stopped);
    if (stopped)
        return false;
    m.pageWidth = pageSize.width();
    const qreal room = pageSize.width() - 2 * m.css(kBodyMargin);
    // A table that does not fit shrinks the page as far as gives its
    // longer texts about four lines for an average text, beside the
    // short fields on one line; ordinary words and the texts' weight are
    // counted up to a limit, so no one text shrinks the page further.
    qreal needed = 0;
    for (const Table &t : m.tables) {
        qreal w = m.tableMin(t);
        for (size_t k = 0; k < t.minWidth.size(); ++k) {
            const qreal min = m.columnMin(t, k);
            if (min < t.dataLine[k])
                w += std::max<qreal>(0, t.dataSum[k] / std::max<qreal>(1, t.rows) / kAverageLines - min);
        }
        needed = std::max(needed, w);
    }
    m.s = needed > room && needed > 0 ? room / needed : 1.0;
    const qreal width = room / m.s; // in unshrunk pixels
    m.pageHeight = pageSize.height() / m.s;
    for (Table &t : m.tables)
        m.setColumnWidths(t, width);
    m.at.y = m.css(kBodyMargin);
    m.at.done = m.blocks.empty();
    return true;
}

quint32 PrintPages::Impl::rowLines(const Table &t, quint32 r) const
{
    const Row &row = rows[r];
    quint32 lines = 1;
    for (quint32 k = 0; k < row.cells; ++k) {
        const Cell &c = cells[row.firstCell + k];
        const Metrics &mt = metricsOf(c);
        const QStringView s = text(c, rowScratch);
        if (!mt.fits(s, t.width[k], mayBreak(c)))
            lines = std::max<quint32>(lines, quint32(mt.wrap(s, t.width[k], [](qsizetype, qsizetype, qreal) {})));
    }
    return lines;
}

bool PrintPages::Impl::advance(int page, const std::function<bool()> &stop)
{
    const qreal top = css(kBodyMargin);
    const qreal pad = css(kPadding), border = css(kBorder);
    const qreal height = pageHeight;
    Cursor &c = at;
    auto newPage = [&] {
        pageStart.push_back(pieces.size());
        c.y = top;
        c.pendingGap = 0;
    };
    auto atTop = [&] { return pieces.size() == pageStart.back(); };
    auto complete = [&] { return c.done || int(pageStart.size()) > page + 1; };
    unsigned steps = 0;
    while (!complete()) {
        if (stop && (++steps & 255) == 0) {
            if (stop())
                return false;
            // The progress shown may have let the preview lay out more.
            if (complete())
                break;
        }
        const Block &b = blocks[c.block];
        if (b.kind == Block::Gap) {
            c.pendingGap = std::max(c.pendingGap, b.gapPt * dpi / 72);
            c.done = ++c.block == blocks.size();
            continue;
        }
        if (b.kind == Block::Text) {
            const Para &p = paras[size_t(b.index)];
            const Metrics &mt = *paraMetrics[size_t(b.index)];
            const qreal h = mt.lineHeight;
            mt.wrap(p.text, (pageWidth - 2 * css(kBodyMargin)) / s, [&](qsizetype start, qsizetype length, qreal w) {
                if (!atTop() && c.y + c.pendingGap + h > height)
                    newPage();
                if (!atTop())
                    c.y += c.pendingGap;
                c.pendingGap = 0;
                pieces.push_back(Piece{Piece::TextLine, b.index, quint32(start), quint32(length), 0, c.y, w});
                c.y += h;
            });
            c.done = ++c.block == blocks.size();
            continue;
        }
        Table &t = tables[size_t(b.index)];
        const qreal lineH = td->lineHeight;
        auto rowHeight = [&](quint32 r, quint32 lines) {
            const Metrics &mt = rows[r].cells && cells[rows[r].firstCell].header ? *th : *td;
            return qreal(lines) * std::max(mt.lineHeight, lineH) + 2 * pad + border;
        };
        const quint32 head = t.firstRow;
        if (!c.inTable) {
            if (!atTop())
                c.y += c.pendingGap;
            c.pendingGap = 0;
            c.inTable = true;
            c.placedHere = false;
            c.row = t.firstRow;
            rows[head].lines = rowLines(t, head);
        }
        const qreal headH = rowHeight(head, rows[head].lines);
        auto place = [&](quint32 r, quint32 first, quint32 count) {
            pieces.push_back(Piece{Piece::TableRow, b.index, r, first, count, c.y, 0});
            c.y += rowHeight(r, count);
            c.placedHere = true;
        };
        auto continueOnNextPage = [&](quint32 r) {
            newPage();
            c.placedHere = false;
            // The header row again on every page it continues on.
            if (t.headerRow && r != head && headH + border < height / 2)
                place(head, 0, rows[head].lines);
        };
        const quint32 r = c.row;
        const quint32 lines = r == head ? rows[head].lines : (rows[r].lines = rowLines(t, r));
        if (c.y + rowHeight(r, lines) + border > height && (c.placedHere || !atTop()))
            continueOnNextPage(r);
        if (c.y + rowHeight(r, lines) + border <= height) {
            place(r, 0, lines);
        } else {
            // A row higher than a page goes on line by line.
            quint32 first = 0;
            while (first < lines) {
                quint32 count = 0;
                while (first + count < lines && c.y + rowHeight(r, count + 1) + border <= height)
                    ++count;
                count = std::max<quint32>(count, 1);
                place(r, first, count);
                first += count;
                if (first < lines)
                    continueOnNextPage(r);
            }
        }
        ++rowsPlaced;
        if (++c.row == t.firstRow + t.rows) {
            c.y += border;
            c.inTable = false;
            c.done = ++c.block == blocks.size();
        }
    }
    return true;
}

bool PrintPages::layoutPages(int pages, const Progress &progress)
{
    QElapsedTimer clock;
    clock.start();
    const double total = double(std::max<size_t>(1, d->rows.size()));
    return d->advance(pages - 1, [&] {
        if (!progress || clock.elapsed() <= 30)
            return false;
        clock.restart();
        return !progress(0.04 + 0.02 * double(d->rowsPlaced) / total);
    });
}

bool PrintPages::layoutFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    d->advance(std::numeric_limits<int>::max() - 1, [&] { return clock.elapsed() >= milliseconds; });
    return complete();
}

bool PrintPages::layout(const QPaintDevice &device, const QSizeF &pageSize, const Progress &progress)
{
    return begin(device, pageSize, progress) && layoutPages(std::numeric_limits<int>::max(), progress);
}

bool PrintPages::complete() const
{
    return d->at.done;
}

int PrintPages::pagesReady() const
{
    return d->at.done ? int(d->pageStart.size()) : int(d->pageStart.size()) - 1;
}

double PrintPages::laidOut() const
{
    if (d->at.done)
        return 1;
    return double(d->rowsPlaced) / double(std::max<size_t>(1, d->rows.size()));
}

int PrintPages::pageCount() const
{
    return int(d->pageStart.size());
}

qreal PrintPages::scale() const
{
    return d->s;
}

// --- painting ----------------------------------------------------------------

void PrintPages::Impl::paintTableRows(QPainter &p, size_t from, size_t to) const
{
    const Table &t = tables[size_t(pieces[from].index)];
    const qreal pad = css(kPadding), border = css(kBorder);
    const qreal x0 = css(kBodyMargin);
    std::vector<qreal> x{x0};
    for (qreal w : t.width)
        x.push_back(x.back() + border + 2 * pad + w);
    const qreal lineH = td->lineHeight;
    const QFont *font = nullptr;
    QColor pen;
    auto use = [&](const Metrics &mt, const QColor &c) {
        if (font != &mt.font) {
            p.setFont(mt.font);
            font = &mt.font;
        }
        if (pen != c) {
            p.setPen(c);
            pen = c;
        }
    };
    QString scratch;
    std::vector<qreal> tops; // the top of each row here, and the bottom of the last
    for (size_t i = from; i < to; ++i) {
        const Piece &pc = pieces[i];
        const Row &row = rows[pc.row];
        const bool header = row.cells && cells[row.firstCell].header;
        const Metrics &rowMt = header ? *th : *td;
        const qreal ls = std::max(rowMt.lineHeight, lineH);
        const qreal h = qreal(pc.count) * ls + 2 * pad + border;
        tops.push_back(pc.y);
        // Header cells on blue, side by side as one band where they touch.
        for (quint32 k = 0; k < row.cells;) {
            if (!cells[row.firstCell + k].header) {
                ++k;
                continue;
            }
            quint32 e = k;
            while (e < row.cells && cells[row.firstCell + e].header)
                ++e;
            p.fillRect(QRectF(x[k], pc.y, x[e] - x[k], h), kBlue);
            k = e;
        }
        for (quint32 k = 0; k < row.cells; ++k) {
            const Cell &c = cells[row.firstCell + k];
            const Metrics &mt = metricsOf(c);
            const QStringView s = text(c, scratch);
            if (s.isEmpty())
                continue;
            use(mt, c.header ? QColor(Qt::white) : QColor(Qt::black));
            const qreal cw = t.width[k];
            const qreal left = x[k] + border + pad;
            const qreal baseline = pc.y + border + pad + mt.ascent;
            if (mt.fits(s, cw, mayBreak(c))) {
                const qreal whole = mt.width(s);
                if (pc.first == 0) {
                    // Alone on its line, the text sits in the middle of the row.
                    const qreal dy = qreal(row.lines - 1) * ls / 2;
                    const qreal dx = c.header ? std::max<qreal>(0, (cw - whole) / 2) : 0;
                    p.drawText(QPointF(left + dx, baseline + (pc.count == row.lines ? dy : 0)),
                               QString::fromRawData(s.data(), s.size()));
                }
                continue;
            }
            int line = 0;
            const int total = mt.wrap(s, cw, [](qsizetype, qsizetype, qreal) {});
            const qreal dy = pc.count == row.lines ? qreal(int(row.lines) - total) * ls / 2 : 0;
            mt.wrap(s, cw, [&](qsizetype start, qsizetype length, qreal w) {
                const int here = line++ - int(pc.first);
                if (here >= 0 && here < int(pc.count))
                    p.drawText(QPointF(left + (c.header ? std::max<qreal>(0, (cw - w) / 2) : 0),
                                       baseline + dy + here * ls),
                               QString::fromRawData(s.data() + start, length));
            });
        }
        if (i + 1 == to)
            tops.push_back(pc.y + h);
    }
    // The collapsed borders: a line at the top of each row and under the
    // last, across the cells it touches; a line at each column edge down the
    // rows that have a cell there.
    p.setPen(QPen(kBlue, border, Qt::SolidLine, Qt::FlatCap));
    const qreal half = border / 2;
    auto cellsOf = [&](size_t i) { return i >= from && i < to ? rows[pieces[i].row].cells : 0u; };
    for (size_t i = from; i <= to; ++i) {
        const quint32 span = std::max(cellsOf(i), i > from ? cellsOf(i - 1) : 0u);
        if (span == 0)
            continue;
        const qreal y = tops[i - from] + half;
        p.drawLine(QPointF(x[0], y), QPointF(x[span] + border, y));
    }
    for (size_t k = 0; k < x.size(); ++k) {
        size_t runStart = to;
        for (size_t i = from; i <= to; ++i) {
            const bool edge = i < to && cellsOf(i) >= k && cellsOf(i) > 0;
            if (edge && runStart == to) {
                runStart = i;
            } else if (!edge && runStart != to) {
                const qreal xx = x[k] + half;
                p.drawLine(QPointF(xx, tops[runStart - from]), QPointF(xx, tops[i - from] + border));
                runStart = to;
            }
        }
    }
}

void PrintPages::paintPage(QPainter &p, int page) const
{
    const Impl &m = *d;
    if (page < 0 || page >= pageCount())
        return;
    const size_t from = m.pageStart[size_t(page)];
    const size_t to = size_t(page) + 1 < m.pageStart.size() ? m.pageStart[size_t(page) + 1] : m.pieces.size();
    p.save();
    p.scale(m.s, m.s);
    for (size_t i = from; i < to;) {
        const Impl::Piece &pc = m.pieces[i];
        if (pc.kind == Impl::Piece::TextLine) {
            const Para &para = m.paras[size_t(pc.index)];
            const Metrics &mt = *m.paraMetrics[size_t(pc.index)];
            p.setFont(mt.font);
            p.setPen(Qt::black);
            p.drawText(QPointF(m.css(kBodyMargin), pc.y + mt.ascent), para.text.mid(pc.row, pc.first));
            ++i;
            continue;
        }
        size_t e = i;
        while (e < to && m.pieces[e].kind == Impl::Piece::TableRow && m.pieces[e].index == pc.index)
            ++e;
        m.paintTableRows(p, i, e);
        i = e;
    }
    p.restore();
}

bool PrintPages::paint(QPainter &painter, QPagedPaintDevice &device, const Progress &progress) const
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, i);
        if (progress && clock.elapsed() > 30) {
            clock.restart();
            if (!progress(0.06 + 0.94 * double(i + 1) / double(pageCount())))
                return false;
        }
    }
    return true;
}

// --- what the layout made ------------------------------------------------------

std::vector<PrintPages::Line> PrintPages::lines() const
{
    const Impl &m = *d;
    std::vector<Line> out;
    for (int page = 0; page < pageCount(); ++page) {
        const size_t from = m.pageStart[size_t(page)];
        const size_t to = size_t(page) + 1 < m.pageStart.size() ? m.pageStart[size_t(page) + 1] : m.pieces.size();
        for (size_t i = from; i < to; ++i) {
            const Impl::Piece &pc = m.pieces[i];
            Line l{page, pc.y * m.s, QString(), false};
            if (pc.kind == Impl::Piece::TextLine) {
                l.text = m.paras[size_t(pc.index)].text.mid(pc.row, pc.first);
            } else {
                const Row &row = m.rows[pc.row];
                QStringList texts;
                QString scratch;
                for (quint32 k = 0; k < row.cells; ++k)
                    texts << m.text(m.cells[row.firstCell + k], scratch).toString();
                l.text = texts.join(QStringLiteral(" | "));
                l.header = row.cells && m.cells[row.firstCell].header;
                l.table = pc.index;
                l.lineCount = int(pc.count);
            }
            out.push_back(l);
        }
    }
    return out;
}

std::vector<qreal> PrintPages::columnWidths(int table) const
{
    std::vector<qreal> out;
    if (table < 0 || size_t(table) >= d->tables.size())
        return out;
    for (qreal w : d->tables[size_t(table)].width)
        out.push_back(w * d->s);
    return out;
}
