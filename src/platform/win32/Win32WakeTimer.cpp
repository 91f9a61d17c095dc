#include "platform/win32/Win32WakeTimer.h"

namespace vk::win32 {

void Win32WakeTimer::start(std::int64_t delayMs) {
    if (delayMs <= 0) {
        stop();
        // One posted wake-up at a time is enough: it pumps all that is due.
        if (!posted_) posted_ = PostMessageA(window_, kWakeMessage, 0, 0) != 0;
        return;
    }
    // Replaces the timer when one is armed: one call to the system.
    SetTimer(window_, kTimerId, static_cast<UINT>(delayMs), nullptr);
    armed_ = true;
}

void Win32WakeTimer::stop() {
    KillTimer(window_, kTimerId);
    armed_ = false;
}

bool Win32WakeTimer::handle(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        // A window timer repeats; this one is single-shot. The wake-up
        // nearly always re-arms it (a replacement, no kill needed); only
        // when it does not is the timer killed.
        armed_ = false;
        if (loop_) loop_->onWake();
        if (!armed_) KillTimer(window_, kTimerId);
        return true;
    }
    if (message == kWakeMessage) {
        posted_ = false;
        if (loop_) loop_->onWake();
        return true;
    }
    return false;
}

}  // namespace vk::win32
