#pragma once
#include <QPixmap>

// The program's icon and the picture of the main window, drawn rather than
// shipped as files.
QPixmap programIcon(int size);
QPixmap mainPicture(int width, int height);
