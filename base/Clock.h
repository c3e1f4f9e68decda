#pragma once

#include <QDateTime>
#include <functional>

namespace gipso {

// The program's one source of the current local date and time; tests replace it.
QDateTime currentDateTime();
void setClock(std::function<QDateTime()> clock); // empty function restores the system clock

} // namespace gipso
