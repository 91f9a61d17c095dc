#pragma once
// The deterministic platform every behaviour is tested on: a virtual clock
// that drives the timers exactly, scripted memory figures, recorded tray
// records and message boxes, an in-memory registry, and widgets that keep
// geometry in twips snapped to whole pixels as a screen would.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/Twips.h"

namespace vk::sim {

class SimClock : public Clock {
  public:
    std::int64_t nowMs() const override { return now_; }
    void set(std::int64_t ms) { now_ = ms; }

  private:
    std::int64_t now_ = 0;
};

// A widget stand-in: keeps what a screen would show, with geometry snapped
// to its pixel grid as every backend does; can refuse values.
class SimPeer : public ControlPeer {
  public:
    // `pictures`: the handles a picture box takes (the toolkit's icons).
    SimPeer(const Control& control, double twipsPerPixel, const std::set<std::uintptr_t>& pictures)
        : control_(control), scale_(twipsPerPixel), pictures_(pictures) {}
    void setCaption(const std::string& text) override {
        check();
        text_ = text;
    }
    void setVisible(bool on) override {
        check();
        shown = on;
    }
    void setEnabled(bool on) override {
        check();
        enabled_ = on;
    }
    void setChecked(bool on) override {
        check();
        checked_ = on;
    }
    void setWindowState(WindowState state) override {
        check();
        minimized = state == WindowState::Minimized;
    }
    bool liveWindowState(WindowState& state) const override {
        state = minimized ? WindowState::Minimized : WindowState::Normal;
        return true;
    }
    double setLeft(double twips) override { return snap(twips, false, pixels.left); }
    double setTop(double twips) override { return snap(twips, false, pixels.top); }
    double setWidth(double twips) override { return snap(twips, true, pixels.width); }
    double setHeight(double twips) override { return snap(twips, true, pixels.height); }
    std::uintptr_t handle() const override { return handle_; }
    std::uintptr_t iconHandle() const override { return icon_; }
    // As the real toolkits: a picture box takes none (0) or a known icon.
    void setPicture(std::uintptr_t handle) override;

    const std::string& text() const { return text_; }
    bool enabledOnScreen() const { return enabled_; }
    struct Pixels {
        int left = 0, top = 0, width = 0, height = 0;
    };
    // Where the control's children are shown and clipped: inside its border
    // (a sunken one is two pixels wide, a single line one), in pixels from
    // its outer corner.
    Pixels insideArea() const;
    bool checkedOnScreen() const { return checked_; }

    bool refuse = false;     // every property call throws PropertyRefused
    bool shown = false;      // what the screen shows (windows start unshown)
    bool minimized = false;  // windows: on the taskbar only
    Pixels pixels;           // the place on screen, in its container's client area
    std::uintptr_t handle_ = 0;
    std::uintptr_t icon_ = 0;  // windows: their icon's handle

  private:
    void check() const;
    double snap(double twips, bool isSize, int& shownPixels);
    const Control& control_;
    PixelScale scale_;
    const std::set<std::uintptr_t>& pictures_;
    std::string text_;
    bool enabled_ = true;
    bool checked_ = false;
};

class SimToolkit : public Toolkit {
  public:
    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void popupMenu(Form& form, const std::string& menu) override;
    void quit() override { ++quits; }

    // The user presses a shortcut ("Ctrl+F", "F1") in a window: the menu
    // entry that carries it is chosen, as long as the window, the entry and
    // every menu above it are enabled. False when nothing took the keys.
    bool pressShortcut(Form& form, const std::string& keys, Dispatcher& dispatcher);

    // The user chooses a menu entry, from the menu bar or from a pop-up: it
    // is chosen as long as it and every menu above it are enabled and, under
    // the menu bar, the window takes input. False when it was dead.
    bool chooseMenuEntry(Form& form, const std::string& menu, Dispatcher& dispatcher);

    // The user clicks the window's close box: the window asks the logic
    // with a CloseRequest, unless it takes no input. False then.
    bool closeByUser(Form& form, Dispatcher& dispatcher);

    // Enter (true) or Esc (false) in the window: presses its default or
    // cancel button when the window and the button take input.
    bool pressDialogKey(Form& form, bool enter, Dispatcher& dispatcher);

    // The user brings the minimised window back from the taskbar; the
    // window reports it as its Restore event. False when it was not minimised.
    bool restoreByUser(Form& form, Dispatcher& dispatcher);

    // The peer of a control of a loaded window (nullptr when none).
    SimPeer* peer(const Control& control);
    // What a native handle names: a control of a loaded window.
    struct Target {
        Form* form;
        std::string control;
    };
    std::optional<Target> findHandle(std::uintptr_t handle) const;
    // Whether a handle names an icon of the toolkit's.
    bool isIcon(std::uintptr_t handle) const { return icons_.count(handle) > 0; }

    double twipsPerPixel = 15;        // 96 DPI
    std::vector<std::string> popups;  // "form/menu" per opening
    std::vector<std::string> created;
    std::vector<std::string> destroyed;
    int quits = 0;

