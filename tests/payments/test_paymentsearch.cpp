// The payment search window: validations, clauses in order, saved values.
#include "PaymentFixture.h"

#include <QRadioButton>

class PaymentSearchTest : public QObject {
    Q_OBJECT
private slots:
    void clausesInTheirOrderWithAndOr();
    void validationsStopInTheirOrder();
    void commaAmountBoundFiltersTheList();
    void emptySearchListsEverything();
    void valuesAndChoiceComeBackAtTheNextOpening();
    void injectionInEverySearchField();
};

namespace {
// Runs one search from the all-members list and hands back the list.
void search(PaymentFixture &fx, const std::function<void(frmSelectPagamenti &)> &fill,
            const std::function<void(frmPagamenti &)> &after = {})
{
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmSelectPagamenti>(fill);
        l.cmdSelect_Click();
        if (after)
            after(l);
    });
}
} // namespace

void PaymentSearchTest::clausesInTheirOrderWithAndOr()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    search(fx, [](frmSelectPagamenti &s) {
        QCOMPARE(s.cboSocio->currentIndex(), -1);
        s.txtDataDa->setText(QStringLiteral("01/01/2026"));
        s.cboSocio->setCurrentIndex(s.cboSocio->findText(QStringLiteral("Rossi Mario")));
        s.cmdOK_Click();
        QVERIFY(!s.isLoaded());
    });
    QCOMPARE(*frmPagamenti::gWherePagamenti,
             QStringLiteral("a.ANAGRAFICAID = 1 AND a.Datapagamento >= ('2026-01-01 00:00:00')"));

    search(fx, [](frmSelectPagamenti &s) {
        s.cmdClear->click();
        // filled in reverse: the clause order is the window's
        s.txtNotePagamento->setText(QStringLiteral("rinnovo"));
        s.txtCausale->setText(QStringLiteral("Quota, Dono"));
        s.txtImportoA->setText(QStringLiteral("100 "));
        s.txtImportoDa->setText(QStringLiteral("12,50"));
        s.txtDataA->setText(QStringLiteral(" 31/12/2026 "));
        s.txtDataDa->setText(QStringLiteral("1/1/26"));
        s.cboSocio->setCurrentIndex(s.cboSocio->findText(QStringLiteral("D'Amico \"Zoë\" Łukasz 日本")));
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    QCOMPARE(*frmPagamenti::gWherePagamenti,
             QStringLiteral("a.ANAGRAFICAID = 70000 OR a.Datapagamento >= ('2026-01-01 00:00:00') OR "
                            "a.Datapagamento <= ('2026-12-31 00:00:00') OR a.Importo >= 12.50  OR a.Importo <= 100  OR "
                            "a.Causale IN ('Quota', 'Dono') OR a.notepagamento Like '%rinnovo%'"));
    QVERIFY(*frmSelectPagamenti::gSelectUseOrPagamenti);
}

void PaymentSearchTest::validationsStopInTheirOrder()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    frmPagamenti::gWherePagamenti->clear();
    search(fx, [&](frmSelectPagamenti &s) {
        auto expect = [&](const QString &message) {
            s.cmdOK_Click();
            QVERIFY(s.isLoaded());
            QCOMPARE(fx.people.last().text, message);
        };
        s.txtDataDa->setText(QStringLiteral("ieri"));
        s.txtDataA->setText(QStringLiteral("domani"));
        s.txtImportoDa->setText(QStringLiteral("molto"));
        s.txtImportoA->setText(QStringLiteral("12.50"));
        expect(QStringLiteral("Invalid start date"));
        s.txtDataDa->setText(QStringLiteral("01/01/2026"));
        expect(QStringLiteral("Invalid end date"));
        s.txtDataA->clear();
        expect(QStringLiteral("Invalid minimum amount"));
        s.txtImportoDa->setText(QStringLiteral("5"));
        expect(QStringLiteral("Invalid maximum amount"));
        s.cmdCancel_Click();
    });
    QCOMPARE(*frmPagamenti::gWherePagamenti, QString()); // nothing applied
    QVERIFY(!*frmSelectPagamenti::gSelectUseOrPagamenti);
}

