#include "GridHelpers.h"
#include "FlexGrid.h"
#include "Messages.h"
#include "People.h"
#include "Procedure.h"
#include "Regional.h"
#include "Settings.h"
#include "SqliteComponent.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstring>
#include <functional>
#include <vector>

namespace {
const QString kGeneral = QStringLiteral("basGeneral");
const QString kGeneralCustom = QStringLiteral("basGeneralCustom");

// The characters "A" to "Z" and "[", "\", "]", "^", "_", "`": a blank goes
// before the first of a run of them.
bool isCapitalLike(QChar c)
{
    return c.unicode() >= 65 && c.unicode() <= 96;
}

// Blanks only, as the file names people type are trimmed.
QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Unicode of the bytes 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The Windows-1252 byte of a character, or -1 where the code page has none.
int windows1252Byte(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return int(u);
    if (u > 0xFF && u <= 0xFFFF) {
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == u)
                return 0x80 + i;
        }
    }
    return -1;
}

// The next character of UTF-8 text at p, p moved past it; -1 for a byte
// that starts no valid character (p moved past that byte).
int32_t nextChar(const uchar *&p, const uchar *end)
{
    const uchar b = *p++;
    if (b < 0x80)
        return b;
    int more = 0;
    int32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        more = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        more = 2;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        more = 3;
        c = b & 0x07;
    } else {
        return -1;
    }
    if (end - p < more)
        return -1;
    for (int i = 0; i < more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if ((more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)))
        return -1;
    p += more;
    return c;
}

bool ascii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ULL)
            return false;
    }
    for (; p < end; ++p) {
        if (uchar(*p) >= 0x80)
            return false;
    }
    return true;
}

// Appends UTF-8 text in Windows-1252; false, with out as it was, where a
// character does not fit.
bool appendWindows1252(QByteArray &out, QByteArrayView utf8)
{
    const qsizetype start = out.size();
    const uchar *p = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *end = p + utf8.size();
    while (p < end) {
        const int32_t c = nextChar(p, end);
        const int b = c < 0 ? -1 : windows1252Byte(char32_t(c));
        if (b < 0) {
            out.truncate(start);
            return false;
        }
        out += char(b);
    }
    return true;
}

// The file is in Windows-1252, which spreadsheets and scripts read today,
// when every character fits; otherwise in UTF-8 with a byte order mark, so
// nothing is lost and a spreadsheet still reads it right.
enum class CsvCode { Windows1252, Utf8 };

// One field: the cell in double quotes, its own double quotes doubled. Most
// cells are plain ASCII and go out as the grid holds them.
void appendField(QByteArray &out, QByteArrayView cell, CsvCode code)
{
    out += '"';
    const bool plain = ascii(cell);
    if (cell.indexOf('"') < 0) {
        if (plain || code == CsvCode::Utf8 || !appendWindows1252(out, cell))
            out += cell;
    } else {
        QByteArray doubled;
        doubled.reserve(cell.size() + 4);
        for (char b : cell) {
            if (b == '"')
                doubled += '"';
            doubled += b;
        }
        if (plain || code == CsvCode::Utf8 || !appendWindows1252(out, doubled))
            out += doubled;
    }
    out += '"';
}

// The CSV of a grid, handed on in pieces as it is encoded, so a list of a
// million rows never stands in memory twice; false from the sink stops it.
constexpr qsizetype kCsvPiece = 256 * 1024;

