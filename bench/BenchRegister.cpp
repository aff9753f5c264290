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

namespace {
// A realistic member: what differs from the plain one.
void makeRealistic(BenchMember &m, int i)
{
    static const char *surnames[] = {
        "Rossi",
        "Bianchi",
        "Verdi",
        "Esposito",
        "Romano",
        "Colombo",
        "Ricci",
        "Marino",
        "D'Agostino",
        "Bruno",
        "Gallo",
        "Conti",
        "De Luca",
        "Mancini",
        "Costa",
        "Giordano",
        "Niccol\xc3\xb2",
        "Fran\xc3\xa7ois",
        "M\xc3\xbcller",
        "\xce\x9a\xcf\x89\xce\xbd\xcf\x83\xcf\x84\xce\xb1\xce\xbd\xcf\x84\xce\xaf\xce\xbd\xce\xbf\xcf\x85",
        "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\xd0\xbe\xd0\xb2\xd0\xb0",
        "Dvo\xc5\x99\xc3\xa1k",
        "\xd7\x9b\xd7\x94\xd7\x9f",
        "Ng\xc6\xb0\xe1\xbb\x85n"};
    static const char *names[] = {"Mario", "Lucà",  "Giulia", "Anna Maria", "Paolo", "Sara",
                                  "Marco", "Elena", "Zoë",    "Jiří",       "Łucja", "Ιωάννης"};
    static const char *streets[] = {"Via Garibaldi",   "Corso Vittorio Emanuele II", "Piazza della Libert\xc3\xa0",
                                    "Viale dei Mille", "Via San Francesco d'Assisi", "Largo Cairoli"};
    static const char *cities[] = {"Milano",       "Forl\xc3\xac",
                                   "Cant\xc3\xb9", "Reggio nell'Emilia",
                                   "Roma",         "San Giovanni in Persiceto"};
    static const char *words[] = {
        "socio", "dal",         "pagamento",     "con",        "bonifico", "ricevuta", "inviata", "per",
        "posta", "elettronica", "all'indirizzo", "dello",      "studio",   "chiede",   "la",      "tessera",
        "nuova", "entro",       "gennaio",       "volontario", "nelle",    "serate",   "di",      "raccolta",
        "fondi", "è",           "già",           "città",      "perché",   "referente"};
    m.surname = QByteArray(surnames[i % 24]) + ' ' + QByteArray::number(i);
    m.name = names[(i / 3) % 12];
    m.address = QByteArray(streets[i % 6]) + ' ' + QByteArray::number(i % 300 + 1);
    m.city = cities[(i / 7) % 6];
    m.phone = "+39 02 " + QByteArray::number(1000000 + i % 8999999);
    m.office = "+39 02 " + QByteArray::number(2000000 + i % 7999999);
    m.mobile = "+39 333 " + QByteArray::number(1000000 + (i * 7) % 8999999);
    m.vat = "IT" + QByteArray::number(10000000000LL + i);
    // Web sites and mail addresses as people have them: some short, some
    // a long address without a blank.
    static const char *sites[] = {"https://www.example.org", "www.studio", "https://www.associazione-amici-",
                                  "http://example.com/~"};
    static const char *tails[] = {"", ".it", "del-museo.org/soci/", "/pagina-personale/"};
    m.web = QByteArray(sites[i % 4]) + QByteArray(tails[i % 4]) + QByteArray::number(i);
    m.mail = QByteArray(i % 3 == 0 ? "segreteria.studio." : "") + QByteArray(names[(i / 3) % 12]).toLower()
        + QByteArray::number(i) + (i % 2 ? "@example.org" : "@posta.example.it");
    if (i % 4 != 3) {
        // About 200 characters, from 60 to 340.
        QByteArray note;
        const int length = 60 + int((unsigned(i) * 2654435761U) % 281U);
        for (int w = i; note.size() < length; w = w * 31 + 7)
            note += QByteArray(words[unsigned(w) % 30]) + ' ';
        note.chop(1);
        m.note = note;
    } else {
        m.note.reset();
    }
    if (i % 10 == 4)
        m.born.clear();
    if (i % 25 == 9)
        m.expires.clear();
}
} // namespace

BenchMember benchMember(int i, BenchKind kind)
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
    if (kind == BenchKind::Realistic)
        makeRealistic(m, i);
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

void makeSqliteRegister(const QString &path, int members, int payments, BenchKind kind)
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
                       "DataScadenzaIscrizione, DateTimeCreated, TelefonoUfficio, CFIva, SitoWeb) "
                       "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < members; ++i) {
        const BenchMember m = benchMember(i, kind);
        sqlite3_bind_int(st, 1, m.type);
        int c = 2;
        for (const QByteArray *t :
             {&m.name, &m.surname, &m.address, &m.cap, &m.city, &m.province, &m.phone, &m.mobile, &m.mail})
            bind(st, c++, *t);
        if (m.note)
            bind(st, c++, *m.note);
        else
            sqlite3_bind_null(st, c++);
        // An empty date or optional column is NULL, as the windows leave it.
        for (const QByteArray *t : {&m.card, &m.born, &m.joined, &m.expires, &m.created, &m.office, &m.vat, &m.web}) {
            if (t->isEmpty())
                sqlite3_bind_null(st, c++);
            else
                bind(st, c++, *t);
        }
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
