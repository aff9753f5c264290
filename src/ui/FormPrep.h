#pragma once
#include <QList>

class QWidget;
class Form;

// Gives a window the common look and behaviour (no tab stop on labels and
// browsers, list-only combo boxes, the skin and the main window's icon,
// access keys on the usual button captions) and then translates it.
void DisattivaTabstop(const QList<QWidget *> &controls);
// Places the window in the middle of the screen.
void CenterForm(Form &form);
// (screen - window) / 2 in twips, the fraction dropped toward zero.
int centeredOffset(int screenTwips, int windowTwips);
