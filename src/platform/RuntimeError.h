#pragma once
#include <QString>

// The error every layer raises and every procedure's handler catches: a
// number and a description, as the user sees them in
// "Error N (description) in procedure P of ...".
struct RuntimeError {
    int number = 0;
    QString description;
};

// Numbers of the run-time errors the procedures can raise themselves.
namespace ErrNo {
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int PermissionDenied = 70;
constexpr int PathNotFound = 76;
constexpr int InvalidUseOfNull = 94;
constexpr int ObjectRequired = 424;
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;
} // namespace ErrNo

[[noreturn]] inline void raiseError(int number, const QString &description)
{
    throw RuntimeError{number, description};
}
