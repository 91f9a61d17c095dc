#pragma once
// The Qt platform with the real Linux services, as the program wires them,
// for tests that open real widgets (offscreen or on a virtual display).
#include <QApplication>
#include <QTest>
#include <functional>
#include <string>

#include "platform/Services.h"
#include "platform/linux/LinuxPrograms.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/MappedBlockAllocator.h"
#include "platform/linux/MeminfoSource.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/QtTrayShell.h"

namespace vk::qt::test {

struct QtPlatform {
    explicit QtPlatform(std::string commandLine = "")
        : services{dispatcher, toolkit,  memory,
                   allocator,  tray,     boxes,
                   registry,   programs, std::move(commandLine)} {}

    QtClock clock;
    Dispatcher dispatcher{clock};
    QtEventLoop loop{dispatcher, clock};
    QtToolkit toolkit{loop};
    QtTrayShell tray{toolkit};
    QtMessageBoxes boxes;
    lnx::MeminfoSource memory;
    lnx::MappedBlockAllocator allocator;
    LinuxRegistry registry;
    LinuxPrograms programs;
    Services services;
};

// Runs the event loop until `condition` holds; false after `ms` without.
inline bool waitFor(const std::function<bool()>& condition, int ms = 5000) {
    return QTest::qWaitFor(condition, ms);
}

}  // namespace vk::qt::test
