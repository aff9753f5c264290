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
};

struct BenchPayment {
    int member;
    QByteArray date;
    double amount;
    QByteArray reason, created;
};

BenchMember benchMember(int i);
BenchPayment benchPayment(int i, int members);

// Writes the register as an SQLite file from data/schema.sql.
void makeSqliteRegister(const QString &path, int members, int payments);
