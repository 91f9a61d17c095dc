#include "platform/Form.h"

#include <stdexcept>

#include "platform/Dispatcher.h"

namespace vk {

Form::Form(const WindowDef& def) : def_(def) {
    windowDef_.name = def_.name;
    windowDef_.kind = ControlKind::Window;
    windowDef_.caption = def_.caption;
    windowDef_.width = def_.clientWidth;
    windowDef_.height = def_.clientHeight;
    controls_.push_back(std::make_unique<Control>(windowDef_));
    for (const ControlDef& control : def_.controls) {
        controls_.push_back(std::make_unique<Control>(control));
    }
    for (const auto& control : controls_) byName_.emplace(control->name(), control.get());
}

Form::~Form() {
    if (dispatcher_) dispatcher_->detach(*this);
}

void Form::detachPeers() {
    for (const auto& control : controls_) {
        // A timer's peer is the dispatcher's, whatever the window does.
        if (control->kind() != ControlKind::Timer) control->attachPeer(nullptr);
    }
}

Control& Form::operator[](std::string_view name) {
    Control* control = find(name);
    if (!control) throw std::out_of_range("no control named " + std::string(name));
    return *control;
}

const Control& Form::operator[](std::string_view name) const {
    return const_cast<Form&>(*this)[name];
}

Control* Form::find(std::string_view name) {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

void Form::on(std::string_view control, EventType type, Handler handler) {
    handlers_[{&(*this)[control], type}] = std::move(handler);
}

void Form::on(std::string_view control, EventType type, std::function<void()> handler) {
    on(control, type, Handler([h = std::move(handler)](const EventArgs&) { h(); }));
}

const Handler* Form::handler(const Control& control, EventType type) const {
    const auto it = handlers_.find({&control, type});
    return it == handlers_.end() ? nullptr : &it->second;
}

}  // namespace vk
