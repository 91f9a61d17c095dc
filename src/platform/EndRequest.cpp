#include "platform/EndRequest.h"

namespace vk {

void requestEnd(Dispatcher& dispatcher, MessageBoxes& boxes, Form& mainWindow) {
    dispatcher.postFirst(mainWindow, mainWindow.name(), EventType::CloseRequest);
    // The box's own loop returns once the caller is back in it.
    boxes.dismissOpen();
}

}  // namespace vk