bool writeCsv(const FlexGrid &grid, const std::function<bool(const QByteArray &)> &sink)
{
    QList<int> kept;
    for (int c = 0; c < grid.Cols(); ++c) {
        if (grid.cellUtf8(0, c) != QByteArrayView("IDFIELD"))
            kept << c;
    }
    // Every cell is read once ahead to choose the code; the text a cell
    // cannot be written in (invalid UTF-8 from the register) is made valid.
    CsvCode code = CsvCode::Windows1252;
    bool valid = true;
    QByteArray probe;
    std::vector<QByteArrayView> row(size_t(grid.Cols()));
    for (int r = 0; r < grid.Rows() && (code == CsvCode::Windows1252 || valid); ++r) {
        grid.rowUtf8(r, row.data());
        for (int c : kept) {
            const QByteArrayView cell = row[size_t(c)];
            if (ascii(cell))
                continue;
            probe.resize(0);
            if (code == CsvCode::Windows1252 && appendWindows1252(probe, cell))
                continue;
            code = CsvCode::Utf8;
            const uchar *p = reinterpret_cast<const uchar *>(cell.data());
            const uchar *end = p + cell.size();
            while (p < end && valid)
                valid = nextChar(p, end) >= 0;
        }
    }
    QByteArray piece;
    piece.reserve(kCsvPiece + 4096);
    if (code == CsvCode::Utf8)
        piece += "\xEF\xBB\xBF";
    for (int r = 0; r < grid.Rows(); ++r) {
        grid.rowUtf8(r, row.data());
        for (qsizetype k = 0; k < kept.size(); ++k) {
            if (k > 0)
                piece += ';';
            const QByteArrayView cell = row[size_t(kept.at(k))];
            if (valid)
                appendField(piece, cell, code);
            else
                appendField(piece, QString::fromUtf8(cell).toUtf8(), code);
        }
        piece += "\r\n";
        if (piece.size() >= kCsvPiece) {
            if (!sink(piece))
                return false;
            piece.resize(0);
        }
    }
    return piece.isEmpty() || sink(piece);
}

Proc plainProc(const QString &name)
{
    return Proc{kGeneral, name, Proc::Modulo, Proc::Plain};
}
} // namespace

QString PutSpacesInLabels(const QString &name)
{
    QString out;
    moduleProc(kGeneral, QStringLiteral("PutSpacesInLabels"), [&] {
        out.reserve(name.size() + 4);
        for (qsizetype i = 0; i < name.size(); ++i) {
            const QChar c = name.at(i);
            if (i > 0 && isCapitalLike(c) && !isCapitalLike(name.at(i - 1)))
                out += QLatin1Char(' ');
            out += c;
        }
        // A filler that showed the hourglass sees it end with its first header.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
        }
    });
    return out;
}

bool isBooleanFieldName(const QString &name)
{
    return name == QLatin1String("SuPiazza") || name == QLatin1String("GirataPiena")
        || name == QLatin1String("Trasferibile") || name == QLatin1String("Sbarrato");
}

bool isBooleanField(const Recordset &rs, int field)
{
    bool result = false;
    moduleProc(kGeneral, QStringLiteral("isBooleanField"), [&] { result = isBooleanFieldName(rs.fieldName(field)); });
    return result;
}

namespace {
bool digitsAt(QByteArrayView b, std::initializer_list<int> at, int *out)
{
    int v = 0;
    for (const int i : at) {
        if (b[i] < '0' || b[i] > '9')
            return false;
        v = v * 10 + (b[i] - '0');
    }
    *out = v;
    return true;
}

// The date of a text in a form the lists show, read as Regional::parseDate
// reads it: "dd/mm/yyyy" (or with "." or "-"), "yyyy-mm-dd" and
// "yyyy-mm-dd hh:mm:ss". Invalid for any other text, and for a date or time
// that does not exist, which parseDate then judges.
QDate shownDateOf(QByteArrayView b)
{
    int y = 0, m = 0, d = 0;
    if (b.size() == 10 && b[2] == b[5] && (b[2] == '/' || b[2] == '.' || b[2] == '-')) {
        if (!digitsAt(b, {0, 1}, &d) || !digitsAt(b, {3, 4}, &m) || !digitsAt(b, {6, 7, 8, 9}, &y))
            return {};
        return QDate(y, m, d);
    }
    if ((b.size() != 10 && b.size() != 19) || b[4] != '-' || b[7] != '-')
        return {};
    if (!digitsAt(b, {0, 1, 2, 3}, &y) || !digitsAt(b, {5, 6}, &m) || !digitsAt(b, {8, 9}, &d))
        return {};
    if (b.size() == 19) {
        int h = 0, min = 0, s = 0;
        if ((b[10] != ' ' && b[10] != 'T') || (b[13] != ':' && b[13] != '.') || (b[16] != ':' && b[16] != '.')
            || !digitsAt(b, {11, 12}, &h) || !digitsAt(b, {14, 15}, &min) || !digitsAt(b, {17, 18}, &s)
            || !QTime(h, min, s).isValid())
            return {};
    }
    return QDate(y, m, d);
}
} // namespace

