#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

class FlexGrid;
class Recordset;

// Readable header of a database column name: "DataScadenzaIscrizione" ->
// "Data Scadenza Iscrizione".
QString PutSpacesInLabels(const QString &name);
// True for the flag columns "SuPiazza", "GirataPiena", "Trasferibile",
// "Sbarrato" (field i of the recordset).
bool isBooleanField(const Recordset &rs, int field);
bool isBooleanFieldName(const QString &name);
// Sorts the data rows on the dates of a column; mode 3 ascending, 4
// descending. A cell that is not a date leaves the grid exactly as it was
// (the error is reported).
void sortGridByDate(FlexGrid &grid, int column, int mode);
// Asks for a file name and writes the grid there as CSV.
void esportaCSV(FlexGrid &grid);
// Writes the grid as CSV; false when the file could not be written (then
// the failure has been reported and no half-written file is left).
bool xMSFlexGrid_Save(FlexGrid &grid, const QString &fileName);
// The CSV bytes of a grid (";" separated, every field quoted, CR LF after
// every line, IDFIELD columns left out): Windows-1252 when every character
// fits it, else UTF-8 after a byte order mark.
QByteArray csvBytes(const FlexGrid &grid);
// Text in Windows-1252, the code page the register's users open CSV files
// with; none when a character does not fit it.
std::optional<QByteArray> toWindows1252(QStringView text);