  private:
    std::map<const Control*, std::unique_ptr<SimPeer>> peers_;
    std::map<std::uintptr_t, Target> handles_;
    std::set<std::uintptr_t> icons_;  // the windows' icons: what a picture box takes
    std::uintptr_t nextHandle_ = 0x1000;
};

class SimMemory : public MemorySource {
  public:
    void query(MemoryStatus& record) override;
    // Sets the figures in whole megabytes.
    void setMB(std::uint64_t totalPhys, std::uint64_t freePhys, std::uint64_t totalPage,
               std::uint64_t freePage);
    MemoryStatus status;
    int queries = 0;
    bool fail = false;
    // Called before each query answers; may change `status`.
    std::function<void(int queryNumber, MemoryStatus&)> script;
};

class SimBlock : public Block {
  public:
    SimBlock(std::size_t size, int& live) : size_(size), live_(live) { ++live_; }
    ~SimBlock() override { --live_; }
    std::size_t size() const override { return size_; }

  private:
    std::size_t size_;
    int& live_;
};

class SimAllocator : public BlockAllocator {
  public:
    std::unique_ptr<Block> allocateAndFill(std::size_t bytes) override;
    int allocations = 0;
    int liveBlocks = 0;
    std::size_t lastSize = 0;
    bool fail = false;
    // Called while the block is held, before it returns to the caller.
    std::function<void()> whileAllocating;
};

// As the shell: an entry belongs to a window of the toolkit's, and what the
// user does to it goes to that window as the record's callback message.
class SimTray : public TrayShell {
  public:
    struct Call {
        std::uint32_t message;
        NotifyIconBytes record;
    };
    explicit SimTray(const SimToolkit& toolkit) : toolkit_(toolkit) {}
    std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) override;
    bool entryShown(const NotifyIconBytes& record) const override;
    // The user acts on the entry of a window handle and id: its window hears
    // `mouseMessage` as a mouse move, when its record asks for mouse moves.
    // False when there is no such entry or its record asks for none.
    bool activate(std::uint32_t hWnd, std::uint32_t id, std::uint32_t mouseMessage,
                  Dispatcher& dispatcher) const;
    std::vector<Call> calls;
    // 0: every call fails and nothing is kept.
    std::int32_t result = 1;
    // A notification area is there. Without one an add is kept but fails;
    // the entry shows once a host is there again.
    bool hostPresent = true;
    // Entries kept, keyed by window handle and id, with the record they
    // were added with, as a shell keeps them.
    std::map<std::pair<std::uint32_t, std::uint32_t>, NotifyIconData> entries;

  private:
    const SimToolkit& toolkit_;
};

class SimBoxes : public MessageBoxes {
  public:
    struct Box {
        std::string text, title;
        BoxIcon icon;
        bool dismissed = false;  // closed by dismissOpen, not by the user's OK
    };
    void show(const std::string& text, const std::string& title, BoxIcon icon) override;
    bool dismissOpen() override;
    bool open() const { return open_; }
    std::vector<Box> shown;
    // Runs while the box waits; the user presses OK after it, unless the box
    // was dismissed meanwhile.
    std::function<void(const Box&)> whileOpen;

  private:
    bool open_ = false;
};

class SimRegistry : public Registry {
  public:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    std::int32_t openKey(std::uint32_t root, const std::string& key, std::uint32_t access,
                         std::uint32_t& handle) override;
    std::int32_t queryValue(std::uint32_t handle, const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    std::int32_t closeKey(std::uint32_t handle) override;

    void setString(const std::string& key, const std::string& name, const std::string& text,
                   bool withTerminator = true);
    void setValue(const std::string& key, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> data);

    std::map<std::string, std::map<std::string, Value>> keys;  // under RegRoot::LocalMachine
    bool denyOpen = false;
    std::vector<std::string> log;  // "open KEY", "query NAME", "close H"
    std::vector<std::uint32_t> lastAccess;

  private:
    std::map<std::uint32_t, std::string> open_;
    std::uint32_t nextHandle_ = 0x100;
};

class SimPrograms : public Programs {
  public:
    bool isOrdinaryFile(const std::string& path) override;
    void start(const std::string& path) override;
    std::set<std::string> files;
    std::set<std::string> unstartable;
    std::vector<std::string> started;
    std::vector<std::string> probed;
};

// Everything together, with the services wired to one dispatcher.
class SimPlatform {
  public:
    explicit SimPlatform(std::string commandLine = "");

    // Moves the virtual clock forward, delivering every timer tick and event
    // that comes due on the way, in order. Inside a handler (a modal box is
    // open) it only moves the clock and collects the ticks, which wait.
    void advance(std::int64_t ms);
    // Delivers what is waiting now.
    void settle();
    // Posts an event to a control of a form and delivers it (unless busy).
    void post(Form& form, const std::string& control, EventType type, const EventArgs& args = {});
    void click(Form& form, const std::string& control) { post(form, control, EventType::Click); }

    std::int64_t now() const { return clock.nowMs(); }

    SimClock clock;
    Dispatcher dispatcher{clock};
    SimToolkit toolkit;
    SimMemory memory;
    SimAllocator allocator;
    SimTray tray{toolkit};
    SimBoxes boxes;
    SimRegistry registry;
    SimPrograms programs;
    Services services;
};

}  // namespace vk::sim
