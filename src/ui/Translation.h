#pragma once
#include "Edition.h"

#include <QList>
#include <QString>

class QWidget;
class FlexGrid;

// The message table applied in order (used by MyMsgBox).
QString translateMessage(const QString &text);
// The caption table in order, then the whole-caption rules "da", "a", "su".
QString SostituisciCaptionEng(const QString &caption);
// Translates a window's controls in place: buttons by the button table,
// labels, skins and check boxes by the caption table, date pickers' today
// button to "Today".
void doEnglish(const QList<QWidget *> &controls);
// Translates the header row of a grid.
void doEnglishGrid(FlexGrid &grid);

// Installs MyMsgBox (translation, product title, themed box) as the message
// sink of the data layer.
void installMessageBox();

// The dialogs Qt draws itself (the message box's buttons, the input box, the
// file dialog, the print preview) speak the edition's language: the Italian
// edition loads Qt's own Italian words. The names of months and days Qt
// writes (the date picker's calendar) follow the edition too, not the
// machine's language. False when the edition needs none or
// the system has none (Debian's qt6-translations-l10n), which leaves Qt's
// English words on those buttons.
bool installToolkitTranslation();
