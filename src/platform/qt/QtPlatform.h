#pragma once
// The Linux program's platform in one place: Qt's loop, widgets, tray and
// message boxes over the Linux services, wired to one dispatcher. The
// program's main and the Qt tests both assemble it from here. A QApplication
// must exist first.
#include <string>

#include "platform/LoopDriver.h"
#include "platform/Services.h"
#include "platform/linux/LinuxPrograms.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/MappedBlockAllocator.h"
#include "platform/linux/MeminfoSource.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/QtTrayShell.h"
#include "platform/qt/QtWakeTimer.h"

namespace vk::qt {

class QtPlatform {
  public:
    explicit QtPlatform(std::string commandLine = "");
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    SteadyClock clock;
    Dispatcher dispatcher{clock};
    QtWakeTimer wakeTimer;
    LoopDriver loop{dispatcher, clock, wakeTimer};
    QtToolkit toolkit{loop};
    QtTrayShell tray{toolkit};
    QtMessageBoxes boxes;
    lnx::MeminfoSource memory;
    lnx::MappedBlockAllocator allocator;
    LinuxRegistry registry;
    LinuxPrograms programs;
    Services services;
};

}  // namespace vk::qt
