#pragma once
// The window toolkit on plain Win32: builds the windows of any definition,
// attaches a peer to each control and turns what the user does into
// dispatcher events. Everything runs on the thread that created it.
//
// Besides the forms' windows there is one hidden top-level window, the
// anchor: it owns the windows that have no taskbar button and the pop-up
// menus and hears the shell's broadcasts.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FormBinding.h"
#include "platform/LoopDriver.h"
#include "platform/Toolkit.h"
#include "platform/Twips.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32Menus.h"

namespace vk::win32 {

struct Node;
struct Loaded;

class Win32Toolkit : public Toolkit {
  public:
    // The windows post what happens through `loop`. `dpi` overrides the
    // screen's logical DPI (tests); 0 asks the screen.
    Win32Toolkit(HINSTANCE instance, LoopDriver& loop, int dpi = 0);
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void popupMenu(Form& form, const std::string& menu) override;
    void quit() override;
    bool quitRequested() const { return quit_; }

    // Runs the message loop until quit(). Returns at once when the program
    // has ended already.
    void run();
    // What the loop does with one message it got: the dialog keys of
    // windows with buttons and the shortcut keys of enabled windows first,
    // else the message goes to its window. Windows destroyed meanwhile are
    // freed afterwards. Only the outermost loop calls this.
    void process(MSG& msg);
    // The first half of that: true when the message was taken as a key.
    bool translate(MSG& msg);

    double twipsPerPixel() const { return scale_.twipsPerPixel(); }
    int dpi() const { return dpi_; }
    HICON programIcon() const { return icon_; }
    HWND anchor() const { return anchor_; }

    // The windows of a loaded form, for tests and the shells: the window,
    // a control's window, and the menu a menu entry opens.
    HWND window(const Form& form) const;
    HWND control(const Form& form, std::string_view name) const;
    HMENU menu(const Form& form, std::string_view name) const;
    // The command id a menu entry's choice sends; 0 for none.
    UINT commandId(const Form& form, std::string_view name) const;
    // The program's main window: the loaded window with a taskbar button.
    HWND mainWindow() const;
    // What a window handle names: a control of a loaded form.
    struct Target {
        BindingPtr binding;
        std::string control;
    };
    std::optional<Target> findWindow(HWND window) const;

    // Told when another program or the session asks a window to close (see
    // Win32EndRequests.h); true when it took the request, else the window is
    // asked to close as its close box asks.
    std::function<bool(Form&)> onEndRequest;
    // Told when the shell's notification area has been (re)created.
    std::function<void()> onTaskbarCreated;
    // Told when the session ends while a handler waits in a modal box: the
    // process may end as soon as the system has been answered, before the
    // handler can finish and the window unload, so the tray entries go now.
    std::function<void()> onSessionEndWhileBusy;

    // What a window of ours does with a message (Win32WindowProc.h).
    LRESULT handle(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // The message handling, in Win32WindowProc.cpp.
    LRESULT handleAnchor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleTopLevel(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void command(WPARAM wParam, LPARAM lParam);
    void menuCommand(UINT id);
    void colourStatic(HWND control, HDC dc, LRESULT& brush);
    // A request from outside to end the program (taskkill's WM_CLOSE, the
    // session's end) on one of the windows.
    void requestEndFrom(Node& node);
    void openPopup(HMENU menu, POINT at);
    void syncDefaultButton(Loaded& loaded);
    // The windows of the forms, in Win32Toolkit.cpp.
    Loaded* loaded(const Form& form) const;
    Loaded* loadedOf(HWND topLevel) const;
    void build(Form& form, Loaded& record);
    HWND createTopLevel(Form& form, Loaded& record);
    UINT newCommandId();

    HINSTANCE instance_;
    int dpi_;
    PixelScale scale_;
    Fonts fonts_;
    LoopDriver& loop_;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::unique_ptr<Node> anchorNode_;
    HWND anchor_ = nullptr;
    // The window of ours the user last worked in (last activated).
    HWND lastActive_ = nullptr;
    struct PendingPopup {
        BindingPtr binding;
        std::string menu;
        POINT at;
    };
    std::optional<PendingPopup> pendingPopup_;
    UINT taskbarCreated_ = 0;
    std::map<const Form*, std::unique_ptr<Loaded>> windows_;
    // Records of destroyed windows, freed once the outermost loop is back:
    // a handler may destroy the window whose message it runs from.
    std::vector<std::unique_ptr<Loaded>> retired_;
    // Menu command ids in use, and what each names.
    std::map<UINT, Target> commands_;
    UINT nextCommand_ = kFirstCommand;
    bool quit_ = false;

    static constexpr UINT kFirstCommand = 0x1000;
    static constexpr UINT kLastCommand = 0x7FFF;
};

}  // namespace vk::win32