void sortGridByDate(FlexGrid &grid, int column, int mode)
{
    moduleProc(kGeneralCustom, QStringLiteral("sortGridByDate"), [&] {
        // The day numbers are the keys, each read once; a cell that is not a
        // date stops the sort before any row has moved.
        std::vector<double> keys;
        keys.reserve(size_t(std::max(0, grid.Rows() - 1)));
        grid.eachCellOfColumn(column, [&](int, QByteArrayView bytes) {
            // The dates as the lists hold them read off their bytes; any
            // other text as a person may have typed it.
            if (bytes.isEmpty()) {
                keys.push_back(0);
                return;
            }
            if (const QDate shown = shownDateOf(bytes); shown.isValid()) {
                keys.push_back(double(Regional::dayNumber(shown)));
                return;
            }
            const QString cell = QString::fromUtf8(bytes).trimmed();
            if (cell.isEmpty()) {
                keys.push_back(0);
                return;
            }
            const auto date = Regional::parseDate(cell);
            if (!date)
                raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
            keys.push_back(double(Regional::dayNumber(*date)));
        });
        grid.sortByKeys(keys, mode == FlexGrid::NumericDescending);
        // Where the sort on a hidden key column after the last one leaves
        // the current column once that column is gone.
        grid.setCol(grid.Cols() - 1);
    });
}

std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    if (!appendWindows1252(out, text.toUtf8()))
        return std::nullopt;
    return out;
}

QByteArray csvBytes(const FlexGrid &grid)
{
    QByteArray out;
    writeCsv(grid, [&](const QByteArray &piece) {
        out += piece;
        return true;
    });
    return out;
}

bool xMSFlexGrid_Save(FlexGrid &grid, const QString &fileName)
{
    return runProc(plainProc(QStringLiteral("xMSFlexGrid_Save")), [&] {
        // Written beside the target and renamed over it at the end, so a
        // failure leaves neither a half-written file nor a lost old one.
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly)) {
            if (!QFileInfo(fileName).absoluteDir().exists())
                raiseError(ErrNo::PathNotFound, QStringLiteral("Path not found"));
            raiseError(ErrNo::PermissionDenied, QStringLiteral("Permission denied"));
        }
        const bool written = writeCsv(grid, [&](const QByteArray &piece) { return file.write(piece) == piece.size(); });
        if (!written) {
            file.cancelWriting();
            raiseError(57, QStringLiteral("Device I/O error"));
        }
        if (!file.commit())
            raiseError(75, QStringLiteral("Path/File access error"));
    });
}

void esportaCSV(FlexGrid &grid)
{
    runProc(plainProc(QStringLiteral("esportaCSV")), [&] {
        const QString chosen = people().saveFileDialog(QStringLiteral("File CSV|*.csv"));
        if (chosen.isEmpty())
            return;
        QString name = trimBlanks(chosen);
        if (name.right(4).toUpper() != QLatin1String(".CSV"))
            name += QLatin1String(".csv");
        if (FileExists(name)) {
            const int answer = MyMsgBox(QStringLiteral("Il file ") + name
                                            + QStringLiteral(" già esiste. Sei sicuro di volerlo sovrascrivere?"),
                                        4, QStringLiteral("Merivolo"));
            // Only a plain Yes overwrites someone's file.
            if (answer != MsgResult::Yes)
                return;
        }
        if (!xMSFlexGrid_Save(grid, name))
            return;
        MyMsgBox(QStringLiteral("I dati sono stati esportati con successo sul file ") + name, MsgStyle::Exclamation,
                 QStringLiteral("Merivolo"));
    });
}
