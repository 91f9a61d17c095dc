// The toolkit contract on real Win32 windows and the real message loop,
// under Wine on a private X display (tests/win32/with_display.sh).
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <utility>

#include "ToolkitContract.h"
#include "platform/LoopDriver.h"
// After the portable headers: they must sit beside the SDK's names.
#include <windows.h>

#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/Win32TrayShell.h"
#include "platform/win32/Win32WakeTimer.h"

namespace vk::contract {
namespace {

// The windows, the loop and the message boxes; the services play no part.
struct Win32Pieces {
    SteadyClock clock;
    Dispatcher dispatcher{clock};
    win32::Win32WakeTimer wakeTimer{GetModuleHandleA(nullptr)};
    LoopDriver loop{dispatcher, clock, wakeTimer};
    win32::Win32Toolkit toolkit{GetModuleHandleA(nullptr), loop};
    win32::Win32MessageBoxes boxes{toolkit};
};

// The harness's timer callback for the next box: one at a time. What the
// user does meanwhile runs, then OK, unless that closed the box already.
std::function<void()> gBoxAnswer;
win32::Win32MessageBoxes* gBoxes = nullptr;

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const std::function<void()> answer = std::move(gBoxAnswer);
    gBoxAnswer = nullptr;
    if (answer) answer();
    if (gBoxes) gBoxes->dismissOpen();
}

// The shell the tray is handed: the real one, with a note of every entry it
// took. On the test display (Wine, no tray host) the real shell answers
// adds and deletes as a shell does, a second add or delete refused, but it
// keeps its entries in Wine's explorer, out of the test's sight: what the
// entry shows and where the user's activations go is read from the notes.
// (It also took an add for a window that does not exist: Win32TrayShell
// refuses that one itself.)
// Keyed as the portable record names an entry: the window handle's 32 bits
// and the id.
std::map<std::pair<std::uint32_t, UINT>, NOTIFYICONDATAA> gShellEntries;

BOOL WINAPI notingShell(DWORD message, PNOTIFYICONDATAA record) {
    const BOOL result = Shell_NotifyIconA(message, record);
    const std::pair<std::uint32_t, UINT> key{
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->hWnd)), record->uID};
    if (result && message == NIM_ADD) gShellEntries[key] = *record;
    if (result && message == NIM_DELETE) gShellEntries.erase(key);
    return result;
}

const NOTIFYICONDATAA* shellEntry(std::uint32_t hWnd, std::uint32_t id) {
    const auto it = gShellEntries.find({hWnd, id});
    return it == gShellEntries.end() ? nullptr : &it->second;
}

class Win32Harness : public ToolkitHarness {
  public:
    Win32Harness() { gShellEntries.clear(); }
    Dispatcher& dispatcher() override { return w.dispatcher; }
    Toolkit& toolkit() override { return w.toolkit; }
    MessageBoxes& boxes() override { return w.boxes; }
    TrayShell& tray() override { return tray_; }
    bool boxOpen() override { return w.boxes.open(); }
    double twipsPerPixel() override { return w.toolkit.twipsPerPixel(); }

