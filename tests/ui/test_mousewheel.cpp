#include "FlexGrid.h"
#include "MouseWheel.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

namespace {
struct Call {
    int keys, rotation, x, y;
};

// A list window in small: a grid, a label beside it, a combo box below.
class ListLike : public QWidget, public WheelTarget {
public:
    ListLike()
    {
        resize(500, 400);
        grid = new FlexGrid(this);
        grid->setGeometry(10, 10, 300, 200);
        label = new QLabel(QStringLiteral("Totale"), this);
        label->setGeometry(350, 10, 100, 30);
        combo = new QComboBox(this);
        combo->addItems({"uno", "due", "tre"});
        combo->setGeometry(10, 300, 150, 25);
        grid->beginFill();
        grid->setCols(2);
        for (int i = 1; i <= 100; ++i)
            grid->addRow({QString::number(i), QStringLiteral("riga")});
        grid->endFill();
    }
    void MouseWheel(int MouseKeys, int Rotation, int Xpos, int Ypos) override
    {
        calls.push_back({MouseKeys, Rotation, Xpos, Ypos});
        scrollFlexGridsAt(this, MouseKeys, Rotation, Xpos, Ypos);
    }
    FlexGrid *grid;
    QLabel *label;
    QComboBox *combo;
    QList<Call> calls;
    int ownWheel = 0;

protected:
    void wheelEvent(QWheelEvent *e) override
    {
        ++ownWheel;
        e->ignore();
    }
};

// One wheel notch over a point of a widget, as the system delivers it.
bool turn(QWidget *over, QPoint at, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier, bool vertical = true)
{
    QWheelEvent we(at, over->mapToGlobal(at), QPoint(), vertical ? QPoint(0, delta) : QPoint(delta, 0), Qt::NoButton,
                   mods, Qt::NoScrollPhase, false);
    // Only a wheel that comes from the system travels up to the window.
    QSpontaneKeyEvent::setSpontaneous(&we);
    QApplication::instance()->notify(over, &we);
    return we.isAccepted();
}
} // namespace

class TestMouseWheel : public QObject {
    Q_OBJECT
private slots:
    void pageArithmetic()
    {
        // A 100-row grid showing 19 rows a page.
        QCOMPARE(scrolledTopRow(41, 100, 19, 120), 22);
        QCOMPARE(scrolledTopRow(22, 100, 19, 120), 3);
        QCOMPARE(scrolledTopRow(3, 100, 19, 120), 1);
        QCOMPARE(scrolledTopRow(1, 100, 19, 240), 1);
        QCOMPARE(scrolledTopRow(41, 100, 19, -120), 60);
        QCOMPARE(scrolledTopRow(90, 100, 19, -120), 99);
        QCOMPARE(scrolledTopRow(99, 100, 19, -120), 99);
    }

