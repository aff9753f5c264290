#pragma once
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "frmAnagrafica.h"
#include "frmEditAnagrafica.h"
#include "frmSelectAnagrafica.h"
#include "frmSelectTipologiaPersone.h"

#include <QtTest>
#include <memory>

// One fresh start per test: a new database with three member types and the
// scripted people seam.
struct MemberFixture {
    TestFolder tf;
    ScriptedPeople people;

    MemberFixture()
    {
        tf.exec(QStringLiteral(
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (1, 'Socio', '2026-01-01 00:00:00');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (2, 'Contatto', '2026-01-01 00:00:00');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (40000, 'Benemerito', '2026-01-01 00:00:00');"));
        tf.open();
    }

    void addMember(int id, int type, const QString &surname, const QString &name, const QString &card = QString())
    {
        tf.exec(QStringLiteral("INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, NumeroTessera, Comune, "
                               "DateTimeCreated) VALUES (%1, %2, '%3', '%4', %5, 'Milano', '2026-01-02 10:00:00')")
                    .arg(id)
                    .arg(type)
                    .arg(QString(surname).replace(QLatin1Char('\''), QStringLiteral("''")),
                         QString(name).replace(QLatin1Char('\''), QStringLiteral("''")),
                         card.isEmpty() ? QStringLiteral("NULL")
                                       : QLatin1Char('\'') + QString(card).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'')));
    }

    // Opens a list window modally and runs body on it, then closes it. The
    // windows the list opens run the scripts queued before this call, in
    // order; loadFirst scripts run ahead of the list's own (a list that
    // opens its edit window while loading).
    template <class L>
    void withList(const std::function<void(L &)> &body, int loadFirst = 0)
    {
        people.modal.insert(people.modal.begin() + loadFirst, [body](Form &f) {
            auto &list = static_cast<L &>(f);
            body(list);
            if (list.isLoaded())
                list.cmdClose_Click();
        });
        Instance<L>::get()->showModal();
    }

    // Queues the script for the next modal window of type W.
    template <class W>
    void nextModal(const std::function<void(W &)> &body)
    {
        people.expect<W>(body);
    }

    // Makes a data row current, as a click on it does.
    static void clickRow(ListWindow &list, int row)
    {
        list.MSFlexGrid1->setRow(row);
        list.MSFlexGrid1_MouseDown(1, 0, 0, list.MSFlexGrid1->RowHeight(1) * (row + 0.5));
        list.MSFlexGrid1_MouseUp(1, 0, 0, list.MSFlexGrid1->RowHeight(1) * (row + 0.5));
    }

    // Row of the grid whose column holds text, or -1.
    static int findRow(const FlexGrid &g, int col, const QString &text)
    {
        for (int r = 1; r < g.Rows(); ++r)
            if (g.TextMatrix(r, col) == text)
                return r;
        return -1;
    }

    QString scalar(const QString &sql) const { return tf.scalar(sql); }
};
