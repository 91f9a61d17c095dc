#pragma once
// The Win32 backend's wake-up for the loop driver: one window timer on a
// message-only window of its own, re-armed to the dispatcher's next due
// time. A wake-up due now is a posted message instead, since a window timer
// waits at least 10 ms. Both arrive through whatever loop runs, a modal
// box's or a menu's included.
#include <windows.h>

#include "platform/LoopDriver.h"
#include "platform/win32/Win32Messages.h"

namespace vk::win32 {

class Win32WakeTimer : public WakeTimer {
  public:
    explicit Win32WakeTimer(HINSTANCE instance);
    ~Win32WakeTimer() override;
    Win32WakeTimer(const Win32WakeTimer&) = delete;
    Win32WakeTimer& operator=(const Win32WakeTimer&) = delete;

    void start(std::int64_t delayMs) override;
    void stop() override;

    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kWakeMessage = PrivateMessage::Wake;

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // True when the message was the wake-up.
    bool handle(UINT message, WPARAM wParam);

    HWND window_ = nullptr;
    bool posted_ = false;  // a wake-up message is on its way
    bool armed_ = false;   // the window timer runs
    bool firing_ = false;  // inside the window timer's own wake-up
    UINT period_ = 0;      // what the window timer repeats at, 0 when it is off
};

}  // namespace vk::win32
