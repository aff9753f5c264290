#include "MouseWheel.h"
#include "FlexGrid.h"
#include "RuntimeError.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPointer>
#include <QVariant>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

namespace {
// The property a hooked window carries while it is hooked; it holds the
// filter that catches the wheel for it.
constexpr char kHookProperty[] = "PrevWndProc";

// A step that fails is skipped and the next one runs.
template <class F>
void skipOnError(F &&step)
{
    try {
        step();
    } catch (const RuntimeError &) {
    }
}

QObject *hookOf(const QWidget *window)
{
    return window ? window->property(kHookProperty).value<QObject *>() : nullptr;
}

// The screen rectangle as (left, top, right, bottom), right and bottom
// being the first pixel past the widget, as the window rectangles the
// scrolling was written against.
QRect screenRect(const QWidget *w)
{
    if (w->isWindow())
        return w->frameGeometry();
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// An open list of a combo box keeps the wheel for itself.
bool comboDroppedAt(const QWidget *within, const QPoint &global)
{
    const QWidget *w = within->childAt(within->mapFromGlobal(global));
    for (; w && w != within; w = w->parentWidget()) {
        if (const auto *combo = qobject_cast<const QComboBox *>(w))
            return combo->view() && combo->view()->isVisible();
    }
    if (const auto *combo = qobject_cast<const QComboBox *>(within))
        return combo->view() && combo->view()->isVisible();
    return false;
}

class WheelHook : public QObject {
public:
    explicit WheelHook(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::Wheel)
            return false;
        const auto *we = static_cast<QWheelEvent *>(event);
        const int rotation = we->angleDelta().y();
        // A sideways wheel is a different message; only the vertical one
        // turns pages.
        if (rotation == 0)
            return false;
        const int keys = mouseKeysOf(we->buttons(), we->modifiers());
        const QPoint g = we->globalPosition().toPoint();

        if (auto *form = dynamic_cast<WheelTarget *>(m_window.data())) {
            if (isPointOverWindow(m_window, g.x(), g.y()) && !comboDroppedAt(m_window, g))
                form->MouseWheel(keys, rotation, g.x(), g.y());
            // The window's own handling still gets the wheel.
            return false;
        }
        // A hooked control hands the wheel to its window when the pointer
        // is over the window but not over the control itself.
        QWidget *parent = m_window->parentWidget();
        auto *parentForm = dynamic_cast<WheelTarget *>(parent);
        if (parentForm && !isPointOverWindow(m_window, g.x(), g.y()) && isPointOverWindow(parent, g.x(), g.y())
            && !comboDroppedAt(m_window, g)) {
            parentForm->MouseWheel(keys, rotation, g.x(), g.y());
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
};
} // namespace

int mouseKeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    int keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= 0x01;
    if (buttons & Qt::RightButton)
        keys |= 0x02;
    if (modifiers & Qt::ShiftModifier)
        keys |= 0x04;
    if (modifiers & Qt::ControlModifier)
        keys |= 0x08;
    if (buttons & Qt::MiddleButton)
        keys |= 0x10;
    if (buttons & Qt::BackButton)
        keys |= 0x20;
    if (buttons & Qt::ForwardButton)
        keys |= 0x40;
    return keys;
}

void HookMouseWheel(QWidget *window)
{
    if (!window || hookOf(window))
        return;
    auto *hook = new WheelHook(window);
    window->installEventFilter(hook);
    window->setProperty(kHookProperty, QVariant::fromValue<QObject *>(hook));
}

void UnhookMouseWheel(QWidget *window)
{
    QObject *hook = hookOf(window);
    if (!hook)
        return;
    window->removeEventFilter(hook);
    window->setProperty(kHookProperty, QVariant());
    delete hook;
}

bool isHooked(const QWidget *window)
{
    return hookOf(window) != nullptr;
}

bool isPointOverWindow(const QWidget *w, int x, int y)
{
    // A window that is gone has an empty rectangle at the origin.
    const QRect r = w ? screenRect(w) : QRect();
    const int left = w ? r.left() : 0, top = w ? r.top() : 0;
    const int right = w ? r.left() + r.width() : 0, bottom = w ? r.top() + r.height() : 0;
    if (x < left || x > right)
        return false;
    return top <= y && y <= bottom;
}

int scrolledTopRow(int topRow, int rows, int pageRows, int rotation)
{
    if (rotation > 0)
        return std::max(1, topRow - pageRows);
    return std::min(rows - 1, topRow + pageRows);
}

void ScrollFlexGrid(FlexGrid &grid, int MouseKeys, int Rotation, int Xpos, int Ypos)
{
    Q_UNUSED(MouseKeys)
    Q_UNUSED(Xpos)
    Q_UNUSED(Ypos)
    int n = 0;
    skipOnError([&] {
        const int header = grid.RowHeight(0);
        if (header <= 0)
            raiseError(11, QStringLiteral("Division by zero"));
        n = grid.HeightTwips() / header;
    });
    if (n > grid.Rows())
        return;
    // The page is what is actually in view, not what the height promises.
    skipOnError([&] {
        while (n > 0 && !grid.RowIsVisible(grid.TopRow() + n))
            --n;
    });
    int top = 0;
    skipOnError([&] { top = scrolledTopRow(grid.TopRow(), grid.Rows(), n, Rotation); });
    skipOnError([&] { grid.setTopRow(top); });
}

void scrollFlexGridsAt(QWidget *window, int MouseKeys, int Rotation, int Xpos, int Ypos)
{
    if (!window)
        return;
    for (FlexGrid *grid : window->findChildren<FlexGrid *>()) {
        if (isPointOverWindow(grid, Xpos, Ypos))
            ScrollFlexGrid(*grid, MouseKeys, Rotation, Xpos, Ypos);
    }
}
