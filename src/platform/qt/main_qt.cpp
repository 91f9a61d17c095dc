// The Linux desktop program: the core on Qt 6 Widgets and the Linux services.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "VelkromVersion.h"
#include "app/Program.h"
#include "app/ProgramStats.h"
#include "platform/qt/QtEndRequests.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtSessionBus.h"

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

int run(int argc, char** argv) {
    // The whole argument text belongs to the program: Qt is handed only the
    // program's name, so none of its own options ("-reverse", "-style",
    // "-name") is taken out of it. Qt's environment variables still work.
    const std::string arguments = commandLine(argc, argv);
    // With no session bus, Qt must not have libdbus launch one.
    vk::qt::refuseBusAutolaunch();
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
    vk::printRefreshStats(program, platform.dispatcher, started);
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
