#include "PrintPages.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {
// Sizes of a browser, in CSS pixels (96 to the inch).
constexpr qreal kCssDpi = 96;
constexpr qreal kBodyMargin = 8;
constexpr qreal kPadding = 3;
constexpr qreal kBorder = 1;
const QColor kBlue(0x33, 0x66, 0x99);

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
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

struct Table {
    quint32 firstRow = 0;
    quint32 rows = 0;
    int cols = 0;
    bool headerRow = false;      // its first row is all header cells
    std::vector<qreal> minWidth; // widest word of each column
    std::vector<qreal> maxWidth; // widest text of each column on one line
    std::vector<qreal> width;    // content width of each column, once laid out
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
// a table, any other text shaped whole.
struct Metrics {
    QFont font;
    QFontMetricsF fm;
    std::array<qreal, 256> advance{};
    qreal space = 0;

    Metrics(const QFont &f, const QPaintDevice &device) : font(f), fm(f, const_cast<QPaintDevice *>(&device))
    {
        for (int c = 0; c < 256; ++c)
            advance[size_t(c)] = fm.horizontalAdvance(QChar(c));
        space = advance[' '];
    }

    static bool latin1(QStringView s)
    {
        for (QChar c : s) {
            if (c.unicode() > 0xFF)
                return false;
        }
        return true;
    }

    qreal width(QStringView s) const
    {
        if (!latin1(s))
            return fm.horizontalAdvance(s.toString());
        qreal w = 0;
        for (QChar c : s)
            w += advance[c.unicode()];
        return w;
    }

    // The widest word and the whole text on one line.
    void measure(QStringView s, qreal *widestWord, qreal *whole) const
    {
        qreal widest = 0, total = 0, word = 0;
        if (latin1(s)) {
            for (QChar c : s) {
                const qreal a = advance[c.unicode()];
                total += a;
                if (c.unicode() == ' ') {
                    widest = std::max(widest, word);
                    word = 0;
                } else {
                    word += a;
                }
            }
            widest = std::max(widest, word);
        } else {
            qsizetype start = 0;
            for (qsizetype i = 0; i <= s.size(); ++i) {
                if (i == s.size() || s.at(i) == QLatin1Char(' ')) {
                    widest = std::max(widest, width(s.mid(start, i - start)));
                    start = i + 1;
                }
            }
            total = width(s);
        }
        *widestWord = widest;
        *whole = total;
    }

    // Lines of s within width w, broken at blanks only: each (start, length)
    // with its width, through f. Returns the number of lines.
    template <class F>
    int wrap(QStringView s, qreal w, F &&f) const
    {
        int lines = 0;
        qsizetype lineStart = 0, lineEnd = 0;
        qreal lineWidth = 0;
        bool empty = true;
        qsizetype i = 0;
        const qreal slack = w * 1e-6 + 1e-3;
        while (i <= s.size()) {
            qsizetype j = i;
            while (j < s.size() && s.at(j) != QLatin1Char(' '))
                ++j;
            const qreal ww = width(s.mid(i, j - i));
            if (empty) {
                lineStart = i;
                lineEnd = j;
                lineWidth = ww;
                empty = false;
            } else if (lineWidth + space + ww <= w + slack) {
                lineEnd = j;
                lineWidth += space + ww;
            } else {
                f(lineStart, lineEnd - lineStart, lineWidth);
                ++lines;
                lineStart = i;
                lineEnd = j;
                lineWidth = ww;
            }
            i = j + 1;
        }
        f(lineStart, lineEnd - lineStart, lineWidth);
        return lines + 1;
    }
};

QString lowerName(QStringView tag)
{
    qsizetype i = 0;
    while (i < tag.size() && (tag.at(i).isLetterOrNumber() || tag.at(i) == QLatin1Char('!')))
        ++i;
    return tag.left(i).toString().toLower();
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
            if (!out.isEmpty() && !out.endsWith(QLatin1Char(' ')))
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
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}
} // namespace

struct PrintPages::Impl {
    QString html;
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

    QStringView text(const Cell &c) const { return QStringView(c.pooled ? pool : html).mid(c.from, c.length); }
    qreal css(qreal px) const { return px * dpi / kCssDpi; }

