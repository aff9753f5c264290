#pragma once
#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QTableView>
#include <QVector>
#include <functional>
#include <optional>
#include <vector>

class FlexGridModel;
namespace GridSort {
class Keys;
}

// The grid of every list window: text cells addressed by row and column,
// row 0 the one fixed header row (shown as the view's header), a current
// cell with a whole-row selection, a first visible row and column, removal
// of one row and a sort of the data rows on the current column. Widths and
// heights are in twips (15 per pixel). The cells live in a model of our own,
// each row as one record of its cells' UTF-8 bytes, most of them kept in a
// shorter form, turned into text only for the cells someone reads: a million
// rows fill, sort and scroll in a couple of hundred bytes a row.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr, const QString &name = QStringLiteral("MSFlexGrid1"));
    ~FlexGrid() override;

    int Rows() const;
    void setRows(int n); // at least 1: the header row stays
    int Cols() const;
    void setCols(int n);
    int Row() const;    // current row, 0 = header
    void setRow(int r); // raises "Invalid Row value" out of range
    int Col() const;
    void setCol(int c);
    int RowSel() const;
    void setRowSel(int r);
    int ColSel() const;
    void setColSel(int c);
    int TopRow() const; // first visible data row (>= 1)
    void setTopRow(int r);
    int LeftCol() const;
    void setLeftCol(int c);

    QString Text() const; // cell (Row, Col)
    void setText(const QString &t);
    QString TextMatrix(int r, int c) const;
    void setTextMatrix(int r, int c, const QString &t);
    // The cell, UTF-8. A cell the grid keeps in a shorter form is read out
    // into room of the calling thread, which its next cellUtf8 calls reuse
    // in turn: valid until the grid changes or the thread has read four
    // more cells.
    QByteArrayView cellUtf8(int r, int c) const;
    // The Cols() cells of row r, into cells: a pass over whole rows (an
    // export) reads each row once this way. Valid until the grid changes or
    // the calling thread reads another row this way.
    void rowUtf8(int r, QByteArrayView *cells) const;
    // Column c's cells of rows 1..Rows()-1: a pass over a whole column (a
    // sort) reads far faster this way than cell by cell. A long list is read
    // on several threads at once, a stretch of rows each, so visit is called
    // from several threads together (in row order within each) and must be
    // safe to call so. A text is valid for its visit only. The exception of
    // the earliest stretch that threw is thrown here once every stretch
    // has ended.
    void eachCellOfColumn(int c, const std::function<void(int r, QByteArrayView utf8)> &visit) const;

    int ColWidth(int c) const; // twips
    void setColWidth(int c, int twips);
    int RowHeight(int r) const; // twips
    int HeightTwips() const;    // the control's height in twips

    // The sort modes: generic (numbers before texts) or numeric, ascending or
    // descending.
    enum SortMode { GenericAscending = 1, GenericDescending = 2, NumericAscending = 3, NumericDescending = 4 };
    // Sorts rows 1..Rows-1 on column Col (stable) by a SortMode.
    void setSort(int mode);
    // How a cell reads as a number in the sorts: the grid shows numbers the
    // way the register writes them, which only the layer above knows. It is
    // given the cell's UTF-8, so most cells are told apart without a QString.
    // A plain function: it is called for every cell of a sort, on several
    // threads at once.
    using NumberReader = std::optional<double> (*)(QByteArrayView utf8);
    void setNumberReader(NumberReader reader) { m_numberReader = reader; }
    // Puts the data rows in the order of column c's keys, equal keys
    // keeping their order: a sort whose keys someone else reads off the
    // cells. key is called as eachCellOfColumn's visit is; what it throws
    // ends the sort before any row has moved.
    void sortByColumnKeys(int c, const std::function<double(QByteArrayView utf8)> &key, bool descending);
    void RemoveItem(int r);
    bool RowIsVisible(int r) const;

    // Appends one data row in a single step.
    void addRow(const QVector<QString> &cells);
    // Appends one data row cell by cell, the fast path of a fill: the cells
    // of one row, then endRow (which leaves empty the cells not given).
    // Nothing else is asked of the grid between the first cell and endRow.
    void appendCell(QByteArrayView utf8);
    void appendCellText(const QString &text);
    void endRow();
    // Appends one data row of n cells given at once (those past the last
    // column are dropped), the fastest path of a fill.
    void appendRow(const QByteArrayView *cells, int n);
    // Grows or shrinks many rows at once while a list is filled.
    void beginFill();
    void endFill();

    FlexGridModel *gridModel() const { return m_model; }

signals:
    void gridMouseDown(int button, int shift, double xTwips, double yTwips);
    void gridMouseUp(int button, int shift, double xTwips, double yTwips);
    void gridDblClick();
    void gridKeyDown(int keyCode, int shift);
    void gridSelChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Puts the first visible row and column whole at the top left edge.
    void alignToScrollValues();
    // Counts the row just stored and tells the view of it.
    void rowAppended();
    // Every column's rows 1.. in the order of the keys of rows 1..Rows-1.
    void putRowsInOrder(GridSort::Keys &keys, bool descending);
    // Column c's keys given on the pass threads, each cell's to its
    // stretch of the keys: give(keys, stretch, row, text, whether the text
    // lasts); then the rows put in their order.
    template <class Give>
    void sortColumn(int c, bool descending, Give &&give);
    FlexGridModel *m_model;
    // Widths (twips) set while a fill changes the columns: the view only
    // learns of the new columns when the fill ends.
    QHash<int, int> m_fillWidths;
    // The width last set in twips, read back as set while the column keeps
    // the pixel width it gave (a person dragging the border changes it).
    QHash<int, int> m_setWidths;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    NumberReader m_numberReader = nullptr;
};
