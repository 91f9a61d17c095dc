#include "platform/qt/QtSessionBus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace vk::qt {
namespace {

constexpr const char* kNoBus = "disabled:";

}  // namespace

bool sessionBusExpected() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return std::string(address) != kNoBus;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return false;
    struct stat info {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

void refuseBusAutolaunch() {
    // An address of a kind libdbus does not know: the connection fails with
    // an error, and nothing is launched.
    if (!sessionBusExpected()) ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
}

}  // namespace vk::qt
