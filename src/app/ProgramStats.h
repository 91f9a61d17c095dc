#pragma once
// VELKROM_STATS=1: how many refresh ticks were delivered over how long, on
// the standard error, for measuring the program's cost. Every platform's
// main prints it as the program ends.
#include <chrono>

#include "app/Program.h"

namespace vk {

void printRefreshStats(Program& program, Dispatcher& dispatcher,
                       std::chrono::steady_clock::time_point started);

}  // namespace vk
