#include "platform/qt/QtPlatform.h"

#include <utility>

namespace vk::qt {

QtPlatform::QtPlatform(std::string commandLine)
    : services{dispatcher, toolkit,  memory,
               allocator,  tray,     boxes,
               registry,   programs, std::move(commandLine)} {}

}  // namespace vk::qt