    void aNotchTurnsOneVisiblePage()
    {
        FlexGrid g;
        g.resize(300, 200);
        g.beginFill();
        for (int i = 1; i <= 100; ++i)
            g.addRow({QString::number(i)});
        g.endFill();
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));

        int lastVisible = 1;
        while (g.RowIsVisible(lastVisible + 1))
            ++lastVisible;
        QVERIFY(lastVisible > 3);
        ScrollFlexGrid(g, 0, -120, 0, 0);
        // No row is skipped: the row below the page comes up at the top at most.
        QVERIFY(g.TopRow() > 2 && g.TopRow() <= lastVisible + 1);
        const int page = g.TopRow() - 1;
        ScrollFlexGrid(g, 0, -120, 0, 0);
        QCOMPARE(g.TopRow(), 1 + 2 * page);
        ScrollFlexGrid(g, 0, 120, 0, 0);
        ScrollFlexGrid(g, 0, 120, 0, 0);
        ScrollFlexGrid(g, 0, 120, 0, 0);
        QCOMPARE(g.TopRow(), 1);
        for (int i = 0; i < 20; ++i)
            ScrollFlexGrid(g, 0, -120, 0, 0);
        QVERIFY(g.RowIsVisible(100));
    }

    void pointOverWindowIncludesTheEdges()
    {
        ListLike w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint tl = w.label->mapToGlobal(QPoint(0, 0));
        const int right = tl.x() + w.label->width(), bottom = tl.y() + w.label->height();
        QVERIFY(isPointOverWindow(w.label, tl.x(), tl.y()));
        QVERIFY(isPointOverWindow(w.label, right, bottom));
        QVERIFY(!isPointOverWindow(w.label, right + 1, tl.y()));
        QVERIFY(!isPointOverWindow(w.label, tl.x() - 1, tl.y()));
        QVERIFY(!isPointOverWindow(w.label, tl.x(), bottom + 1));
        QVERIFY(isPointOverWindow(nullptr, 0, 0));
        QVERIFY(!isPointOverWindow(nullptr, 1, 0));
    }

    void theHookedWindowScrollsTheGridUnderThePointer()
    {
        ListLike w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        HookMouseWheel(&w);
        HookMouseWheel(&w); // a second hook changes nothing

        const QPoint at = w.grid->viewport()->rect().center();
        turn(w.grid->viewport(), at, -120, Qt::ControlModifier);
        QCOMPARE(w.calls.size(), 1);
        QCOMPARE(w.calls.at(0).keys, 8);
        QCOMPARE(w.calls.at(0).rotation, -120);
        const QPoint g = w.grid->viewport()->mapToGlobal(at);
        QCOMPARE(QPoint(w.calls.at(0).x, w.calls.at(0).y), g);
        QVERIFY(w.grid->TopRow() > 1);
        // The window's own handling got the notch as well.
        QCOMPARE(w.ownWheel, 1);

        const int top = w.grid->TopRow();
        turn(w.grid->viewport(), at, 120);
        QCOMPARE(w.calls.at(1).keys, 0);
        QCOMPARE(w.calls.at(1).rotation, 120);
        QVERIFY(w.grid->TopRow() < top);

        // Over the window but outside every grid: called, nothing scrolls.
        w.grid->setTopRow(20);
        turn(w.label, QPoint(5, 5), -120);
        QCOMPARE(w.calls.size(), 3);
        QCOMPARE(w.grid->TopRow(), 20);
        QCOMPARE(w.ownWheel, 3);

        // A sideways wheel turns no page.
        turn(w.grid->viewport(), at, -120, Qt::NoModifier, false);
        QCOMPARE(w.calls.size(), 3);
        QCOMPARE(w.grid->TopRow(), 20);
    }

    void unhookingRestoresTheWindow()
    {
        ListLike w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!isHooked(&w));
        UnhookMouseWheel(&w); // not hooked: nothing happens
        HookMouseWheel(&w);
        QVERIFY(isHooked(&w));
        QVERIFY(w.property("PrevWndProc").isValid());
        UnhookMouseWheel(&w);
        QVERIFY(!isHooked(&w));
        QVERIFY(!w.property("PrevWndProc").isValid());
        QVERIFY(!w.dynamicPropertyNames().contains("PrevWndProc"));
        turn(w.grid->viewport(), w.grid->viewport()->rect().center(), -120);
        QVERIFY(w.calls.isEmpty());
        QCOMPARE(w.grid->TopRow(), 1);
        QCOMPARE(w.ownWheel, 1);
        // It can be hooked again on the next load.
        HookMouseWheel(&w);
        turn(w.grid->viewport(), w.grid->viewport()->rect().center(), -120);
        QCOMPARE(w.calls.size(), 1);
    }

    void aHookedControlHandsTheWheelToItsWindow()
    {
        ListLike w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        HookMouseWheel(w.combo);
        w.grid->setTopRow(20);
        // The wheel reaches the combo while the pointer is over the grid.
        const QPoint overGrid = w.combo->mapFromGlobal(w.grid->viewport()->mapToGlobal(QPoint(20, 20)));
        QVERIFY(turn(w.combo, overGrid, 120));
        QCOMPARE(w.calls.size(), 1);
        QVERIFY(w.grid->TopRow() < 20);
        QCOMPARE(w.combo->currentIndex(), 0);

        // Over the combo itself the combo keeps it.
        const int calls = int(w.calls.size());
        turn(w.combo, w.combo->rect().center(), -120);
        QCOMPARE(int(w.calls.size()), calls);
        UnhookMouseWheel(w.combo);
    }
};

QTEST_MAIN(TestMouseWheel)
#include "test_mousewheel.moc"
