#include "platform/win32/Win32WakeTimer.h"

namespace vk::win32 {

void Win32WakeTimer::start(std::int64_t delayMs) {
    if (delayMs <= 0) {
        KillTimer(window_, kTimerId);
        // One posted wake-up at a time is enough: it pumps all that is due.
        if (!posted_) posted_ = PostMessageA(window_, kWakeMessage, 0, 0) != 0;
        return;
    }
    SetTimer(window_, kTimerId, static_cast<UINT>(delayMs), nullptr);
}

void Win32WakeTimer::stop() {
    KillTimer(window_, kTimerId);
}

bool Win32WakeTimer::handle(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        KillTimer(window_, kTimerId);  // single-shot: the driver re-arms
    } else if (message == kWakeMessage) {
        posted_ = false;
    } else {
        return false;
    }
    if (loop_) loop_->onWake();
    return true;
}

}  // namespace vk::win32
