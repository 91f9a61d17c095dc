#pragma once
// A request from outside to end the program: a termination signal, the end
// of the desktop session. It never waits for a button: a modal box that is
// open closes as if OK was pressed, the handler it held runs to its end, and
// the main window's close request is the next event delivered, before
// anything that waits already. The window then unloads through its normal
// path. Every backend turns its end requests into this call and pumps after.
#include "platform/Dispatcher.h"
#include "platform/MessageBox.h"

namespace vk {

void requestEnd(Dispatcher& dispatcher, MessageBoxes& boxes, Form& mainWindow);

}  // namespace vk
