#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The rows of the large register the benchmarks time: the same members and
// payments on every back-end, so their figures compare.
constexpr std::array<const char *, 4> kBenchMemberTypes = {"Socio ordinario", "Socio sostenitore", "Contatto",
                                                           "Socio onorario"};

struct BenchMember {
    int type;
    QByteArray name, surname, address, cap, city, province, phone, mobile, mail;
    std::optional<QByteArray> note;
    QByteArray card, born, joined, expires, created;
    // Filled in the realistic register only.
    QByteArray office, vat, web;
};

struct BenchPayment {
    int member;
    QByteArray date;
    double amount;
    QByteArray reason, created;
};

// Two registers: the plain one, all ASCII with a short note on one member
// in five; and the realistic one a secretary keeps, with accented and
// non-Latin names, notes on three members in four averaging about 200
// characters, some empty dates and the optional columns filled.
enum class BenchKind { Ascii, Realistic };
BenchMember benchMember(int i, BenchKind kind = BenchKind::Ascii);
BenchPayment benchPayment(int i, int members);

// Writes the register as an SQLite file from data/schema.sql.
void makeSqliteRegister(const QString &path, int members, int payments, BenchKind kind = BenchKind::Ascii);
