#pragma once
// What a backend's window knows of the logic: the form it belongs to, the
// loop to post through and the screen's scale. A handler may unload the
// window it runs from, and a toolkit's widgets or windows may outlive their
// form by a moment, so they hold the binding by shared pointer; destroying
// the window clears `form`, and what arrives for it afterwards is dropped.
#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/LoopDriver.h"

namespace vk {

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

// A form's window goes: its controls lose their peers and its binding the
// form, so nothing that still arrives for the window reaches the form.
inline void unbindForm(Form& form, FormBinding& binding) {
    form.detachPeers();
    binding.form = nullptr;
}

}  // namespace vk
