#pragma once
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ScriptedPeople.h"
#include "SubsystemWindows.h"
#include "TestFolder.h"
#include "WindowFixture.h"
#include "frmAnagrafica.h"
#include "frmEditPagamenti.h"
#include "frmPagamenti.h"
#include "frmSelectPagamenti.h"

#include <QtTest>
#include <functional>

// One fresh start per test: two member types, members with odd names and a
// key above 16 bits, the settings table, and the scripted people seam.
struct PaymentFixture : WindowFixture {
    PaymentFixture()
    {
        registerSubsystemWindows();
        tf.exec(QStringLiteral(
            "create table settings (mnemocode varchar(64) primary key, value text);"
            "insert into settings values ('INTESTAZ', 'Circolo Aurora');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (1, 'Socio ordinario');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (2, 'Contatto');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, DataIscrizione, DataScadenzaIscrizione)"
            " VALUES (1, 1, 'Rossi', 'Mario', '2020-01-15 00:00:00', '2026-12-31 00:00:00');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome) VALUES (2, 2, 'Bianchi', 'Anna');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, DataScadenzaIscrizione)"
            " VALUES (70000, 1, 'D''Amico \"Zoë\"', 'Łukasz 日本', '2025-06-30 00:00:00');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome) VALUES (4, 99, 'Senzatipo', 'Ugo');"));
        openRegister();
    }

    void addPayment(int id, int member, const QString &date, const QString &amount, const QString &reason = QString())
    {
        tf.exec(QStringLiteral("INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, DataPagamento, Importo, Causale, "
                               "DateTimeCreated) VALUES (%1, %2, '%3', %4, %5, '2026-01-01 08:00:00')")
                    .arg(id)
                    .arg(member)
                    .arg(date, amount,
                         reason.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + reason + QLatin1Char('\'')));
    }

    // Opens the payments list as the main window does (all members) and runs
    // body on it; scripts for windows it opens are queued inside body.
    void withPayments(const std::function<void(frmPagamenti &)> &body)
    {
        frmPagamenti::gWherePagamenti = QString(); // the main window clears the filters first
        nextModal<frmPagamenti>([body](frmPagamenti &l) {
            body(l);
            if (l.isLoaded())
                l.cmdClose_Click();
        });
        frmPagamenti::openFor(QString(), 0, QString());
    }

    // Opens the payments list of one member through the member list.
    void withMemberPayments(int memberId, const std::function<void(frmPagamenti &)> &body)
    {
        nextModal<frmAnagrafica>([this, memberId, body](frmAnagrafica &m) {
            FlexGrid &g = *m.MSFlexGrid1;
            for (int r = 1; r < g.Rows(); ++r)
                if (g.TextMatrix(r, 0) == QString::number(memberId))
                    g.setRow(r);
            nextModal<frmPagamenti>([body](frmPagamenti &l) {
                body(l);
                if (l.isLoaded())
                    l.cmdClose_Click();
            });
            m.cmdApriPagamenti->click();
            m.cmdClose_Click();
        });
        Instance<frmAnagrafica>::get()->showModal();
    }
};
