#pragma once
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ReportCatalogue.h"
#include "ScriptedPeople.h"
#include "SubsystemWindows.h"
#include "TestFolder.h"
#include "WindowFixture.h"
#include "frmReportistica.h"
#include "frmSplashReports.h"

#include <QPushButton>
#include <QtTest>
#include <functional>

// One fresh start per test: a few members and payments, an empty report
// catalogue, the scripted people seam, and a record of every statement.
struct ReportFixture : WindowFixture {
    ReportFixture()
    {
        registerSubsystemWindows();
        gErrorTrapping = true;
        tf.exec(
            QStringLiteral("create table settings (mnemocode varchar(64) primary key, value text);"
                           "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (1, 'Socio ordinario');"
                           "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, DataScadenzaIscrizione)"
                           " VALUES (1, 1, 'Rossi', 'Mario', '2026-12-31 00:00:00');"
                           "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, DataScadenzaIscrizione)"
                           " VALUES (2, 1, 'O''Neil', 'Anna', '2025-06-30 00:00:00');"
                           "INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, DataPagamento, Importo, Causale)"
                           " VALUES (1, 1, '2011-03-01 00:00:00', 20, 'Quota');"
                           "INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, DataPagamento, Importo, Causale)"
                           " VALUES (2, 2, '2011-03-31 00:00:00', 1234.5, 'Dono');"
                           "INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, DataPagamento, Importo, Causale)"
                           " VALUES (3, 1, '2011-04-01 00:00:00', 3.75, 'Quota');"));
        openRegister();
    }

    static QString quoted(const QVariant &v)
    {
        if (v.isNull())
            return QStringLiteral("NULL");
        return QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
    }

    // One catalogue row; a null QVariant gives a database Null.
    void addReport(int ordine, const QVariant &sql, const QVariant &title, const QVariant &count = 0,
                   const QVariant &type1 = QString(), const QVariant &type2 = QString(),
                   const QVariant &prompt1 = QString(), const QVariant &prompt2 = QString())
    {
        tf.exec(QStringLiteral("INSERT INTO reportistica VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                    .arg(ordine)
                    .arg(quoted(sql), quoted(title), quoted(count), quoted(type1), quoted(type2), quoted(prompt1),
                         quoted(prompt2)));
    }

    using ReportBody = std::function<void(frmReportistica &)>;

    // Opens the chooser as the main window does and runs body on it; each
    // report window that body opens runs the next of reports, then Exit
    // (unless the script closed it already).
    void withChooser(const std::function<void(frmSplashReports &)> &body, const QList<ReportBody> &reports = {})
    {
        people.expect<frmSplashReports>([body](frmSplashReports &c) {
            body(c);
            if (c.isLoaded()) {
                c.cmdClose->click();
                QVERIFY2(!c.isLoaded(), "Close left the chooser open");
            }
        });
        for (const ReportBody &r : reports) {
            people.expect<frmReportistica>([r](frmReportistica &w) {
                r(w);
                if (w.isLoaded())
                    w.cmdClose_Click();
            });
        }
        Instance<frmSplashReports>::get()->showModal();
    }

    // Opens the chooser, presses button n with the given answers and runs
    // body on the report window.
    void runReport(int n, const QStringList &answers, const ReportBody &body)
    {
        for (const QString &a : answers)
            people.inputAnswers.push_back(a);
        withChooser([n](frmSplashReports &c) { c.cmdShowReport.at(n)->click(); }, {body});
    }

    QString lastQuery() const { return reportQueries().value(reportQueries().size() - 1); }

    // The report queries that ran (statements that begin with "SELECT" in
    // capitals, as the report window sends them).
    QStringList reportQueries() const
    {
        QStringList out;
        for (const QString &s : statements)
            if (s.startsWith(QLatin1String("SELECT")) && !s.contains(QLatin1String("settings"), Qt::CaseInsensitive))
                out << s;
        return out;
    }

    QStringList inputPrompts() const
    {
        QStringList out;
        for (const auto &p : people.prompts)
            if (p.kind == QLatin1String("input"))
                out << p.text;
        return out;
    }
};
