#pragma once
#include "Controls.h"
#include "Translation.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

// What a person sees and does in a date picker's calendar: opens it with its
// button, reads the month shown and the first day's short name, and clicks
// the given day of that month.
struct CalendarSeen {
    QString month, monday;
};

inline CalendarSeen pickDayInCalendar(DatePicker &picker, int day)
{
    CalendarSeen seen;
    QTimer::singleShot(0, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        auto *cal = popup ? popup->findChild<QCalendarWidget *>() : nullptr;
        QVERIFY(cal);
        seen.month = cal->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"))->text();
        seen.monday = cal->locale().dayName(1, QLocale::ShortFormat);
        auto *view = cal->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
        QVERIFY(view);
        // The days of the month shown sit from the second row on; a day
        // number past the first week is the month's own.
        for (int r = 2; r < view->model()->rowCount(); ++r) {
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                const QModelIndex idx = view->model()->index(r, c);
                if (idx.data().toInt() == day) {
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                                      view->visualRect(idx).center());
                    // A click that does not close the calendar fails the
                    // test instead of leaving it open for ever.
                    QTimer::singleShot(500, popup, [popup] { popup->close(); });
                    return;
                }
            }
        }
        QFAIL("day not in the calendar");
    });
    QTest::mouseClick(picker.findChild<QToolButton *>(), Qt::LeftButton);
    return seen;
}

// A date picker in a window of its own, on a machine whose language is
// machine, holding 15/12/2026; the machine's language comes back after.
struct PickerOnMachine {
    explicit PickerOnMachine(const QLocale &machine)
    {
        QLocale::setDefault(machine);
        installToolkitTranslation();
        picker = new DatePicker(&window, QStringLiteral("dtpData"));
        window.show();
        picker->setText(QStringLiteral("15/12/2026"));
    }
    ~PickerOnMachine() { QLocale::setDefault(before); }
    const QLocale before;
    QWidget window;
    DatePicker *picker = nullptr;
};
