#include "Emblem.h"
#include "Form.h"
#include "QtPeople.h"
#include "SubsystemWindows.h"
#include "Translation.h"
#include "WebBrowser.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The title of the plain message boxes and of the print preview.
    QApplication::setApplicationName(productTitle());
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QIcon icon;
    for (int s : {16, 32, 48, 64})
        icon.addPixmap(programIcon(s));
    QApplication::setWindowIcon(icon);
    QtPeople qtPeople;
    setPeople(&qtPeople);
    setPrintPreviewer(showPrintPreview);
    frmMain *main = startMainWindow();
    if (!main)
        return 1; // the database could not be opened
    main->Form_Activate();
    return app.exec();
}
