#pragma once
#include <Qt>

class QWidget;
class FlexGrid;

// A window that scrolls its grids a page per wheel notch.
class WheelTarget {
public:
    virtual ~WheelTarget() = default;
    virtual void MouseWheel(int MouseKeys, int Rotation, int Xpos, int Ypos) = 0;
};

// Catches the wheel over a window (and its children) and passes it to the
// window's MouseWheel(MouseKeys, Rotation, Xpos, Ypos) before the window's
// own handling. Hooked at load, unhooked at unload; hooking twice or
// unhooking a window that is not hooked does nothing.
void HookMouseWheel(QWidget *window);
void UnhookMouseWheel(QWidget *window);
bool isHooked(const QWidget *window);
// True when the screen point (x, y) lies inside the widget's screen
// rectangle, edges included.
bool isPointOverWindow(const QWidget *w, int x, int y);
// Scrolls the grid one visible page in the direction of Rotation.
void ScrollFlexGrid(FlexGrid &grid, int MouseKeys, int Rotation, int Xpos, int Ypos);
// The page arithmetic of ScrollFlexGrid on plain numbers: the new TopRow.
// pageRows is the page after shrinking to the visible rows.
int scrolledTopRow(int topRow, int rows, int pageRows, int rotation);
// What a list window's MouseWheel does: every grid of the window under the
// point (Xpos, Ypos) scrolls one page.
void scrollFlexGridsAt(QWidget *window, int MouseKeys, int Rotation, int Xpos, int Ypos);
// Windows' MK_ bits of the buttons and keys held: 1 left, 2 right, 4 Shift,
// 8 Ctrl, 16 middle, 32 and 64 the side buttons.
int mouseKeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
