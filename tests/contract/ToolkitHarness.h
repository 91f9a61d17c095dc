#pragma once
// What a toolkit's tests offer the contract suite: its platform pieces, a
// look at what the screen shows, the user's hands and the real event loop.
// One harness per toolkit (sim, Qt, Win32) runs the same contract.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/ControlDef.h"
#include "platform/Dispatcher.h"
#include "platform/MessageBox.h"
#include "platform/NotifyIcon.h"
#include "platform/Toolkit.h"
#include "platform/TrayActivation.h"
#include "platform/TrayShell.h"

namespace vk::contract {

struct Pixels {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Pixels&, const Pixels&) = default;
};

// A notification-area entry as the user sees it.
struct ShownTrayEntry {
    std::string tip;
    bool icon = false;  // it shows a picture
};

class ToolkitHarness {
  public:
    virtual ~ToolkitHarness() = default;

    virtual Dispatcher& dispatcher() = 0;
    virtual Toolkit& toolkit() = 0;
    virtual MessageBoxes& boxes() = 0;
    // The toolkit's notification-area shell.
    virtual TrayShell& tray() = 0;
    // The screen's ratio; the contract's tables are for 96 DPI (15).
    virtual double twipsPerPixel() = 0;

    // The screen. A control's place in its container's client area (inside
    // any border), in pixels; its text; whether it is shown and enabled.
    virtual Pixels pixels(const Form& form, const std::string& control) = 0;
    // Where a control's children are shown and clipped: the area inside its
    // border, in pixels from its outer corner.
    virtual Pixels insideArea(const Form& form, const std::string& control) = 0;
    // A control's place from its container's outer corner, in pixels.
    virtual Pixels pixelsFromContainerCorner(const Form& form, const std::string& control) = 0;
    // The window's outer frame (title bar and borders included) in screen pixels.
    virtual Pixels outerFrame(const Form& form) = 0;
    virtual std::string shownText(const Form& form, const std::string& control) = 0;
    virtual bool shown(const Form& form, const std::string& control) = 0;
    virtual bool enabledOnScreen(const Form& form, const std::string& control) = 0;
    // A menu entry shows its check mark.
    virtual bool checkedOnScreen(const Form& form, const std::string& menu) = 0;
    // Nothing of the form's window is left on screen or behind it.
    virtual bool windowGone(const Form& form) = 0;
    // The entry the notification area shows for a window handle and id;
    // none when it shows none.
    virtual std::optional<ShownTrayEntry> trayEntry(std::uint32_t hWnd, std::uint32_t id) = 0;

    // The user. Shows the window and makes it the active one.
    virtual void showActive(Form& form) = 0;
    virtual void clickButton(Form& form, const std::string& control) = 0;
    virtual void chooseMenuEntry(Form& form, const std::string& menu) = 0;
    // Opens the top-level menu `popup` as a pop-up menu and chooses `entry` in it.
    virtual void choosePopupEntry(Form& form, const std::string& popup,
                                  const std::string& entry) = 0;
    // Double-clicks the left button at (x, y), in pixels of the control's
    // client area: whatever lies under the pointer there takes it.
    virtual void doubleClick(Form& form, const std::string& control, int x, int y) = 0;
    // Clicks the window's close box.
    virtual void pressCloseBox(Form& form) = 0;
    // Brings the minimised window back from the taskbar or the window list.
    virtual void restoreByUser(Form& form) = 0;
    // Clicks (Single, Double) or opens the context menu of (Context) the
    // tray entry of a window handle and id.
    virtual void activateTrayEntry(std::uint32_t hWnd, std::uint32_t id, TrayActivation how) = 0;
    // Types Enter (true) or Esc (false) into the active window.
    virtual void pressDialogKey(Form& form, bool enter) = 0;
    // A shortcut as the definitions spell it ("Ctrl+I", "F2").
    virtual void pressShortcut(Form& form, const std::string& keys) = 0;
    // The next modal box: once it has waited `afterMs` of the loop's time,
    // `meanwhile` runs (what the user does while it waits), then OK.
    virtual void answerNextBox(int afterMs, std::function<void()> meanwhile) = 0;
    // A modal box waits for its button now.
    virtual bool boxOpen() = 0;

    // The loop. Runs it until `done` holds; false after `timeoutMs` of the
    // loop's clock without.
    virtual bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000) = 0;
    virtual std::int64_t nowMs() = 0;
    // Posts an event for delivery from the loop, not at once.
    virtual void postLater(Form& form, const std::string& control, EventType type) = 0;
};

// The mouse message a Windows shell's callback carries for the user's
// activation of an entry: the release that completes it.
inline std::uint32_t shellMouseMessage(TrayActivation how) {
    switch (how) {
        case TrayActivation::Context:
            return MouseMessage::RightUp;
        case TrayActivation::Double:
            return MouseMessage::LeftDoubleClick;
        default:
            return MouseMessage::LeftUp;
    }
}

// A window with one of everything the toolkits build, 15 twips to the
// pixel at 96 DPI.
WindowDef contractWindow();
// A small window whose hidden picture box "TrayIcon" hears its tray entry,
// as the program's main window has one.
WindowDef contractTrayWindow();

}  // namespace vk::contract
