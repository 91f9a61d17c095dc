#pragma once
// The Windows program's platform in one place: the Win32 toolkit, loop,
// tray and message boxes over the Windows services, wired to one
// dispatcher. WinMain and the Win32 tests assemble it from here.
#include <windows.h>

#include <string>

#include "platform/LoopDriver.h"
#include "platform/Services.h"
#include "platform/win32/Win32BlockAllocator.h"
#include "platform/win32/Win32Memory.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32Programs.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/Win32TrayShell.h"
#include "platform/win32/Win32WakeTimer.h"

namespace vk::win32 {

class Win32Platform {
  public:
    explicit Win32Platform(HINSTANCE instance, std::string commandLine = "");
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    SteadyClock clock;
    Dispatcher dispatcher{clock};
    Win32WakeTimer wakeTimer;
    LoopDriver loop{dispatcher, clock, wakeTimer};
    Win32Toolkit toolkit;
    Win32TrayShell tray{toolkit};
    Win32MessageBoxes boxes{toolkit};
    Win32Memory memory;
    Win32BlockAllocator allocator;
    Win32Registry registry;
    Win32Programs programs;
    Services services;
};

}  // namespace vk::win32
