#include "BenchRegister.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {
void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bind(sqlite3_stmt *st, int i, const QByteArray &text)
{
    sqlite3_bind_text(st, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}
} // namespace

BenchMember benchMember(int i)
{
    static const char *surnames[] = {"Rossi",   "Bianchi", "Verdi", "Esposito", "Romano", "Colombo",
                                     "Ricci",   "Marino",  "Greco", "Bruno",    "Gallo",  "Conti",
                                     "De Luca", "Mancini", "Costa", "Giordano"};
    static const char *names[] = {"Mario", "Luca", "Giulia", "Anna", "Paolo", "Sara", "Marco", "Elena"};
    BenchMember m;
    m.type = 1 + i % 4;
    m.name = names[i % 8];
    m.surname = QByteArray(surnames[i % 16]) + ' ' + QByteArray::number(i);
    m.address = "Via Garibaldi " + QByteArray::number(i % 300 + 1);
    m.cap = QByteArray::number(10000 + i % 89999);
    m.city = "Milano";
    m.province = "MI";
    m.phone = "02 1234567";
    m.mobile = "333 1234567";
    m.mail = QByteArray(names[i % 8]).toLower() + QByteArray::number(i) + "@example.org";
    if (i % 5 == 0)
        m.note = QByteArray("Pagamento con bonifico, ricevuta inviata");
    m.card = QByteArray::number(100000 + i);
    m.born = QStringLiteral("19%1-%2-%3 00:00:00")
                 .arg(40 + i % 60)
                 .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                 .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                 .toUtf8();
    m.joined = "2020-01-15 00:00:00";
    m.expires = "2026-12-31 00:00:00";
    m.created = "2026-01-01 10:00:00";
    return m;
}

BenchPayment benchPayment(int i, int members)
{
    BenchPayment p;
    p.member = 1 + i % std::max(1, members);
    p.date = QStringLiteral("20%1-%2-%3 00:00:00")
                 .arg(20 + i % 7)
                 .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                 .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                 .toUtf8();
    p.amount = 10.0 + (i % 500) * 0.25;
    p.reason = "Quota associativa";
    p.created = "2026-01-01 10:00:00";
    return p;
}

void makeSqliteRegister(const QString &path, int members, int payments)
{
    QFile schema(QStringLiteral(SOCIVANT_DATA_DIR "/schema.sql"));
    schema.open(QIODevice::ReadOnly);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    check(sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (const char *type : kBenchMemberTypes) {
        const QByteArray sql = QStringLiteral("INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ('%1', "
                                              "'2026-01-01 00:00:00')")
                                   .arg(QString::fromLatin1(type))
                                   .toUtf8();
        check(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), db);
    }
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Anagrafica (TIPOLOGIAID, Nome, Cognome, Indirizzo, CAP, Comune, Provincia, "
                       "TelefonoCasa, Cellulare, Email, NoteAnagrafica, NumeroTessera, DataNascita, DataIscrizione, "
                       "DataScadenzaIscrizione, DateTimeCreated) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < members; ++i) {
        const BenchMember m = benchMember(i);
        sqlite3_bind_int(st, 1, m.type);
        int c = 2;
        for (const QByteArray *t :
             {&m.name, &m.surname, &m.address, &m.cap, &m.city, &m.province, &m.phone, &m.mobile, &m.mail})
            bind(st, c++, *t);
        if (m.note)
            bind(st, c++, *m.note);
        else
            sqlite3_bind_null(st, c++);
        for (const QByteArray *t : {&m.card, &m.born, &m.joined, &m.expires, &m.created})
            bind(st, c++, *t);
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db,
                       "INSERT INTO Pagamenti (ANAGRAFICAID, DataPagamento, Importo, Causale, NotePagamento, "
                       "DateTimeCreated) VALUES (?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < payments; ++i) {
        const BenchPayment p = benchPayment(i, members);
        sqlite3_bind_int(st, 1, p.member);
        bind(st, 2, p.date);
        sqlite3_bind_double(st, 3, p.amount);
        bind(st, 4, p.reason);
        sqlite3_bind_null(st, 5);
        bind(st, 6, p.created);
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}
