#include "base/Clock.h"

namespace gipso {

namespace {
std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> f;
    return f;
}
} // namespace

QDateTime currentDateTime()
{
    auto &f = clockFunction();
    return f ? f() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock) { clockFunction() = std::move(clock); }

} // namespace gipso
