#pragma once
#include "ListWindow.h"

#include <QVariant>
#include <QVector>

class QLabel;

// The rows of one stored report, with the total of its amount columns,
// printed and exported from here. It only lists: no add, delete, search or
// edit, and its query is the catalogue's instead of a column list and filter.
class frmReportistica : public ListWindow {
    Q_OBJECT
public:
    frmReportistica();

    QLabel *lblTotaleImporti;

    // Fills the grid with "SELECT" followed directly by the stored text.
    void FillGrid(const QVariant &storedQuery);
    using ListWindow::FillGrid;
    // The sum of the amount cells now in the grid.
    double total() const { return m_total; }
    bool totalShown() const;

protected:
    void beforeLoad() override;
    QString fillQuery() const override;
    QString oneRecordQuery(bool) const override { return QString(); }
    QString headerRename(const QString &name) const override;
    QString cellText(const Recordset &rs, int i) override;
    void beforeFillRows() override;
    void afterWidths() override;
    void afterFill() override;
    QVector<short> printSkipList() const override { return {}; }
    QString printSubtitle() const override;
    QString printTotalLine() const override;
    QString deleteStatement() const override { return QString(); }
    bool executeDelete() override { return false; }
    bool addWhenEmpty() const override { return false; }
    void showSearchWindow() override {}
    void releaseInstance() override;

private:
    enum Kind : signed char { Unknown, Plain, Amount, Average, Flag };
    struct Column {
        Kind kind = Unknown;
        bool key = false; // hidden in the grid, still exported
    };
    QString m_query; // the stored text after "SELECT"
    QString m_title; // the stored title
    QVector<Column> m_columns;
    double m_total = 0;
};