void PaymentSearchTest::commaAmountBoundFiltersTheList()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "12.49");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "12.5");
    fx.addPayment(3, 70000, "2026-01-12 00:00:00", "80");
    search(
        fx,
        [](frmSelectPagamenti &s) {
            s.txtImportoDa->setText(QStringLiteral("12,50"));
            s.txtImportoA->setText(QStringLiteral("50"));
            s.cmdOK_Click();
        },
        [](frmPagamenti &l) {
            // the total is the total of the rows found
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("2"));
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 12,50 €"));
        });
}

void PaymentSearchTest::emptySearchListsEverything()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "10");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "20");
    search(
        fx,
        [](frmSelectPagamenti &s) {
            s.txtCausale->setText(QStringLiteral("   "));
            s.cmdOK_Click();
        },
        [](frmPagamenti &l) {
            QCOMPARE(*frmPagamenti::gWherePagamenti, QString());
            QCOMPARE(l.MSFlexGrid1->Rows(), 3);
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 30,00 €"));
        });
}

void PaymentSearchTest::valuesAndChoiceComeBackAtTheNextOpening()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "10");
    search(fx, [](frmSelectPagamenti &s) {
        s.cboSocio->setCurrentIndex(1);
        s.txtCausale->setText(QStringLiteral("Quota"));
        s.txtImportoDa->setText(QStringLiteral("1,5"));
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    // Cancel keeps neither the typed values nor a new filter
    const QString filter = *frmPagamenti::gWherePagamenti;
    search(fx, [](frmSelectPagamenti &s) {
        QCOMPARE(s.cboSocio->currentIndex(), 1);
        QCOMPARE(s.txtCausale->text(), QStringLiteral("Quota"));
        QCOMPARE(s.txtImportoDa->text(), QStringLiteral("1,5"));
        QVERIFY(s.optOR->isChecked());
        QVERIFY(!s.optAND->isChecked());
        s.txtCausale->setText(QStringLiteral("altro"));
        s.cmdCancel_Click();
    });
    search(fx, [&](frmSelectPagamenti &s) {
        QCOMPARE(s.txtCausale->text(), QStringLiteral("Quota"));
        // the list opened from the main window has no filter; the values stay
        QCOMPARE(*frmPagamenti::gWherePagamenti, QString());
        s.cmdClear->click();
        QCOMPARE(s.cboSocio->currentIndex(), -1);
        QVERIFY(s.optOR->isChecked()); // Reset leaves the choice
        s.cmdCancel_Click();
    });
    QVERIFY(!filter.isEmpty());
    search(fx, [](frmSelectPagamenti &s) {
        QCOMPARE(s.txtCausale->text(), QString());
        QCOMPARE(s.txtImportoDa->text(), QString());
        s.cmdCancel_Click();
    });
}

void PaymentSearchTest::injectionInEverySearchField()
{
    PaymentFixture fx;
    const QString evil = QStringLiteral("x'); DROP TABLE Pagamenti; --");
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "10", "x''); DROP TABLE Pagamenti; --");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "20", "Quota");
    // The text fields match it literally.
    search(
        fx,
        [&](frmSelectPagamenti &s) {
            s.txtCausale->setText(evil);
            s.txtNotePagamento->setText(evil);
            s.optOR->setChecked(true);
            s.cmdOK_Click();
        },
        [](frmPagamenti &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("1"));
        });
    QVERIFY(
        frmPagamenti::gWherePagamenti->contains(QStringLiteral("a.Causale Like '%x''); DROP TABLE Pagamenti; --%'")));
    // The date and amount fields refuse it.
    const QStringList expected = {"Invalid start date", "Invalid end date", "Invalid minimum amount",
                                  "Invalid maximum amount"};
    for (int field = 0; field < 4; ++field) {
        search(fx, [&](frmSelectPagamenti &s) {
            s.cmdClear->click();
            QLineEdit *boxes[] = {s.txtDataDa, s.txtDataA, s.txtImportoDa, s.txtImportoA};
            boxes[field]->setText(evil);
            s.cmdOK_Click();
            QVERIFY(s.isLoaded());
            QCOMPARE(fx.people.last().text, expected.at(field));
            s.cmdCancel_Click();
        });
    }
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("2"));
}

QTEST_MAIN(PaymentSearchTest)
#include "test_paymentsearch.moc"
