#pragma once
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "WindowFixture.h"
#include "frmAnagrafica.h"
#include "frmEditAnagrafica.h"
#include "frmSelectAnagrafica.h"
#include "frmSelectTipologiaPersone.h"

#include <QtTest>
#include <memory>

// One fresh start per test: a new database with three member types and the
// scripted people seam.
struct MemberFixture : WindowFixture {
    MemberFixture()
    {
        tf.exec(QStringLiteral(
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (1, 'Socio', '2026-01-01 00:00:00');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (2, 'Contatto', '2026-01-01 00:00:00');"
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia, DateTimeCreated) VALUES (40000, 'Benemerito', '2026-01-01 00:00:00');"));
        openRegister();
    }

    void addMember(int id, int type, const QString &surname, const QString &name, const QString &card = QString())
    {
        tf.exec(
            QStringLiteral("INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, NumeroTessera, Comune, "
                           "DateTimeCreated) VALUES (%1, %2, '%3', '%4', %5, 'Milano', '2026-01-02 10:00:00')")
                .arg(id)
                .arg(type)
                .arg(QString(surname).replace(QLatin1Char('\''), QStringLiteral("''")),
                     QString(name).replace(QLatin1Char('\''), QStringLiteral("''")),
                     card.isEmpty() ? QStringLiteral("NULL")
                                    : QLatin1Char('\'') + QString(card).replace(QLatin1Char('\''), QStringLiteral("''"))
                             + QLatin1Char('\'')));
    }

    // Makes a data row current, as a click on it does.
    static void clickRow(ListWindow &list, int row)
    {
        list.MSFlexGrid1->setRow(row);
        list.MSFlexGrid1_MouseDown(1, 0, 0, list.MSFlexGrid1->RowHeight(1) * (row + 0.5));
        list.MSFlexGrid1_MouseUp(1, 0, 0, list.MSFlexGrid1->RowHeight(1) * (row + 0.5));
    }
};
