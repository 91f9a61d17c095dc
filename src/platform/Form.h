#pragma once
// A loaded window: its controls built from the window's definition, looked up
// by name, and its event handlers, attached by control name and event.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Control.h"
#include "platform/ControlDef.h"

namespace vk {

// Restore: the user brought a minimised window back (from the taskbar or the
// window list); the logic's own restores raise nothing. TrayLost: the
// notification area that showed the tray entry has gone (its host ended),
// raised on the entry's notification target.
enum class EventType : std::uint8_t {
    Click,
    DblClick,
    MouseMove,
    Timer,
    CloseRequest,
    Restore,
    TrayLost
};

// What an event carries. Mouse events give button, shift and position in
// twips; tray notifications give the mouse message number they stand for.
struct EventArgs {
    int button = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
    std::uint32_t message = 0;
};

using Handler = std::function<void(const EventArgs&)>;

class Dispatcher;

class Form {
  public:
    // The window itself is control 0, named after the window; every control
    // of the definition follows in its order.
    explicit Form(const WindowDef& def);
    // A form that goes while attached to a dispatcher detaches itself.
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return def_.name; }
    const WindowDef& def() const { return def_; }

    Control& window() { return *controls_.front(); }
    const Control& window() const { return *controls_.front(); }

    // Throws std::out_of_range for an unknown name.
    Control& operator[](std::string_view name);
    const Control& operator[](std::string_view name) const;
    Control* find(std::string_view name);

    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // The window is gone (or was never built): every control's peer but the
    // timers' goes, and the properties are the model's alone again.
    void detachPeers();

    void on(std::string_view control, EventType type, Handler handler);
    // A handler that ignores its arguments.
    void on(std::string_view control, EventType type, std::function<void()> handler);
    const Handler* handler(const Control& control, EventType type) const;

  private:
    friend class Dispatcher;
    Dispatcher* dispatcher_ = nullptr;  // the one it is attached to
    WindowDef def_;
    ControlDef windowDef_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<std::string, Control*, std::less<>> byName_;
    std::map<std::pair<const Control*, EventType>, Handler> handlers_;
};

}  // namespace vk
