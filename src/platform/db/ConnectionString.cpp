#include "ConnectionString.h"

ServerAddress parseConnectionString(const QString &text)
{
    ServerAddress a;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=": nothing to read in it.
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed();
        qsizetype v = eq + 1;
        while (v < n && text.at(v).isSpace())
            ++v;
        QString value;
        if (v < n && text.at(v) == QLatin1Char('{')) {
            // Braced: up to the closing brace; "}}" is a brace inside.
            qsizetype j = v + 1;
            while (j < n) {
                if (text.at(j) == QLatin1Char('}')) {
                    if (j + 1 < n && text.at(j + 1) == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += text.at(j++);
            }
            const qsizetype end = text.indexOf(QLatin1Char(';'), j);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), v);
            value = text.mid(v, end < 0 ? -1 : end - v).trimmed();
            i = end < 0 ? n : end + 1;
        }
        const auto is = [&key](const char *name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
        if (is("Server"))
            a.host = value;
        else if (is("Port"))
            a.port = value.toUInt();
        else if (is("Socket"))
            a.socket = value;
        else if (is("Database") || is("Db"))
            a.database = value;
        else if (is("Uid") || is("User"))
            a.user = value;
        else if (is("Pwd") || is("Password"))
            a.password = value;
        else if (is("SslMode") || is("Ssl-Mode"))
            a.sslMode = value.toUpper();
        else if (is("SslVerify"))
            a.sslMode = value.toInt() != 0 ? QStringLiteral("VERIFY_IDENTITY") : a.sslMode;
        else if (is("SslCa") || is("Ssl-Ca"))
            a.sslCa = value;
        else if (is("SslCaPath") || is("Ssl-CaPath"))
            a.sslCaPath = value;
        else if (is("SslCert") || is("Ssl-Cert"))
            a.sslCert = value;
        else if (is("SslKey") || is("Ssl-Key"))
            a.sslKey = value;
        else if (is("SslCipher") || is("Ssl-Cipher"))
            a.sslCipher = value;
        else if (key.startsWith(QLatin1String("ssl"), Qt::CaseInsensitive)
                 || key.startsWith(QLatin1String("tls"), Qt::CaseInsensitive))
            a.unsupported << key;
    }
    return a;
}
