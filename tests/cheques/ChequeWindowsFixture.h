#pragma once
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "WindowFixture.h"
#include "frmAssegniEmessi.h"
#include "frmEditAssegniEmessi.h"
#include "frmEditMieiContiCorrenti.h"
#include "frmMieiContiCorrenti.h"
#include "frmSelectAssegniEmessi.h"
#include "frmSelectMieiContiCorrenti.h"

#include <QtTest>
#include <functional>

// The text that must never reach the database as SQL.
inline const QString kInjection = QStringLiteral("x'); DROP TABLE AssegniEmessi; --");

// One fresh start per test for the account and issued cheque windows:
// payees with odd names and keys above 16 bits, the scripted people seam and
// a record of every statement the program ran.
struct ChequeWindowsFixture : WindowFixture {
    ChequeWindowsFixture()
    {
        tf.exec(QStringLiteral(
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (1, 'Socio');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome) VALUES (1, 1, 'Rossi', 'Mario');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome) VALUES (2, 1, 'Bianchi', NULL);"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome)"
            " VALUES (70000, 1, 'D''Amico', 'Zoë');"));
        openRegister();
    }

    static QString quoted(const QString &s)
    {
        return s.isNull()
            ? QStringLiteral("NULL")
            : QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    }

    void addAccount(int id, const QString &description, const QString &bank = QStringLiteral("Banca Alfa"),
                    const QString &holders = QString())
    {
        tf.exec(
            QStringLiteral("INSERT INTO MieiContiCorrenti (CONTOCORRENTEID, Descrizione, Banca, ABI, CAB, NumeroConto, "
                           "Intestatari, DateTimeCreated) VALUES (%1, %2, %3, '01234', '05678', '000123', %4, "
                           "'2026-01-02 10:00:00')")
                .arg(id)
                .arg(quoted(description), quoted(bank), quoted(holders)));
    }

    // flags: "SuPiazza,Trasferibile,Sbarrato" as 0/1 digits, e.g. "101".
    void addCheque(int id, int account, int payee, const QString &number, const QString &amount,
                   const QString &flags = QStringLiteral("000"), const QString &reason = QString())
    {
        tf.exec(
            QStringLiteral("INSERT INTO AssegniEmessi (ASSEGNIEMESSIID, CONTOCORRENTEID, ANAGRAFICAID, Numero, "
                           "DataAssegno, LuogoEmissione, SuPiazza, Trasferibile, Sbarrato, Importo, Causale, "
                           "DateTimeCreated) VALUES (%1, %2, %3, '%4', '2026-02-10 00:00:00', 'Milano', %5, %6, %7, "
                           "%8, %9, '2026-02-10 11:00:00')")
                .arg(id)
                .arg(account)
                .arg(payee)
                .arg(number, flags.mid(0, 1), flags.mid(1, 1), flags.mid(2, 1), amount, quoted(reason)));
    }

    // Makes a data row current and double-clicks it.
    static void openRow(ListWindow &list, int row)
    {
        list.MSFlexGrid1->setRow(row);
        ListWindow::gLastMouseY = list.MSFlexGrid1->RowHeight(1) * (row + 0.5);
        list.MSFlexGrid1_DblClick();
    }

    static QStringList row(const FlexGrid &g, int r)
    {
        QStringList out;
        for (int c = 0; c < g.Cols(); ++c)
            out << g.TextMatrix(r, c);
        return out;
    }

    // Every table of the register is still there.
    void verifyTablesIntact() const
    {
        const QStringList tables = tf.tables();
        for (const char *t : {"Anagrafica", "TipologiaPersone", "Pagamenti", "Girate", "Versamenti",
                              "MieiContiCorrenti", "AssegniEmessi", "reportistica"})
            QVERIFY2(tables.contains(QLatin1String(t), Qt::CaseInsensitive), t);
    }
};
