#pragma once
// One control of a window: its properties, read and written by the logic.
// The property values live here; a backend's peer mirrors them on screen and
// may refuse a value (throwing PropertyRefused) or snap it to whole pixels.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ControlDef.h"

namespace vk {

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
};

// A window's state on the desktop. A minimised window is still Visible: it
// stays on the taskbar and in the window list.
enum class WindowState : std::uint8_t { Normal, Minimized };

// The backend side of a control. Every setter may throw; geometry setters
// return the value the screen really took.
class ControlPeer {
  public:
    virtual ~ControlPeer() = default;
    virtual void setCaption(const std::string&) {}
    virtual void setVisible(bool) {}
    virtual void setEnabled(bool) {}
    virtual void setChecked(bool) {}
    virtual double setLeft(double twips) { return twips; }
    virtual double setTop(double twips) { return twips; }
    virtual double setWidth(double twips) { return twips; }
    virtual double setHeight(double twips) { return twips; }
    // Windows: the outer frame as the screen has it now (the user may have
    // moved it); other controls report nothing and the model is the truth.
    virtual bool liveGeometry(Rect&) const { return false; }
    // Windows: minimise or restore.
    virtual void setWindowState(WindowState) {}
    // Windows: the state the screen has now (the user may have minimised or
    // restored the window); false where the model is the truth.
    virtual bool liveWindowState(WindowState&) const { return false; }
    // The native handle of the control's window, 0 where there is none.
    virtual std::uintptr_t handle() const { return 0; }
    // Windows: the handle of the icon the toolkit gave the window (its Icon
    // property), 0 where there is none.
    virtual std::uintptr_t iconHandle() const { return 0; }
    // Picture boxes: hold the picture with this handle (an icon handle), or
    // none for 0. Every other control refuses a picture (PropertyRefused).
    virtual void setPicture(std::uintptr_t handle);
    // Meters: the share they show, in whole percent (0 to 100). Seen only by
    // assistive technology; a backend announces it, so it comes only when
    // it changes.
    virtual void setValue(int) {}
};

class Control {
  public:
    explicit Control(const ControlDef& def);

    const std::string& name() const { return def_.name; }
    ControlKind kind() const { return def_.kind; }
    const ControlDef& def() const { return def_; }

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& text);

    bool visible() const { return visible_; }
    void setVisible(bool on);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    bool checked() const { return checked_; }
    void setChecked(bool on);

    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    // Windows: normal or minimised, as the screen has it.
    WindowState windowState() const;
    void setWindowState(WindowState state);

    // The free text slot every control has.
    const std::string& tag() const { return tag_; }
    void setTag(const std::string& text) { tag_ = text; }

    int intervalMs() const { return def_.intervalMs; }
    std::uintptr_t handle() const { return peer_ ? peer_->handle() : 0; }

    // Windows: the handle of the window's icon, 0 while it has none.
    std::uintptr_t icon() const { return peer_ ? peer_->iconHandle() : 0; }
    // Picture boxes: the handle of the picture held, 0 for none (as at load).
    std::uintptr_t picture() const { return picture_; }
    void setPicture(std::uintptr_t handle);

    // Meters: the share shown in whole percent, -1 until the first is set.
    int value() const { return value_; }
    void setValue(int percent);

    // The backend attaches its peer once the widget exists; nullptr detaches.
    void attachPeer(ControlPeer* peer) { peer_ = peer; }
    ControlPeer* peer() const { return peer_; }

  private:
    const ControlDef& def_;
    ControlPeer* peer_ = nullptr;
    std::string caption_;
    std::string tag_;
    bool visible_;
    bool enabled_;
    bool checked_ = false;
    WindowState windowState_ = WindowState::Normal;
    std::uintptr_t picture_ = 0;
    int value_ = -1;
    Rect geometry_;
};

}  // namespace vk
