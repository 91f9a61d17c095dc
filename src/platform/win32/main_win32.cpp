// The Windows program: the core on the Win32 toolkit and the Windows services.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/Program.h"
#include "app/ProgramStats.h"
// After the portable headers: they must sit beside the SDK's names.
#include <windows.h>

#include "platform/win32/CommandLine.h"
#include "platform/win32/Win32EndRequests.h"
#include "platform/win32/Win32Platform.h"

namespace {

int run(HINSTANCE instance) {
    const auto started = std::chrono::steady_clock::now();
    // The argument text exactly as it follows the program's name.
    vk::win32::Win32Platform platform(instance,
                                      std::string(vk::win32::argumentText(GetCommandLineA())));
    vk::Program program(platform.services);
    vk::win32::Win32EndRequests endRequests(platform.toolkit, platform.loop, platform.boxes,
                                            program.main().form);
    program.start();
    platform.toolkit.run();
    vk::printRefreshStats(program, platform.dispatcher, started);
    return 0;
}

// A program that cannot run says why: in a box, and to a debugger.
void report(const std::string& why) {
    const std::string text = "Velkrom cannot run: " + why;
    OutputDebugStringA((text + "\n").c_str());
    MessageBoxA(nullptr, text.c_str(), "Velkrom", MB_OK | MB_ICONSTOP);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        return run(instance);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown failure");
    }
    return 1;
}
