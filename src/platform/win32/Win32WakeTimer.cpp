#include "platform/win32/Win32WakeTimer.h"

#include "platform/Errors.h"

namespace vk::win32 {
namespace {

constexpr const char* kWakeClass = "VelkromWake";

}  // namespace

Win32WakeTimer::Win32WakeTimer(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.lpszClassName = kWakeClass;
    // Registered by the first timer of the process; later ones find it.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw ServiceError("cannot register the wake-up's window class");
    }
    // Message-only: never shown, never enumerated, reached by every message
    // loop of the thread.
    window_ =
        CreateWindowExA(0, kWakeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!window_) throw ServiceError("cannot create the wake-up's window");
}

Win32WakeTimer::~Win32WakeTimer() {
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32WakeTimer::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* timer = reinterpret_cast<Win32WakeTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (timer && timer->handle(message, wParam)) return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Win32WakeTimer::start(std::int64_t delayMs) {
    if (delayMs <= 0) {
        stop();
        // One posted wake-up at a time is enough: it pumps all that is due.
        if (!posted_) posted_ = PostMessageA(window_, kWakeMessage, 0, 0) != 0;
        return;
    }
    const auto delay = static_cast<UINT>(delayMs);
    // Re-armed from its own tick for about its own period (the refresh's
    // steady pace): a window timer repeats, and it comes back then anyway,
    // within 2 ms of the time asked. Setting it again would cost a call to
    // the system (under Wine a request to its server) on every tick.
    if (firing_ && period_ != 0 && delay <= period_ && delay + 2 >= period_) {
        armed_ = true;
        return;
    }
    // Replaces the timer when one is armed: one call to the system.
    SetTimer(window_, kTimerId, delay, nullptr);
    armed_ = true;
    period_ = delay;
}

void Win32WakeTimer::stop() {
    KillTimer(window_, kTimerId);
    armed_ = false;
    period_ = 0;
}

bool Win32WakeTimer::handle(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        // A window timer repeats; this one is single-shot. The wake-up
        // nearly always re-arms it (a replacement, no kill needed); only
        // when it does not is the timer killed.
        armed_ = false;
        firing_ = true;
        if (onFire) onFire();
        firing_ = false;
        if (!armed_) {
            KillTimer(window_, kTimerId);
            period_ = 0;
        }
        return true;
    }
    if (message == kWakeMessage) {
        posted_ = false;
        if (onFire) onFire();
        return true;
    }
    return false;
}

}  // namespace vk::win32
