#pragma once
// Window-system operations that belong to no single control.
#include <string>

#include "platform/Form.h"

namespace vk {

class Toolkit {
  public:
    virtual ~Toolkit() = default;
    // Builds the widgets of a form that is being loaded and attaches their
    // peers to its controls (timers excepted: the dispatcher owns those).
    virtual void createWindow(Form& form) = 0;
    // Destroys them again when the form is unloaded; detaches the peers.
    virtual void destroyWindow(Form& form) = 0;
    // Opens a top-level menu entry as a pop-up menu at the mouse position.
    // Returns at once; the choice arrives later as a click event.
    virtual void popupMenu(Form& form, const std::string& menu) = 0;
    // The program has ended: leave the event loop.
    virtual void quit() = 0;
};

}  // namespace vk
