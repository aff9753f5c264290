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

char windows1252Byte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    if (u > 0xFF) {
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == u)
                return char(0x80 + i);
        }
    }
    return '?';
}

// One field: the cell in double quotes, its own double quotes doubled. Most
// cells are plain ASCII and go out as the grid holds them.
void appendField(QByteArray &out, QByteArrayView utf8)
{
    out += '"';
    bool ascii = true;
    bool quotes = false;
    for (char b : utf8) {
        ascii = ascii && (uchar(b) < 0x80);
        quotes = quotes || b == '"';
    }
    if (ascii && !quotes) {
        out += utf8;
    } else if (ascii) {
        for (char b : utf8) {
            if (b == '"')
                out += '"';
            out += b;
        }
    } else {
        QString cell = QString::fromUtf8(utf8);
        cell.replace(QLatin1Char('"'), QLatin1String("\"\""));
        out += toWindows1252(cell);
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
    QByteArray piece;
    piece.reserve(kCsvPiece + 4096);
    for (int r = 0; r < grid.Rows(); ++r) {
        for (qsizetype k = 0; k < kept.size(); ++k) {
            if (k > 0)
                piece += ';';
            appendField(piece, grid.cellUtf8(r, kept.at(k)));
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

void sortGridByDate(FlexGrid &grid, int column, int mode)
{
    moduleProc(kGeneralCustom, QStringLiteral("sortGridByDate"), [&] {
        // The day numbers are the keys, each read once; a cell that is not a
        // date stops the sort before any row has moved.
        std::vector<double> keys;
        keys.reserve(size_t(std::max(0, grid.Rows() - 1)));
        for (int r = 1; r < grid.Rows(); ++r) {
            const QString cell = grid.TextMatrix(r, column).trimmed();
            if (cell.isEmpty()) {
                keys.push_back(0);
                continue;
            }
            const auto date = Regional::parseDate(cell);
            if (!date)
                raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
            keys.push_back(double(Regional::dayNumber(*date)));
        }
        grid.sortByKeys(keys, mode == FlexGrid::NumericDescending);
        // Where the sort on a hidden key column after the last one leaves
        // the current column once that column is gone.
        grid.setCol(grid.Cols() - 1);
    });
}

QByteArray toWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is one unknown character.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out += windows1252Byte(c.unicode());
    }
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
