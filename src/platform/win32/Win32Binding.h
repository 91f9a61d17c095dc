#pragma once
// What a window knows of the logic: the form it belongs to and the loop to
// post through. A handler may unload the window it runs from, so windows
// hold the binding by shared pointer; destroying the window clears `form`,
// and what arrives for it afterwards is dropped.
#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/LoopDriver.h"

namespace vk::win32 {

struct FormBinding {
    Form* form = nullptr;
    LoopDriver* loop = nullptr;

    void post(const std::string& control, EventType type, const EventArgs& args = {}) const {
        if (form && loop) loop->post(*form, control, type, args);
    }
    void postLater(const std::string& control, EventType type, const EventArgs& args = {}) const {
        if (form && loop) loop->postLater(*form, control, type, args);
    }
};

using BindingPtr = std::shared_ptr<FormBinding>;

}  // namespace vk::win32
