#pragma once
#include "Form.h"
#include "MouseWheel.h"
#include "SqlText.h"

#include <QVector>

class FlexGrid;
class WebBrowser;
class SkinForm;
class QPushButton;
class QLabel;
class Recordset;

// What a list asks of its edit window when it opens it: a new record, or the
// record of the list's SelectedID.
struct EditRequest {
    bool newRecord;
};

// The edit window as its list sees it. The list only opens it; the edit
// window reads the list back (the selection, the grid to refresh), so the
// arrow runs from the edit window to the list alone.
class RecordEditor {
public:
    virtual void open(const EditRequest &request) = 0;

protected:
    ~RecordEditor() = default;
};

// A window that lists the rows of one query in a grid and from which the
// records of one table are added, edited, deleted, searched, printed and
// exported. The family's procedures are written once here; each window gives
// its values through the hooks below and overrides only where it differs.
class ListWindow : public Form, public WheelTarget {
    Q_OBJECT
public:
    // name: the window's name; caption: its Italian title; withExport: the
    // window has the CSV button; filter: the window's WHERE filter, which
    // lasts for the run (none for a window that is not searched).
    ListWindow(const QString &name, const QString &caption, bool withExport, RunState<QString> *filter);

    // The key of the record acted on.
    double SelectedID = 0;
    void ClearGrid();
    void FillGrid();
    void UpdateGridRow();
    void AddGridRow();
    void MouseWheel(int MouseKeys, int Rotation, int Xpos, int Ypos) override;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdSelect_Click();
    void cmdPrintGrid_Click();
    void cmdEsportaDati_Click();
    void cmdClose_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_KeyDown(int KeyCode, int Shift);
    void MSFlexGrid1_MouseDown(int Button, int Shift, double X, double Y);
    void MSFlexGrid1_MouseUp(int Button, int Shift, double X, double Y);
    void MSFlexGrid1_SelChange();

    bool sortFlag() const { return m_sortFlag; }

    // The window's WHERE filter, without the word WHERE; written by its search
    // window, cleared by the main window before it opens a list.
    const QString &filter() const;
    void setFilter(const QString &f);

    // The Y of the last press on a list grid that had data rows, and that
    // grid's LeftCol at the press: one pair for all list windows.
    static inline RunState<QVariant> gLastMouseY;
    static inline RunState<double> gSavedLeftCol{0.0};

    FlexGrid *MSFlexGrid1;
    QPushButton *cmdAdd, *cmdDelete, *cmdSelect, *cmdPrintGrid, *cmdClose, *cmdEsportaDati = nullptr;
    WebBrowser *web;
    SkinForm *OsenXPForm1;

    // The column width rule: w is the widest text in twips.
    static int columnWidthFor(double widestTwips);
    // The filter appended to a query: " AND (f)" after a WHERE, else " WHERE f".
    static QString withFilter(const QString &query, const QString &filter);

protected:
    // --- what each window supplies ---
    virtual QString fillQuery() const = 0;                  // before the filter
    virtual QString queryTail() const { return QString(); } // after the filter
    virtual QString oneRecordQuery(bool forAdd) const = 0;
    // Header renames tested after "Expr100*" and before "*ID"; "" for none.
    virtual QString headerRename(const QString &) const { return QString(); }
    // The text of field i of the current row while filling.
    virtual QString cellText(const Recordset &rs, int i);
    // Whether field i shows as stored, with no rule of cellText: its cells
    // are copied into the grid as they come, without a text conversion.
    virtual bool cellsAsStored(const Recordset &, int) const { return false; }
    virtual void beforeFillRows() {}
    virtual void afterWidths() {}
    virtual void afterFill() {} // closing step (total labels)
    virtual QVector<short> printSkipList() const = 0;
    virtual QString printSubtitle() const = 0;
    virtual QString printTotalLine() const { return QString(); }
    // Delete: the refusal check and its text, and the statements.
    virtual bool openDbBeforeCheck() const { return true; }
    virtual Exists dependentRows() const { return Exists::No; }
    virtual QString refusalText() const { return QString(); }
    virtual QString deleteStatement() const = 0;
    // Runs the delete, inside the transaction the list opened for it;
    // false when it did not take effect.
    virtual bool executeDelete();
    virtual void afterDelete() {}
    virtual bool addWhenEmpty() const { return true; }
    // The window's edit window (none for a list that only lists).
    virtual RecordEditor *editWindow() const { return nullptr; }
    virtual void showSearchWindow() = 0;
    virtual void releaseInstance() = 0;
    virtual void beforeLoad() {} // window-specific steps ahead of the family's

    QString keyText() const;
    // A line at the foot of the window (a total): Form_Resize keeps it below
    // the grid.
    void setFooter(QLabel *label) { m_footer = label; }

private:
    // The last fill failed (its message shown): the grid's emptiness says
    // nothing about the table.
    bool m_fillFailed = false;

    void setHeaders(const Recordset &rs, const QString &query);
    void setColumnWidths();
    void fitHeaders();
    // Opens the edit window for a new record or the record of SelectedID.
    void openEditWindow(bool newRecord);
    bool m_sortFlag = false;
    RunState<QString> *m_filter;
    QLabel *m_footer = nullptr;
};
