#include "platform/win32/Win32Platform.h"

#include <utility>

namespace vk::win32 {

Win32Platform::Win32Platform(HINSTANCE instance, std::string commandLine)
    : toolkit(instance), services{dispatcher, toolkit,  memory,
                                  allocator,  tray,     boxes,
                                  registry,   programs, std::move(commandLine)} {
    toolkit.setLoop(loop);
}

}  // namespace vk::win32
