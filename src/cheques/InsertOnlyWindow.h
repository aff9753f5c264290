#pragma once
#include "EditWindow.h"

// An edit window that only ever adds a row for the payment selected in the
// payments list: it loads no record, never updates, and leaves that list
// exactly as it was.
class InsertOnlyWindow : public EditWindow {
    Q_OBJECT
public:
    using EditWindow::EditWindow;

protected:
    QString recordQuery() const override { return QString(); }
    void loadRecord(const Recordset &) override {}
    // Whatever the insert flag says, the window adds.
    QString updateSql() const override { return insertSql(); }
    void refreshList(bool) override {}
};
