#pragma once
#include "RunState.h"

#include <QString>
#include <QVector>

class WebBrowser;
class FlexGrid;
class Form;

// The grid columns a printing list leaves out: indexes from element 1, ended
// by -1 (element 0 is not used).
inline RunState<QVector<short>> gPrintSkipColumns{QVector<short>(101, 0)};

// The print document is HTML written in pieces into a window's browser.
void initPrintPreview(WebBrowser &web);
void printWebTitle(WebBrowser &web);
void printWebSubtitle(WebBrowser &web, const QString &text);
void printWebGrid(FlexGrid &grid, WebBrowser &web);
void printString(const QString &text, WebBrowser &web);
void endPrintPreview(WebBrowser &web);
void goPrintPreview(WebBrowser &web);
// The record sheet of an edit or search window: label / value pairs.
void printThisForm(Form &form, WebBrowser &web);
// A register's or field's text as document text: "&", "<" and ">" as
// entities, a line break (CR LF, CR or LF) as "<br>".
QString formattaPerStampa(const QString &text);
