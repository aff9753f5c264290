#pragma once
#include "RecordWindow.h"

#include "RunState.h"

#include <QVariant>
#include <QVector>

class ListWindow;
class WebBrowser;
class SkinForm;
class QPushButton;
class QRadioButton;
class QLineEdit;
class QComboBox;
class QCheckBox;

// The window that narrows a list: it turns what the user typed into the
// list's WHERE filter, refills the list and remembers the values for the
// next opening in the run. Written once; each window gives its clauses.
class SearchWindow : public RecordWindow {
    Q_OBJECT
public:
    struct Clause {
        // AmountBound: "column" + the amount as typed with a decimal point + " ".
        enum Kind { ComboKey, Text, DateFrom, DateTo, Flag, Custom, AmountBound };
        QWidget *control;
        Kind kind;
        QString column;           // "a.Nome", "a.TIPOLOGIAID = ", "a.datanascita", ...
        QString tail = QString(); // written after a flag's True or False
    };

    // What a search window remembers for the run, in members of its own
    // under the names of its window: the values saved by the last OK or Reset
    // (one per control, from index 1), whether they have been sized, and on
    // the windows that offer AND / OR whether OR was chosen last.
    struct Memory {
        RunState<QVector<QVariant>> &saved;
        RunState<bool> &sized;
        RunState<bool> *useOr = nullptr;
    };

    SearchWindow(const QString &name, const QString &caption, const Memory &memory);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdClear_Click();

    QPushButton *cmdClear;
    QRadioButton *optAND = nullptr, *optOR = nullptr;

    // The filter the window's current values give.
    QString buildFilter();

protected:
    virtual ListWindow *list() const = 0;
    virtual void fillCombos() {}
    virtual bool validate() { return true; }
    // The text of a Custom clause; empty when its control holds nothing.
    virtual QString customClause(const Clause &) { return QString(); }
    // The value Reimposta gives the flag boxes (2: the flag is not searched).
    virtual int clearedFlagValue() const { return 0; }
    virtual void releaseInstance() = 0;

    void addClause(QWidget *control, Clause::Kind kind, const QString &column, const QString &tail = QString());
    // Fills a combo box from a query of (key, text), with nothing selected.
    void fillCombo(QComboBox *combo, const QString &sql, const ItemText &itemText = {});

    QVector<Clause> m_clauses;

private:
    QString clauseText(const Clause &c);
    bool m_badBound = false;
    Memory m_memory;
    void saveValues();
    void restoreValues();
};
