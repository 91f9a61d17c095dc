#include "platform/win32/Win32Platform.h"

#include <utility>

namespace vk::win32 {

Win32Platform::Win32Platform(HINSTANCE instance, std::string commandLine)
    : wakeTimer(instance),
      toolkit(instance, loop),
      services{dispatcher, toolkit,  memory,
               allocator,  tray,     boxes,
               registry,   programs, std::move(commandLine)} {}

}  // namespace vk::win32
