#pragma once
#include "Form.h"
#include "WindowLayout.h"

#include <functional>

class WebBrowser;
class SkinForm;
class QPushButton;
class QLineEdit;
class QComboBox;
class Recordset;

// What the edit and search windows share: the labelled fields, the OK,
// Cancel and print buttons, the hidden browser for the record sheet, the
// preparation at load, the caret placed at activation and the validation
// message.
class RecordWindow : public Form {
    Q_OBJECT
public:
    RecordWindow(const QString &name, const QString &caption);

    void Form_Activate() override;
    void cmdPrint_Click();

    QPushButton *cmdOK, *cmdCancel, *cmdPrint;
    WebBrowser *web;
    SkinForm *OsenXPForm1;

protected:
    // Form preparation, centring and the database, in the window's order.
    void prepare();
    // Shows a validation failure; returns false so a check can return it.
    bool fail(const QString &message);
    // The text of a combo box item from the current row of its query.
    using ItemText = std::function<QString(const Recordset &)>;
    // Fills a combo box from a query of (key, text...); onItem sees each new
    // item's index and key. The item text is the text columns joined by a
    // blank unless itemText says otherwise.
    void fillComboRows(QComboBox *combo, const QString &sql, const std::function<void(int, long long)> &onItem,
                       const ItemText &itemText = {});
    // "surname name" from a query of (key, name, surname).
    static QString surnameThenName(const Recordset &rs);

    // The keyboard starts on the first field that takes it: called at the
    // end of loading, when the fields are filled and enabled as they will be.
    void focusFirstField();

    virtual bool prepareAfterOpen() const { return false; }
    virtual QLineEdit *activateField() const { return nullptr; }

    FieldRows rows;
    // Set when a query that fills the window failed (the failure was shown).
    bool m_loadFailed = false;

private:
    // The fields top to bottom and left to right, then the buttons.
    QList<QWidget *> tabChain() const;
    bool m_tabsOrdered = false;
};
