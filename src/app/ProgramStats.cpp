#include "app/ProgramStats.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vk {

void printRefreshStats(Program& program, Dispatcher& dispatcher,
                       std::chrono::steady_clock::time_point started) {
    const char* wanted = std::getenv("VELKROM_STATS");
    if (!wanted || std::string(wanted) != "1") return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto ticks = dispatcher.deliveredTicks(program.main().form["tmrUpdateMemoryInformation"]);
    std::fprintf(stderr, "velkrom: %llu refresh ticks in %.3f s (%.1f per second)\n",
                 static_cast<unsigned long long>(ticks), seconds,
                 seconds > 0 ? static_cast<double>(ticks) / seconds : 0.0);
    std::fflush(stderr);
}

}  // namespace vk
