#pragma once
#include "Database.h"
#include "Edition.h"
#include "FlexGrid.h"
#include "ListWindow.h"
#include "RecordWindow.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"

#include <QPushButton>
#include <QtTest>
#include <functional>

// What a window test starts from: a new register of its own, the scripted
// people seam, and every statement the program sends, as sent. A fixture
// adds its rows to tf, then calls openRegister().
struct WindowFixture {
    TestFolder tf;
    ScriptedPeople people;
    QStringList statements;

    WindowFixture() = default;
    ~WindowFixture()
    {
        if (DbConnection *c = dbConnection())
            c->setObserver({});
    }
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    // Opens the program's connection on the register and starts recording.
    void openRegister()
    {
        tf.open();
        dbConnection()->setObserver([this](const QString &sql) { statements << sql; });
    }

    // Statements that start with the given words, in the order they ran.
    QStringList ran(const QString &start) const
    {
        QStringList out;
        for (const QString &s : statements)
            if (s.startsWith(start, Qt::CaseInsensitive))
                out << s;
        return out;
    }

    // Queues the script of the next modal window, which must be a W.
    template <class W>
    void nextModal(const std::function<void(W &)> &body)
    {
        people.expect<W>(body);
    }

    // Opens a list window modally and runs body on it, then closes it. The
    // windows the list opens run the scripts queued before this call, in
    // order; loadFirst scripts run ahead of the list's own (a list that
    // opens its edit window while loading).
    template <class L>
    void withList(const std::function<void(L &)> &body, int loadFirst = 0)
    {
        people.modal.insert(people.modal.begin() + loadFirst, [body](Form &f) {
            auto *list = qobject_cast<L *>(&f);
            if (!list) {
                QTest::qFail(qPrintable(QStringLiteral("unexpected window ") + f.objectName()), __FILE__, __LINE__);
                return;
            }
            body(*list);
            if (list->isLoaded())
                list->cmdClose_Click();
        });
        Instance<L>::get()->showModal();
    }

    // Presses OK on a record window and expects it refused: one message more,
    // with this text, the exclamation icon and the edition's title, and the
    // window still open with what was typed.
    void expectRefused(RecordWindow &w, const QString &message)
    {
        const qsizetype before = people.prompts.size();
        w.cmdOK->click();
        QVERIFY(w.isLoaded());
        QCOMPARE(people.prompts.size(), before + 1);
        QCOMPARE(people.last().text, message);
        QCOMPARE(people.last().style, int(MsgStyle::Exclamation));
        QCOMPARE(people.last().title, productTitle());
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
