// The windows as a person meets them: shown on screen and driven by real
// mouse clicks, keys and the close box. The families' wiring (buttons, the
// grid's double-click and Delete key, Escape, focus) is written once in
// their base classes, so these tests cover every window of a family at once.

#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "ScriptedPeople.h"
#include "SubsystemWindows.h"
#include "TestFolder.h"
#include "WindowFixture.h"
#include "frmAnagrafica.h"
#include "frmAssegniEmessi.h"
#include "frmEditAnagrafica.h"
#include "frmEditAssegniEmessi.h"
#include "frmEditGirate.h"
#include "frmEditMieiContiCorrenti.h"
#include "frmEditPagamenti.h"
#include "frmEditTipologiaPersone.h"
#include "frmEditVersamenti.h"
#include "frmMain.h"
#include "frmMieiContiCorrenti.h"
#include "frmPagamenti.h"
#include "frmReportistica.h"
#include "frmSelectAnagrafica.h"
#include "frmSelectAssegniEmessi.h"
#include "frmSelectMieiContiCorrenti.h"
#include "frmSelectPagamenti.h"
#include "frmSelectTipologiaPersone.h"
#include "frmSplashReports.h"
#include "frmTipologiaPersone.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>
#include <functional>
#include <type_traits>

namespace {

// A register with one member with dates and one without, a payment, an
// account, a cheque and a report.
struct Register : WindowFixture {
    Register()
    {
        registerSubsystemWindows();
        tf.exec(QStringLiteral(
            "INSERT INTO TipologiaPersone (TIPOLOGIAID, Tipologia) VALUES (1, 'Socio ordinario');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, DataNascita, DataIscrizione,"
            " DataScadenzaIscrizione) VALUES (1, 1, 'Alfa', 'Anna', '1980-05-01 00:00:00', '2020-01-01 00:00:00',"
            " '2026-12-31 00:00:00');"
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome) VALUES (2, 1, 'Beta', 'Bruno');"
            "INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, DataPagamento, Importo, Causale)"
            " VALUES (1, 1, '2026-02-01 00:00:00', 20, 'Quota');"
            "INSERT INTO MieiContiCorrenti (CONTOCORRENTEID, Descrizione, Banca) VALUES (1, 'Cassa', 'Banca');"
            "INSERT INTO AssegniEmessi (ASSEGNIEMESSIID, CONTOCORRENTEID, ANAGRAFICAID, Numero, DataAssegno, SuPiazza,"
            " Trasferibile, Sbarrato, Importo) VALUES (1, 1, 2, '10', '2026-02-10 00:00:00', 0, 0, 0, 5);"
            "INSERT INTO reportistica (ordine, sqlreport, titolo, numparametri) VALUES"
            " (1, ' Nome, Cognome AS CognomeRagioneSociale FROM Anagrafica', 'Tutti i soci', 0);"));
        openRegister();
    }
};

void show(Form &f)
{
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
}

