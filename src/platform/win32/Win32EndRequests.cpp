#include "platform/win32/Win32EndRequests.h"

#include "platform/EndRequest.h"
#include "platform/win32/Win32Toolkit.h"

namespace vk::win32 {

Win32EndRequests::Win32EndRequests(Win32Toolkit& toolkit, LoopDriver& loop, MessageBoxes& boxes,
                                   Form& mainWindow)
    : toolkit_(toolkit), loop_(loop), boxes_(boxes), mainWindow_(mainWindow) {
    toolkit_.onEndRequest = [this](Form& form) { return request(form); };
}

Win32EndRequests::~Win32EndRequests() {
    toolkit_.onEndRequest = nullptr;
}

bool Win32EndRequests::request(Form& form) {
    if (&form != &mainWindow_) return false;
    // Unloads now, through the normal path, unless a handler runs: then the
    // box that waits closes as if OK was pressed, and once its handler has
    // finished the close request comes first.
    requestEnd(loop_.dispatcher(), boxes_, mainWindow_);
    loop_.pump();
    return true;
}

}  // namespace vk::win32
