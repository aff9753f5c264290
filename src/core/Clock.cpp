#include "Clock.h"

namespace {
std::function<QDateTime()> &clockFn()
{
    static std::function<QDateTime()> f;
    return f;
}
} // namespace

QDateTime clockNow()
{
    return clockFn() ? clockFn()() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> now)
{
    clockFn() = std::move(now);
}