    void read();
    void measure(const QPaintDevice &device, const Progress &progress, bool *stopped,
                 quint32 maxRows = std::numeric_limits<quint32>::max());
    qreal tableMin(const Table &t) const
    {
        qreal w = css(kBorder);
        for (qreal m : t.minWidth)
            w += m + 2 * css(kPadding) + css(kBorder);
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
    void paintTableRows(QPainter &p, size_t from, size_t to) const;
};

// --- reading the document --------------------------------------------------

void PrintPages::Impl::read()
{
    const QStringView doc(html);
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
            QStringView v = doc.mid(cellStart, end - cellStart);
            bool plain = v.isEmpty() || (!isBlank(v.front()) && !isBlank(v.back()));
            for (qsizetype i = 0; plain && i < v.size(); ++i) {
                const QChar ch = v.at(i);
                if (ch == QLatin1Char('&')
                    || (isBlank(ch) && (ch != QLatin1Char(' ') || v.at(i + 1) == QLatin1Char(' '))))
                    plain = false;
            }
            if (plain) {
                c.from = quint32(cellStart);
                c.length = quint32(v.size());
            } else {
                appendDecoded(cellText, v);
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

    qsizetype i = 0;
    while (i < n) {
        if (doc.at(i) != QLatin1Char('<')) {
            qsizetype j = doc.indexOf(QLatin1Char('<'), i);
            if (j < 0)
                j = n;
            const QStringView run = doc.mid(i, j - i);
            if (inCell) {
                if (!cellPlain)
                    appendDecoded(cellText, run);
            } else {
                if (para.isEmpty())
                    paraFont = fonts.back();
                appendDecoded(para, run);
            }
            i = j;
            continue;
        }
        // A tag: its name and attributes up to ">".
        if (doc.mid(i, 4) == QLatin1String("<!--")) {
            const qsizetype end = doc.indexOf(QLatin1String("-->"), i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype close = doc.indexOf(QLatin1Char('>'), i + 1);
        const qsizetype tagEnd = close < 0 ? n : close + 1;
        const bool ending = i + 1 < n && doc.at(i + 1) == QLatin1Char('/');
        const QStringView tag = doc.mid(i + (ending ? 2 : 1), tagEnd - i - (ending ? 3 : 2));
        const QString name = lowerName(tag);
        const qsizetype tagStart = i;
        i = tagEnd;
        if (name.isEmpty()) {
            // Not a tag after all: "<" as text.
            if (inCell) {
                if (cellPlain) {
                    appendDecoded(cellText, doc.mid(cellStart, tagStart - cellStart));
                    cellPlain = false;
                }
                cellText += QLatin1Char('<');
            } else {
                para += QLatin1Char('<');
            }
            i = tagStart + 1;
            continue;
        }
        if (inCell && name != QLatin1String("td") && name != QLatin1String("th") && name != QLatin1String("tr")
            && name != QLatin1String("table")) {
            // Any other tag inside a cell: its text goes on around it.
            if (cellPlain) {
                appendDecoded(cellText, doc.mid(cellStart, tagStart - cellStart));
                cellPlain = false;
            }
            if (name == QLatin1String("br"))
                appendDecoded(cellText, u" ");
            continue;
        }
        if (name == QLatin1String("style") && !ending) {
            const qsizetype end = doc.indexOf(QLatin1String("</style"), i, Qt::CaseInsensitive);
            const QStringView sheet = doc.mid(i, end < 0 ? -1 : end - i);
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
        if (name == QLatin1String("font")) {
            if (!ending) {
                FontSpec f = fonts.back();
                const QString style = attribute(tag, QLatin1StringView("style"));
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
        if (name == QLatin1String("p")) {
            // A stray end tag is an empty paragraph, as a browser reads it.
            gap(fonts.back().points);
            if (!ending)
                ++openParagraphs;
            else if (openParagraphs > 0)
                --openParagraphs;
            continue;
        }
        if (name == QLatin1String("br")) {
            endPara();
            continue;
        }
        if (name == QLatin1String("table")) {
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
        if (table < 0)
            continue;
        if (name == QLatin1String("tr")) {
            closeRow(tagStart);
            if (!ending) {
                rows.push_back(Row{quint32(cells.size()), 0});
                inRow = true;
            }
            continue;
        }
        if (name == QLatin1String("td") || name == QLatin1String("th")) {
            closeCell(tagStart);
            if (!ending) {
                if (!inRow) {
                    rows.push_back(Row{quint32(cells.size()), 0});
                    inRow = true;
                }
                inCell = true;
                cellHeader = name == QLatin1String("th");
                cellStart = i;
                cellPlain = true;
                cellText.clear();
            }
            continue;
        }
    }
    closeTable(n);
    endPara();
    while (!blocks.empty() && blocks.back().kind == Block::Gap)
        blocks.pop_back();
}

PrintPages::PrintPages(const QString &html) : d(std::make_unique<Impl>())
{
    d->html = html;
    d->read();
}

PrintPages::~PrintPages() = default;

// --- measuring and laying out ------------------------------------------

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
    for (Table &t : tables) {
        t.minWidth.assign(size_t(t.cols), 0);
        t.maxWidth.assign(size_t(t.cols), 0);
        for (quint32 r = t.firstRow; r < t.firstRow + std::min(t.rows, maxRows); ++r) {
            const Row &row = rows[r];
            for (quint32 k = 0; k < row.cells; ++k) {
                const Cell &c = cells[row.firstCell + k];
                qreal word = 0, whole = 0;
                metricsOf(c).measure(text(c), &word, &whole);
                t.minWidth[k] = std::max(t.minWidth[k], word);
                t.maxWidth[k] = std::max(t.maxWidth[k], whole);
            }
            if (progress && (++done & 1023) == 0 && clock.elapsed() > 30) {
                clock.restart();
                if (!progress(0.04 * double(r) / double(std::max<size_t>(1, rows.size())))) {
                    *stopped = true;
                    return;
                }
            }
        }
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

bool PrintPages::layout(const QPaintDevice &device, const QSizeF &pageSize, const Progress &progress)
{
    Impl &m = *d;
    bool stopped = false;
    m.measure(device, progress, &stopped);
    if (stopped)
        return false;
    m.pageWidth = pageSize.width();
    // A table that cannot fit at its narrowest shrinks the whole page.
    qreal needed = 0;
    for (const Table &t : m.tables)
        needed = std::max(needed, m.tableMin(t));
    const qreal room = pageSize.width() - 2 * m.css(kBodyMargin);
    m.s = needed > room && needed > 0 ? room / needed : 1.0;
    const qreal width = room / m.s; // in unshrunk pixels
    const qreal height = pageSize.height() / m.s;
    const qreal top = m.css(kBodyMargin);
    const qreal pad = m.css(kPadding), border = m.css(kBorder);

    // Columns as a browser sizes them: each at its widest text when all fit,
    // else between its widest word and its widest text.
    for (Table &t : m.tables) {
        qreal sumMin = 0, sumMax = 0;
        for (int c = 0; c < t.cols; ++c) {
            sumMin += t.minWidth[size_t(c)];
            sumMax += t.maxWidth[size_t(c)];
        }
        const qreal extra = m.tableMin(t) - sumMin;
        t.width = t.maxWidth;
        if (sumMax + extra > width) {
            const qreal slack = std::max<qreal>(0, width - extra - sumMin);
            for (int c = 0; c < t.cols; ++c) {
                const size_t k = size_t(c);
                const qreal more = sumMax > sumMin ? (t.maxWidth[k] - t.minWidth[k]) / (sumMax - sumMin) : 0;
                t.width[k] = t.minWidth[k] + slack * more;
            }
        }
    }

    // Rows as high as their cell of most lines.
    QElapsedTimer clock;
    clock.start();
    for (Table &t : m.tables) {
        for (quint32 r = t.firstRow; r < t.firstRow + t.rows; ++r) {
            Row &row = m.rows[r];
            quint32 lines = 1;
            for (quint32 k = 0; k < row.cells; ++k) {
                const Cell &c = m.cells[row.firstCell + k];
                const Metrics &mt = m.metricsOf(c);
                const QStringView s = m.text(c);
                if (mt.width(s) > t.width[k])
                    lines = std::max<quint32>(lines,
                                              quint32(mt.wrap(s, t.width[k], [](qsizetype, qsizetype, qreal) {})));
            }
            row.lines = lines;
            if (progress && (r & 1023) == 0 && clock.elapsed() > 30) {
                clock.restart();
                if (!progress(0.04 + 0.02 * double(r) / double(std::max<size_t>(1, m.rows.size()))))
                    return false;
            }
        }
    }

    // Pages.
    m.pieces.clear();
    m.pageStart.assign(1, 0);
    qreal y = top;
    qreal pendingGap = 0;
    auto newPage = [&] {
        m.pageStart.push_back(m.pieces.size());
        y = top;
        pendingGap = 0;
    };
    auto atTop = [&] { return m.pieces.size() == m.pageStart.back(); };
    for (const Block &b : m.blocks) {
        if (b.kind == Block::Gap) {
            pendingGap = std::max(pendingGap, b.gapPt * m.dpi / 72);
            continue;
        }
        if (b.kind == Block::Text) {
            const Para &p = m.paras[size_t(b.index)];
            const Metrics &mt = *m.paraMetrics[size_t(b.index)];
            const qreal h = mt.fm.lineSpacing();
            mt.wrap(p.text, width, [&](qsizetype start, qsizetype length, qreal w) {
                if (!atTop() && y + pendingGap + h > height)
                    newPage();
                if (!atTop())
                    y += pendingGap;
                pendingGap = 0;
                m.pieces.push_back(
                    Impl::Piece{Impl::Piece::TextLine, b.index, quint32(start), quint32(length), 0, y, w});
                y += h;
            });
            continue;
        }
        const Table &t = m.tables[size_t(b.index)];
        if (!atTop())
            y += pendingGap;
        pendingGap = 0;
        const qreal lineH = m.td->fm.lineSpacing();
        auto rowHeight = [&](quint32 r, quint32 lines) {
            const Metrics &mt = m.rows[r].cells && m.cells[m.rows[r].firstCell].header ? *m.th : *m.td;
            return qreal(lines) * std::max(mt.fm.lineSpacing(), lineH) + 2 * pad + border;
        };
        const quint32 head = t.firstRow;
        const qreal headH = rowHeight(head, m.rows[head].lines);
        bool placedHere = false; // a row of this table is on this page
        auto place = [&](quint32 r, quint32 first, quint32 count) {
            m.pieces.push_back(Impl::Piece{Impl::Piece::TableRow, b.index, r, first, count, y, 0});
            y += rowHeight(r, count);
            placedHere = true;
        };
        auto continueOnNextPage = [&](quint32 r) {
            newPage();
            placedHere = false;
            // The header row again on every page it continues on.
            if (t.headerRow && r != head && headH + border < height / 2)
                place(head, 0, m.rows[head].lines);
        };
        for (quint32 r = t.firstRow; r < t.firstRow + t.rows; ++r) {
            const quint32 lines = m.rows[r].lines;
            if (y + rowHeight(r, lines) + border > height && (placedHere || !atTop()))
                continueOnNextPage(r);
            if (y + rowHeight(r, lines) + border <= height) {
                place(r, 0, lines);
                continue;
            }
            // A row higher than a page goes on line by line.
            quint32 first = 0;
            while (first < lines) {
                quint32 count = 0;
                while (first + count < lines && y + rowHeight(r, count + 1) + border <= height)
                    ++count;
                count = std::max<quint32>(count, 1);
                place(r, first, count);
                first += count;
                if (first < lines)
                    continueOnNextPage(r);
            }
        }
        y += border;
    }
    return true;
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
    const qreal lineH = td->fm.lineSpacing();
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
    std::vector<qreal> tops; // the top of each row here, and the bottom of the last
    for (size_t i = from; i < to; ++i) {
        const Piece &pc = pieces[i];
        const Row &row = rows[pc.row];
        const bool header = row.cells && cells[row.firstCell].header;
        const Metrics &rowMt = header ? *th : *td;
        const qreal ls = std::max(rowMt.fm.lineSpacing(), lineH);
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
            const QStringView s = text(c);
            if (s.isEmpty())
                continue;
            use(mt, c.header ? QColor(Qt::white) : QColor(Qt::black));
            const qreal cw = t.width[k];
            const qreal left = x[k] + border + pad;
            const qreal baseline = pc.y + border + pad + mt.fm.ascent();
            const qreal whole = mt.width(s);
            if (whole <= cw) {
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
            p.drawText(QPointF(m.css(kBodyMargin), pc.y + mt.fm.ascent()), para.text.mid(pc.row, pc.first));
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
                for (quint32 k = 0; k < row.cells; ++k)
                    texts << m.text(m.cells[row.firstCell + k]).toString();
                l.text = texts.join(QStringLiteral(" | "));
                l.header = row.cells && m.cells[row.firstCell].header;
                l.table = pc.index;
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