void click(QWidget *w)
{
    QVERIFY(w);
    // A check box takes the click on its box and caption, not on the empty
    // width a layout gives it.
    const QPoint at = qobject_cast<QCheckBox *>(w) ? QPoint(6, w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

// The middle of the row's first shown cell.
QPoint cellPoint(FlexGrid &g, int row)
{
    int c = 0;
    while (c + 1 < g.Cols() && g.ColWidth(c) == 0)
        ++c;
    g.scrollTo(g.model()->index(row - 1, c));
    return g.visualRect(g.model()->index(row - 1, c)).center();
}

void clickRow(FlexGrid &g, int row)
{
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, cellPoint(g, row));
}

// As the system delivers a double click: press, release, double click, release.
void doubleClickRow(FlexGrid &g, int row)
{
    const QPoint at = cellPoint(g, row);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void pressEscape(Form &f)
{
    QWidget *target = f.focusWidget() ? f.focusWidget() : &f;
    QTest::keyClick(target, Qt::Key_Escape);
}

enum class Closer { Escape, CloseBox, Button };
const char *closerName(Closer c)
{
    return c == Closer::Escape ? "Escape" : c == Closer::CloseBox ? "close box" : "Cancel/Exit";
}

void closeBy(Form &f, Closer c)
{
    switch (c) {
    case Closer::Escape:
        pressEscape(f);
        break;
    case Closer::CloseBox:
        f.close();
        break;
    case Closer::Button: {
        auto *b = f.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
        click(b ? b : f.findChild<QPushButton *>(QStringLiteral("cmdClose")));
        break;
    }
    }
}

// What a person sees of a window: its title, every caption, every field's
// value and whether it is shown.
QStringList looks(const Form &f)
{
    QStringList out{f.windowTitle()};
    for (QWidget *w : f.controls()) {
        QString v = caption(w);
        if (auto *t = qobject_cast<QLineEdit *>(w); t && kindOf(w) == ControlKind::TextBox)
            v += QStringLiteral("|") + t->text();
        if (auto *d = qobject_cast<DatePicker *>(w))
            v += QStringLiteral("|") + d->text() + QStringLiteral("|") + d->TextForToday();
        if (auto *b = qobject_cast<QCheckBox *>(w))
            v += QStringLiteral("|") + QString::number(checkValue(b));
        if (auto *r = qobject_cast<QRadioButton *>(w))
            v += r->isChecked() ? QStringLiteral("|on") : QStringLiteral("|off");
        if (auto *c = qobject_cast<QComboBox *>(w))
            v += QStringLiteral("|") + QString::number(c->currentIndex());
        if (auto *g = qobject_cast<FlexGrid *>(w)) {
            for (int c = 0; c < g->Cols(); ++c)
                v += QStringLiteral("|") + g->TextMatrix(0, c);
            v += QStringLiteral("|row ") + QString::number(g->Row());
        }
        out << w->objectName() + QStringLiteral("=") + v + (w->isVisibleTo(&f) ? QString() : QStringLiteral(" hidden"));
    }
    return out;
}

// Types into every field, ticks every box and picks in every list, with the
// keyboard and the mouse.
void touchEverything(Form &f)
{
    for (QWidget *w : f.controls()) {
        if (!w->isEnabled() || !w->isVisibleTo(&f))
            continue;
        if (auto *t = qobject_cast<QLineEdit *>(w); t && kindOf(w) == ControlKind::TextBox)
            QTest::keyClicks(t, QStringLiteral("Zz9"));
        else if (auto *d = qobject_cast<DatePicker *>(w))
            QTest::keyClicks(d->edit(), QStringLiteral("01/02/2003"));
        else if (auto *b = qobject_cast<QCheckBox *>(w))
            click(b);
        else if (auto *c = qobject_cast<QComboBox *>(w); c && c->count() > 0)
            QTest::keyClick(c, Qt::Key_Down);
    }
    if (auto *orOption = f.findChild<QRadioButton *>(QStringLiteral("optOR")))
        click(orOption);
}

struct Opener {
    const char *name;
    std::function<void()> open; // shows the window modally through its opener
};

template <class W>
Opener direct(const char *name)
{
    return {name, [] {
                if constexpr (std::is_base_of_v<EditWindow, W>)
                    Instance<W>::get()->open(EditRequest{true});
                else
                    Instance<W>::get()->showModal();
            }};
}

// Every edit and search window, opened as its list opens it for a new
// record or a new search.
QVector<Opener> recordWindows()
{
    return {direct<frmEditAnagrafica>("frmEditAnagrafica"),
            direct<frmEditTipologiaPersone>("frmEditTipologiaPersone"),
            direct<frmEditPagamenti>("frmEditPagamenti"),
            direct<frmEditAssegniEmessi>("frmEditAssegniEmessi"),
            direct<frmEditMieiContiCorrenti>("frmEditMieiContiCorrenti"),
            direct<frmEditGirate>("frmEditGirate"),
            direct<frmEditVersamenti>("frmEditVersamenti"),
            direct<frmSelectAnagrafica>("frmSelectAnagrafica"),
            direct<frmSelectTipologiaPersone>("frmSelectTipologiaPersone"),
            direct<frmSelectPagamenti>("frmSelectPagamenti"),
            direct<frmSelectAssegniEmessi>("frmSelectAssegniEmessi"),
            direct<frmSelectMieiContiCorrenti>("frmSelectMieiContiCorrenti")};
}

QVector<Opener> listWindows()
{
    return {direct<frmAnagrafica>("frmAnagrafica"), direct<frmTipologiaPersone>("frmTipologiaPersone"),
            direct<frmPagamenti>("frmPagamenti"), direct<frmMieiContiCorrenti>("frmMieiContiCorrenti"),
            direct<frmAssegniEmessi>("frmAssegniEmessi")};
}

} // namespace

// Opens each window three times for each way of closing it. Every opening
// must look as the first one did; between openings `use` works the window
// as a person would and closes it.
void reopenEach(const QVector<Opener> &windows, const std::function<void(Form &)> &prepare,
                const std::function<void(Form &, Closer)> &use)
{
    for (const Opener &o : windows) {
        for (Closer closer : {Closer::Escape, Closer::CloseBox, Closer::Button}) {
            Register reg;
            QStringList first;
            for (int opening = 0; opening < 3; ++opening) {
                reg.people.modal.push_back([&](Form &f) {
                    show(f);
                    prepare(f);
                    const QStringList seen = looks(f);
                    if (opening == 0)
                        first = seen;
                    else
                        QCOMPARE(seen, first);
                    use(f, closer);
                    QVERIFY2(!f.isLoaded(), closerName(closer));
                });
                o.open();
                if (QTest::currentTestFailed())
                    return qWarning("%s reopened after %s", o.name, closerName(closer));
            }
            QVERIFY(reg.people.modal.empty());
            QVERIFY2(reg.people.messages().isEmpty(), o.name);
        }
    }
}

class WindowEventsTest : public QObject {
    Q_OBJECT

private slots:
    // Whatever closed a window, its next opening looks as its first one did:
    // nothing typed, ticked or chosen before comes back, and captions are
    // translated once.
    void everyOpeningStartsClean()
    {
        reopenEach(
            recordWindows(), [](Form &) {},
            [](Form &f, Closer closer) {
                const QStringList before = looks(f);
                touchEverything(f);
                QVERIFY(looks(f) != before);
                closeBy(f, closer);
            });
    }

    // A list opens with no row chosen, and focus moving into its grid (or Tab
    // inside it) chooses none: Delete asks nothing.
    void listsReopenCleanWithNoRowChosen()
    {
        reopenEach(
            listWindows(),
            [](Form &f) {
                FlexGrid &g = *f.findChild<FlexGrid *>();
                g.setFocus(Qt::TabFocusReason);
                QTest::keyClick(&g, Qt::Key_Delete);
                QTest::keyClick(&g, Qt::Key_Tab); // leaves the grid, walks no cell
                QCOMPARE(g.Row(), 0);
            },
            [](Form &f, Closer closer) {
                FlexGrid &g = *f.findChild<FlexGrid *>();
                clickRow(g, 1);
                QCOMPARE(g.Row(), 1);
                closeBy(f, closer);
            });
    }

    // Editing one member and leaving with Escape does not carry its dates
    // into the next member opened.
    void escapeThenEditAnotherMember()
    {
        Register reg;
        reg.people.expect<frmAnagrafica>([&](frmAnagrafica &l) {
            show(l);
            FlexGrid &g = *l.MSFlexGrid1;
            reg.people.expect<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
                show(e);
                QCOMPARE(e.txtDataNascita->text(), QStringLiteral("01/05/1980"));
                pressEscape(e);
                QVERIFY(!e.isLoaded());
            });
            doubleClickRow(g, 1);
            reg.people.expect<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
                show(e);
                QCOMPARE(e.txtNome->text(), QStringLiteral("Bruno"));
                QCOMPARE(e.txtDataNascita->text(), QString());
                QCOMPARE(e.txtDataIscrizione->text(), QString());
                QCOMPARE(e.txtDataScadenzaIscrizione->text(), QString());
                click(e.cmdPrint);
                click(e.cmdOK);
                QVERIFY(!e.isLoaded());
            });
            doubleClickRow(g, 2);
            click(l.cmdClose);
        });
        Instance<frmAnagrafica>::get()->showModal();
        QVERIFY(reg.people.modal.empty());
        QCOMPARE(reg.tf.scalar("SELECT count(*) FROM Anagrafica WHERE ANAGRAFICAID = 2 AND DataNascita IS NULL"
                               " AND DataIscrizione IS NULL AND DataScadenzaIscrizione IS NULL"
                               " AND DateTimeLastUpdated IS NOT NULL"),
                 QStringLiteral("1"));
        // The record sheet names the fields once translated.
        QCOMPARE(reg.people.previews.size(), 1);
        QVERIFY(reg.people.previews.constFirst().contains(QLatin1String(">Notes<")));
        QVERIFY(!reg.people.previews.constFirst().contains(QLatin1String("Notess")));
    }

    // The list's buttons and keys reach their commands: Delete asks about
    // the row clicked, Search applies what its OK button builds, Print shows
    // the preview.
    void listCommandsThroughTheirButtonsAndKeys()
    {
        Register reg;
        reg.people.expect<frmAnagrafica>([&](frmAnagrafica &l) {
            show(l);
            FlexGrid &g = *l.MSFlexGrid1;
            clickRow(g, 2);
            reg.people.msgAnswers.push_back(MsgResult::No);
            QTest::keyClick(&g, Qt::Key_Delete);
            QCOMPARE(reg.people.messages(), QStringList{"Are you sure to delete the record?"});

            reg.people.expect<frmSelectAnagrafica>([&](frmSelectAnagrafica &s) {
                show(s);
                QTest::keyClicks(s.findChild<QLineEdit *>(QStringLiteral("txtCognome")), QStringLiteral("Bet"));
                click(s.cmdOK);
                QVERIFY(!s.isLoaded());
            });
            click(l.cmdSelect);
            QCOMPARE(*frmAnagrafica::gWhereAnagrafica, QStringLiteral("a.Cognome Like '%Bet%'"));
            QCOMPARE(g.Rows(), 2);
            g.setFocus(Qt::TabFocusReason);
            QCOMPARE(g.Row(), 0);
            click(l.cmdDelete); // no row chosen: nothing asked
            QCOMPARE(reg.people.messages().size(), 1);

            clickRow(g, 1);
            reg.people.msgAnswers.push_back(MsgResult::Yes);
            click(l.cmdDelete);
            QCOMPARE(g.Rows(), 1);

            click(l.cmdPrintGrid);
            QCOMPARE(reg.people.previews.size(), 1);
            click(l.cmdClose);
        });
        Instance<frmAnagrafica>::get()->showModal();
        QCOMPARE(reg.tf.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("1"));
    }

    // The member list never shows less than it holds: after a search made
    // while scrolled fully right and down, it opens at its first row and
    // column; at its end the top row is whole; the wheel turns its pages;
    // the arrow keys choose rows as clicks do; after a delete the member that moved up is the one chosen, highlighted
    // and framed; a long text opens at its start.
    void aListShowsWhatItHolds()
    {
        Register reg;
        QString rows;
        for (int id = 3; id <= 40; ++id)
            rows += QStringLiteral("INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome, Nome, Indirizzo,"
                                   " NoteAnagrafica) VALUES (%1, 1, '%2', 'N%1', 'Via Lunga %1', '%3');")
                        .arg(id)
                        .arg(id == 25 ? QStringLiteral("Zeta") : QStringLiteral("Socio%1").arg(id, 2, 10, QLatin1Char('0')))
                        .arg(QStringLiteral("Inizio ") + QString(300, QLatin1Char('x')) + QStringLiteral(" fine"));
        reg.tf.exec(rows);
        reg.people.expect<frmAnagrafica>([&](frmAnagrafica &l) {
            show(l);
            FlexGrid &g = *l.MSFlexGrid1;
            auto firstRowInView = [&] {
                const QRect cell = g.visualRect(g.model()->index(g.TopRow() - 1, 3));
                return cell.top() == 0 && cell.left() >= 0 && cell.right() < g.viewport()->width()
                       && g.horizontalHeader()->sectionViewportPosition(3) == cell.left();
            };
            g.horizontalScrollBar()->setValue(g.horizontalScrollBar()->maximum());
            g.verticalScrollBar()->setValue(g.verticalScrollBar()->maximum());
            QVERIFY(g.TopRow() > 1);
            QVERIFY(g.visualRect(g.model()->index(g.TopRow() - 1, 20)).top() == 0); // not cut under the header under the header
            reg.people.expect<frmSelectAnagrafica>([&](frmSelectAnagrafica &s) {
                show(s);
                QTest::keyClicks(s.txtCognome, QStringLiteral("Zeta"));
                click(s.cmdOK);
            });
            click(l.cmdSelect);
            QCOMPARE(g.Rows(), 2);
            QCOMPARE(g.LeftCol(), 0);
            QVERIFY(firstRowInView());

            g.verticalScrollBar()->setValue(g.verticalScrollBar()->maximum());
            reg.people.expect<frmSelectAnagrafica>([&](frmSelectAnagrafica &s) {
                show(s);
                click(s.cmdClear);
                QCOMPARE(s.txtCognome->text(), QString());
                click(s.cmdOK);
            });
            click(l.cmdSelect);
            QCOMPARE(g.Rows(), 41);
            QCOMPARE(g.TopRow(), 1);
            QVERIFY(firstRowInView());

            // A wheel notch toward the person over the grid turns a page.
            const QPoint over = g.viewport()->mapTo(&l, g.viewport()->rect().center());
            QWheelEvent notch(over, l.mapToGlobal(over), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&notch);
            QApplication::instance()->notify(&l, &notch);
            QVERIFY(g.TopRow() > 2);
            g.setTopRow(1);

            clickRow(g, 2);
            clickRow(g, 2); // the same cell again: only the release puts the column back
            QCOMPARE(g.Col(), 0);
            QTest::keyClick(&g, Qt::Key_Down);
            QCOMPARE(g.Row(), 3);
            QCOMPARE(g.Col(), 0);
            QCOMPARE(g.ColSel(), g.Cols() - 1);
            const QString movesUp = g.TextMatrix(4, 3);
            reg.people.msgAnswers.push_back(MsgResult::Yes);
            QTest::keyClick(&g, Qt::Key_Delete);
            QCOMPARE(g.Rows(), 40);
            QCOMPARE(g.Row(), 3);
            QCOMPARE(g.TextMatrix(3, 3), movesUp);
            QCOMPARE(g.currentIndex().row(), 2);
            const QModelIndexList chosen = g.selectionModel()->selectedRows();
            QCOMPARE(chosen.size(), 1);
            QCOMPARE(chosen.constFirst().row(), 2);

            reg.people.expect<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
                show(e);
                QVERIFY(e.txtNote->text().startsWith(QLatin1String("Inizio")));
                QCOMPARE(e.txtNote->cursorPosition(), 0);
                click(e.cmdCancel);
            });
            doubleClickRow(g, 3);
            click(l.cmdClose);
        });
        Instance<frmAnagrafica>::get()->showModal();
        QCOMPARE(reg.tf.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("39"));
    }

    // One click on "Also modify member's expiration date" ticks it, and OK
    // then moves the expiry date; a click or Space on a ticked box clears
    // it, and a grey search box becomes ticked.
    void aClickTicksACheckBox()
    {
        Register reg;
        reg.people.expect<frmPagamenti>([&](frmPagamenti &l) {
            show(l);
            reg.people.expect<frmEditPagamenti>([&](frmEditPagamenti &e) {
                show(e);
                QVERIFY(!e.txtNuovaDataScadenza->isVisibleTo(&e));
                click(e.chkModificaDataScadenzaIscrizione);
                QCOMPARE(checkValue(e.chkModificaDataScadenzaIscrizione), 1);
                QVERIFY(e.txtNuovaDataScadenza->isVisibleTo(&e));
                QTest::keyClicks(e.txtNuovaDataScadenza->edit(), QStringLiteral("31/12/2027"));
                click(e.cmdOK);
                QVERIFY(!e.isLoaded());
            });
            doubleClickRow(*l.MSFlexGrid1, 1);
            click(l.cmdClose);
        });
        frmPagamenti::openFor(QString(), 0, QString());
        QCOMPARE(reg.tf.scalar("SELECT DataScadenzaIscrizione FROM Anagrafica WHERE ANAGRAFICAID = 1"),
                 QStringLiteral("2027-12-31 00:00:00"));

        reg.people.expect<frmSelectAssegniEmessi>([&](frmSelectAssegniEmessi &s) {
            show(s);
            click(s.cmdClear);
            QCOMPARE(checkValue(s.chkSbarrato), 2);
            click(s.chkSbarrato);
            QCOMPARE(checkValue(s.chkSbarrato), 1);
            s.chkSbarrato->setFocus();
            QTest::keyClick(s.chkSbarrato, Qt::Key_Space);
            QCOMPARE(checkValue(s.chkSbarrato), 0);
            click(s.chkSbarrato);
            QCOMPARE(checkValue(s.chkSbarrato), 1);
            click(s.cmdCancel);
        });
        Instance<frmSelectAssegniEmessi>::get()->showModal();
    }

    // The report chooser's buttons open the report, which reopens clean.
    void reportWindowReopensClean()
    {
        Register reg;
        QStringList first;
        reg.people.expect<frmSplashReports>([&](frmSplashReports &c) {
            show(c);
            for (Closer closer : {Closer::Escape, Closer::CloseBox, Closer::Button}) {
                reg.people.expect<frmReportistica>([&](frmReportistica &r) {
                    show(r);
                    if (first.isEmpty())
                        first = looks(r);
                    else
                        QCOMPARE(looks(r), first);
                    closeBy(r, closer);
                });
                click(c.cmdShowReport.at(0));
            }
            click(c.cmdClose);
        });
        Instance<frmSplashReports>::get()->showModal();
        QVERIFY(reg.people.modal.empty());
        QVERIFY(first.contains(QStringLiteral("OsenXPForm1=Report - All Members")));
    }

    // Escape does not end the program; the close box does.
    void escapeLeavesTheMainWindowOpen()
    {
        Register reg;
        frmMain main;
        Form::setMainForm(&main);
        main.load();
        QVERIFY(main.isLoaded());
        show(main);
        pressEscape(main);
        QVERIFY(main.isLoaded());
        QVERIFY(main.isVisible());
        main.close();
        QVERIFY(!main.isLoaded());
        Form::setMainForm(nullptr);
    }
};

QTEST_MAIN(WindowEventsTest)
#include "test_windowevents.moc"
