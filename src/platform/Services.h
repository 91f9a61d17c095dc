#pragma once
// Everything the logic needs of the platform, handed in at start.
#include <string>

#include "platform/BlockAllocator.h"
#include "platform/Dispatcher.h"
#include "platform/MemorySource.h"
#include "platform/MessageBox.h"
#include "platform/Programs.h"
#include "platform/Registry.h"
#include "platform/Toolkit.h"
#include "platform/TrayShell.h"

namespace vk {

struct Services {
    Dispatcher& dispatcher;
    Toolkit& toolkit;
    MemorySource& memory;
    BlockAllocator& allocator;
    TrayShell& tray;
    MessageBoxes& boxes;
    Registry& registry;
    Programs& programs;
    // The argument text after the program's name, as one string.
    std::string commandLine;
};

}  // namespace vk
