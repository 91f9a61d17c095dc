#pragma once
// What a widget knows of the logic: the form it belongs to and the loop to
// post through. Widgets may outlive their form by a moment (they are deleted
// later, so a handler can unload the window whose button it runs from);
// destroying the window clears `form`, and later events are dropped.
#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/LoopDriver.h"

namespace vk::qt {

struct FormBinding {
    Form* form = nullptr;
    LoopDriver* loop = nullptr;
    double twipsPerPixel = 15;

    void post(const std::string& control, EventType type, const EventArgs& args = {}) const {
        if (form && loop) loop->post(*form, control, type, args);
    }
    void postLater(const std::string& control, EventType type, const EventArgs& args = {}) const {
        if (form && loop) loop->postLater(*form, control, type, args);
    }
};

using BindingPtr = std::shared_ptr<FormBinding>;

}  // namespace vk::qt
