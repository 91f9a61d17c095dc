// The Linux desktop program: the core on Qt 6 Widgets and the Linux services.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "VelkromVersion.h"
#include "app/Program.h"
#include "platform/qt/QtEndRequests.h"
#include "platform/qt/QtPlatform.h"

namespace {

// The program's argument text: what follows its name, joined by single
// blanks, exactly as given.
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

int run(int argc, char** argv) {
    // The whole argument text belongs to the program: Qt is handed only the
    // program's name, so none of its own options ("-reverse", "-style",
    // "-name") is taken out of it. Qt's environment variables still work.
    const std::string arguments = commandLine(argc, argv);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The window may be hidden with only the tray entry left; the program
    // ends when its main window unloads, never by itself.
    QApplication::setQuitOnLastWindowClosed(false);
    // Wayland matches the window to its menu entry and icon by this id.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(VK_APP_ID));
    const auto started = std::chrono::steady_clock::now();

    vk::qt::QtPlatform platform(arguments);
    vk::Program program(platform.services);
    vk::qt::QtEndRequests endRequests(platform.loop, platform.boxes, program.main().form);
    program.start();
    if (!platform.toolkit.quitRequested()) QApplication::exec();
    printStats(program, platform.dispatcher, started);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    static char fallbackName[] = "velkrom";
    char* noArguments[] = {fallbackName, nullptr};
    if (argc < 1 || !argv || !argv[0]) {
        argc = 1;
        argv = noArguments;
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkrom: cannot run: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "velkrom: cannot run: unknown failure\n");
    }
    return 1;
}
