#pragma once
#include <QString>

// The folder of the executable, where the database, "nuovireport.sql",
// "mysqlconf.ini" and the trace log live. Tests point it elsewhere.
QString appFolder();
void setAppFolder(const QString &folder);
// The application folder joined with a file name, with exactly one separator.
QString appFile(const QString &fileName);