    Pixels pixels(const Form& form, const std::string& control) override {
        const HWND h = window(form, control);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    Pixels insideArea(const Form& form, const std::string& control) override {
        // The client area, and its origin within the window's rectangle.
        const HWND h = window(form, control);
        RECT outer;
        RECT client;
        GetWindowRect(h, &outer);
        GetClientRect(h, &client);
        POINT origin{0, 0};
        ClientToScreen(h, &origin);
        return {origin.x - outer.left, origin.y - outer.top, client.right, client.bottom};
    }
    Pixels pixelsFromContainerCorner(const Form& form, const std::string& control) override {
        RECT r;
        RECT container;
        GetWindowRect(window(form, control), &r);
        GetWindowRect(window(form, form[control].def().parent), &container);
        return {r.left - container.left, r.top - container.top, r.right - r.left, r.bottom - r.top};
    }
    Pixels outerFrame(const Form& form) override {
        RECT r;
        GetWindowRect(w.toolkit.window(form), &r);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    std::string shownText(const Form& form, const std::string& control) override {
        char text[256] = {};
        GetWindowTextA(window(form, control), text, sizeof text);
        return text;
    }
    bool shown(const Form& form, const std::string& control) override {
        // The control itself, whether or not its window is shown.
        return (GetWindowLongA(window(form, control), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    bool enabledOnScreen(const Form& form, const std::string& control) override {
        return IsWindowEnabled(window(form, control)) != 0;
    }
    bool checkedOnScreen(const Form& form, const std::string& menu) override {
        // The entry as its menu shows it.
        const HMENU holder = w.toolkit.menu(form, form[menu].def().parent);
        const UINT state = GetMenuState(holder, w.toolkit.commandId(form, menu), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
    }
    bool windowGone(const Form& form) override {
        return !w.toolkit.window(form) && !IsWindow(shownWindow_);
    }
    std::optional<ShownTrayEntry> trayEntry(std::uint32_t hWnd, std::uint32_t id) override {
        const NOTIFYICONDATAA* record = shellEntry(hWnd, id);
        if (!record) return std::nullopt;
        NotifyIconData fields;
        fields.szTip = std::string(record->szTip, kTipLength);
        ICONINFO icon{};
        const bool drawable = (record->uFlags & NIF_ICON) && GetIconInfo(record->hIcon, &icon);
        if (icon.hbmMask) DeleteObject(icon.hbmMask);
        if (icon.hbmColor) DeleteObject(icon.hbmColor);
        return ShownTrayEntry{shownTip(fields), drawable};
    }

    void showActive(Form& form) override {
        form.window().peer()->setVisible(true);
        shownWindow_ = w.toolkit.window(form);
        SetForegroundWindow(shownWindow_);
        ASSERT_TRUE(runUntil([&] { return GetForegroundWindow() == shownWindow_; }, 5000));
    }
    void clickButton(Form& form, const std::string& control) override {
        SendMessageA(window(form, control), BM_CLICK, 0, 0);
    }
    void pressShortcut(Form&, const std::string& keys) override {
        // Typed on the keyboard: the keys reach whatever window has the
        // focus, and the shortcut acts only if the loop takes it there.
        std::vector<WORD> held;
        std::string rest = keys;
        for (std::size_t plus; (plus = rest.find('+')) != std::string::npos;) {
            const std::string modifier = rest.substr(0, plus);
            held.push_back(modifier == "Ctrl"  ? VK_CONTROL
                           : modifier == "Alt" ? VK_MENU
                                               : VK_SHIFT);
            rest = rest.substr(plus + 1);
        }
        const WORD key = rest.size() > 1 && rest[0] == 'F'
                             ? static_cast<WORD>(VK_F1 + std::stoi(rest.substr(1)) - 1)
                             : static_cast<WORD>(rest[0]);
        type(held, key, keys);
    }
    void chooseMenuEntry(Form& form, const std::string& menu) override {
        // As the menu sends the choice.
        const UINT id = w.toolkit.commandId(form, menu);
        if (!id) throw std::logic_error("no command for " + menu);
        SendMessageA(w.toolkit.window(form), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    void choosePopupEntry(Form& form, const std::string&, const std::string& entry) override {
        // The pop-up's own loop would wait for the user: the choice is sent
        // as the menu sends it.
        chooseMenuEntry(form, entry);
    }
    void doubleClick(Form& form, const std::string& control, int x, int y) override {
        // The real mouse: the system finds the window under the pointer.
        POINT at{x, y};
        ClientToScreen(window(form, control), &at);
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        std::vector<INPUT> inputs;
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = MulDiv(at.x, 65535, width - 1);
        move.mi.dy = MulDiv(at.y, 65535, height - 1);
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        inputs.push_back(move);
        for (DWORD flag :
             {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT click = move;
            click.mi.dwFlags = flag | MOUSEEVENTF_ABSOLUTE;
            inputs.push_back(click);
        }
        // Done once the second release has been through the loop: the
        // double-click comes before it.
        const int ups = leftUps_ + 2;
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        EXPECT_TRUE(runUntil([&] { return leftUps_ >= ups; }, 5000))
            << "the clicks on " << control << " never reached the loop";
    }
    void pressCloseBox(Form& form) override {
        // What the close box sends.
        SendMessageA(w.toolkit.window(form), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    void restoreByUser(Form& form) override {
        // What the taskbar does.
        ShowWindow(w.toolkit.window(form), SW_RESTORE);
    }
    void activateTrayEntry(std::uint32_t hWnd, std::uint32_t id, TrayActivation how) override {
        // As the shell: the record's callback message to the record's
        // window, the mouse message in lParam.
        const NOTIFYICONDATAA* record = shellEntry(hWnd, id);
        if (!record || !(record->uFlags & NIF_MESSAGE)) return;
        PostMessageA(record->hWnd, record->uCallbackMessage, record->uID,
                     static_cast<LPARAM>(shellMouseMessage(how)));
    }
    void pressDialogKey(Form&, bool enter) override {
        type({}, enter ? VK_RETURN : VK_ESCAPE, enter ? "Enter" : "Esc");
    }
    void answerNextBox(int afterMs, std::function<void()> meanwhile) override {
        // A thread timer: the box's own loop dispatches it.
        gBoxAnswer = std::move(meanwhile);
        gBoxes = &w.boxes;
        SetTimer(nullptr, 0, static_cast<UINT>(afterMs), answerBox);
    }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        const std::int64_t deadline = w.clock.nowMs() + timeoutMs;
        while (!done()) {
            const std::int64_t left = deadline - w.clock.nowMs();
            if (left <= 0) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
            MSG msg;
            while (!done() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if ((msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) &&
                    msg.wParam == watchedKey_) {
                    lastKeyUp_ = true;
                }
                if (msg.message == WM_LBUTTONUP) ++leftUps_;
                w.toolkit.process(msg);
            }
        }
        return true;
    }
    std::int64_t nowMs() override { return w.clock.nowMs(); }
    void postLater(Form& form, const std::string& control, EventType type) override {
        w.loop.postLater(form, control, type);
    }

  private:
    // Types `key` with the modifiers `held` down, and returns once the last
    // key's release has been through the loop; a test whose keys never get
    // there fails.
    void type(const std::vector<WORD>& held, WORD key, const std::string& what) {
        std::vector<INPUT> inputs;
        const auto add = [&](WORD vk, bool up) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        };
        for (WORD m : held) add(m, false);
        add(key, false);
        add(key, true);
        for (auto it = held.rbegin(); it != held.rend(); ++it) add(*it, true);
        lastKeyUp_ = false;
        watchedKey_ = held.empty() ? key : held.front();
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        EXPECT_TRUE(runUntil([&] { return lastKeyUp_; }, 5000))
            << "the keys of " << what << " never reached the loop";
    }
    HWND window(const Form& form, const std::string& control) {
        const HWND h = w.toolkit.control(form, control);
        if (!h) throw std::logic_error("no window for " + control);
        return h;
    }

    Win32Pieces w;
    win32::Win32TrayShell tray_{w.toolkit, notingShell};
    HWND shownWindow_ = nullptr;
    bool lastKeyUp_ = false;
    int leftUps_ = 0;  // left-button releases through the loop
    WPARAM watchedKey_ = 0;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ToolkitContract, Win32Harness);

}  // namespace
}  // namespace vk::contract
