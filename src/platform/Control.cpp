#include "platform/Control.h"

#include "platform/Errors.h"

namespace vk {

Control::Control(const ControlDef& def)
    : def_(def),
      caption_(def.caption),
      tag_(def.tag),
      visible_(def.visible),
      enabled_(def.enabled),
      geometry_{def.left, def.top, def.width, def.height} {}

// Each setter asks the peer first: a refused value leaves the model as it was.
// An unchanged value is not sent again, which keeps a 100 Hz refresh cheap.

void Control::setCaption(const std::string& text) {
    if (text == caption_) return;
    if (peer_) peer_->setCaption(text);
    caption_ = text;
}

void Control::setVisible(bool on) {
    if (on == visible_) return;
    if (peer_) peer_->setVisible(on);
    visible_ = on;
}

void Control::setEnabled(bool on) {
    if (on == enabled_) return;
    if (peer_) peer_->setEnabled(on);
    enabled_ = on;
}

void Control::setChecked(bool on) {
    if (on == checked_) return;
    if (peer_) peer_->setChecked(on);
    checked_ = on;
}

WindowState Control::windowState() const {
    WindowState live = windowState_;
    return peer_ && peer_->liveWindowState(live) ? live : windowState_;
}

void Control::setWindowState(WindowState state) {
    if (state == windowState()) return;
    if (peer_) peer_->setWindowState(state);
    windowState_ = state;
}

void ControlPeer::setPicture(std::uintptr_t) {
    throw PropertyRefused("only a picture box holds a picture");
}

void Control::setPicture(std::uintptr_t handle) {
    if (handle == picture_) return;
    if (peer_) peer_->setPicture(handle);
    picture_ = handle;
}

void Control::setValue(int percent) {
    if (percent == value_) return;
    if (peer_) peer_->setValue(percent);
    value_ = percent;
}

double Control::left() const {
    Rect live;
    return peer_ && peer_->liveGeometry(live) ? live.left : geometry_.left;
}
double Control::top() const {
    Rect live;
    return peer_ && peer_->liveGeometry(live) ? live.top : geometry_.top;
}
double Control::width() const {
    Rect live;
    return peer_ && peer_->liveGeometry(live) ? live.width : geometry_.width;
}
double Control::height() const {
    Rect live;
    return peer_ && peer_->liveGeometry(live) ? live.height : geometry_.height;
}

void Control::setLeft(double twips) {
    if (twips == geometry_.left) return;
    geometry_.left = peer_ ? peer_->setLeft(twips) : twips;
}
void Control::setTop(double twips) {
    if (twips == geometry_.top) return;
    geometry_.top = peer_ ? peer_->setTop(twips) : twips;
}
void Control::setWidth(double twips) {
    if (twips == geometry_.width) return;
    geometry_.width = peer_ ? peer_->setWidth(twips) : twips;
}
void Control::setHeight(double twips) {
    if (twips == geometry_.height) return;
    geometry_.height = peer_ ? peer_->setHeight(twips) : twips;
}

}  // namespace vk
