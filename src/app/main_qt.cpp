// The Linux desktop program: the core on Qt 6 Widgets and the Linux services.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Program.h"
#include "platform/linux/LinuxPrograms.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/MappedBlockAllocator.h"
#include "platform/linux/MeminfoSource.h"
#include "platform/qt/QtEndRequests.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/QtTrayShell.h"

namespace {

// The program's argument text: what follows its name, joined by single
// blanks. Qt has taken its own options out by now.
std::string commandLine(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

// VELKROM_STATS=1: how many refresh ticks were delivered over how long, for
// measuring the program's cost.
void printStats(vk::Program& program, vk::Dispatcher& dispatcher,
                std::chrono::steady_clock::time_point started) {
    const char* wanted = std::getenv("VELKROM_STATS");
    if (!wanted || std::string(wanted) != "1") return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto ticks = dispatcher.deliveredTicks(program.main().form["tmrUpdateMemoryInformation"]);
    std::fprintf(stderr, "velkrom: %llu refresh ticks in %.3f s (%.1f per second)\n",
                 static_cast<unsigned long long>(ticks), seconds,
                 seconds > 0 ? static_cast<double>(ticks) / seconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window may be hidden with only the tray entry left; the program
    // ends when its main window unloads, never by itself.
    QApplication::setQuitOnLastWindowClosed(false);
    const auto started = std::chrono::steady_clock::now();

    vk::qt::QtClock clock;
    vk::Dispatcher dispatcher(clock);
    vk::qt::QtEventLoop loop(dispatcher, clock);
    vk::qt::QtToolkit toolkit(loop);
    vk::qt::QtTrayShell tray(toolkit);
    vk::qt::QtMessageBoxes boxes;
    vk::lnx::MeminfoSource memory;
    vk::lnx::MappedBlockAllocator allocator;
    vk::LinuxRegistry registry;
    vk::LinuxPrograms programs;
    vk::Services services{dispatcher, toolkit,  memory,
                          allocator,  tray,     boxes,
                          registry,   programs, commandLine(argc, argv)};

    vk::Program program(services);
    vk::qt::QtEndRequests endRequests(loop, program.main().form);
    program.start();
    if (!toolkit.quitRequested()) QApplication::exec();
    printStats(program, dispatcher, started);
    return 0;
}
