#include "AppFolder.h"
#include <QCoreApplication>

namespace {
QString &folderOverride()
{
    static QString f;
    return f;
}
} // namespace

QString appFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void setAppFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString appFile(const QString &fileName)
{
    QString f = appFolder();
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f + fileName;
}
