#pragma once
#include <QDateTime>
#include <functional>

// "Now" for every stamp and default date, behind a seam so tests fix time.
QDateTime clockNow();
void setClock(std::function<QDateTime()> now); // empty function: real clock
