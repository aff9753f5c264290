#pragma once
#include "RunState.h"

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

// The report catalogue in memory: row i of table reportistica (in "ordine"
// order) lies in cells (i, 0, 0) = sqlreport, (i, 1, 0) = titolo,
// (i, 1, 1) = numparametri, (i, 1, 2..3) = tipopar1..2, (i, 1, 4..5) =
// promptpar1..2. Values are kept as the database gives them (Null stays
// Null). An index outside (0..35, 0..1, 0..5) raises "Subscript out of range".
class ReportCatalogue {
public:
    static constexpr int kRows = 36;
    // Empty at the start of every run (RunState.h).
    ReportCatalogue()
    {
        onResetRunState([this] { clear(); });
    }
    QVariant &operator()(int row, int part, int item);
    const QVariant &operator()(int row, int part, int item) const;
    // Every cell back to Null.
    void clear();

private:
    static void check(int row, int part, int item);
    QVariant m_cells[kRows][2][6];
};

inline ReportCatalogue gReports;
// The highest report button index of the chooser.
inline RunState<int> gReportButtonCount{0};
// The catalogue row the report window shows.
inline RunState<int> gCurrentReport{0};

// Parameter type keywords, compared exactly.
namespace ReportParam {
inline const QString DataMese = QStringLiteral("DATAMESE");
inline const QString DataPrecisa = QStringLiteral("DATAPRECISA");
inline const QString DueDatePrecise = QStringLiteral("DUEDATEPRECISE");
inline const QString Stringa = QStringLiteral("STRINGA");
inline const QString Numerico = QStringLiteral("NUMERICO");
} // namespace ReportParam

// A placeholder ("[P1]", "[P1+1M]", ...) and the text that replaces it.
using PlaceholderFill = QPair<QString, QString>;

// Writes the fills into the stored query in one pass from left to right.
// Text that a fill has put in is never scanned again, so an answer that
// itself reads "[P2]" stays as typed. Placeholders without a fill, and
// texts that differ in case ("[p1]"), stay as they are.
QString fillPlaceholders(const QString &sql, const QVector<PlaceholderFill> &fills);

// A text answer as an SQL string body: every single quote doubled, so the
// answer cannot end the quoted literal the stored query puts it in.
QString sqlStringBody(const QString &answer);

// A number answer as an SQL number, read as the register writes numbers
// ("12,50" -> "12.50", "1.234" -> "1234"); "" when not a number.
QString sqlNumber(const QString &answer);

// The English prompt phrases put in place of the Italian ones.
QString translatePromptPhrases(const QString &prompt);
