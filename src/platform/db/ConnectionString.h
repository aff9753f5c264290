#pragma once
#include <QString>
#include <QStringList>

// What a connection to a MySQL or MariaDB server needs, read from the
// ODBC-style text users bring ("Driver={...};Server=db.local;Port=3306;
// Database=soci;Uid=segreteria;Pwd=x;Option=3;").
struct ServerAddress {
    QString host;      // Server; empty: the local server
    unsigned port = 0; // Port; 0: the default
    QString socket;    // Socket: a local socket file
    QString database;  // Database or Db
    QString user;      // Uid or User
    QString password;  // Pwd or Password
    // TLS, as the ODBC drivers name it: SslMode (DISABLED, PREFERRED,
    // REQUIRED, VERIFY_CA, VERIFY_IDENTITY), SslCa, SslCaPath, SslCert,
    // SslKey, SslCipher; SslVerify=1 stands for VERIFY_IDENTITY.
    QString sslMode;
    QString sslCa, sslCaPath, sslCert, sslKey, sslCipher;
    // Keys that name TLS settings this program cannot honour: a connection
    // with any of them is refused rather than made without them.
    QStringList unsupported;
};

// Reads the keys above (their names compared without regard to case; a value
// in braces may hold ";", with "}}" standing for "}"); keys of the ODBC
// driver such as Driver, Provider and Option are ignored. A later key wins.
// Any key about TLS is read: one not listed above lands in unsupported.
ServerAddress parseConnectionString(const QString &text);
