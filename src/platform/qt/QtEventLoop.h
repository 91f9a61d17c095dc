#pragma once
// The glue between Qt's event loop and the dispatcher: one precise
// single-shot QTimer, re-armed for the dispatcher's next wake-up, pumps the
// dispatcher when it fires. Widgets post what happened through post(), which
// delivers at once unless a handler is running.
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <string_view>

#include "platform/Dispatcher.h"

namespace vk::qt {

// Milliseconds of a clock that never goes back.
class QtClock : public Clock {
  public:
    std::int64_t nowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

class QtEventLoop {
  public:
    QtEventLoop(Dispatcher& dispatcher, Clock& clock);
    ~QtEventLoop();
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    // Posts an event for a control and delivers what is due.
    void post(Form& form, std::string_view control, EventType type, const EventArgs& args = {});

    // Delivers what is due and re-arms the wake-up. While a handler runs
    // (a modal box's own loop calls back in here) it does nothing: the
    // outermost pump re-arms once the handler has returned. Schedule changes
    // outside a pump (a window loading) re-arm at once.
    void pump();

    // Arms the wake-up for the dispatcher's next due time, or stops it.
    void rearm();

    // Posts an event for delivery from the loop's next wake-up, outside
    // whatever Qt is doing now.
    void postLater(Form& form, std::string_view control, EventType type,
                   const EventArgs& args = {});

    Dispatcher& dispatcher() { return dispatcher_; }
    const Clock& clock() const { return clock_; }

    // Wake-ups taken, for tests and the CPU measurement.
    std::uint64_t wakeUps() const { return wakeUps_; }

  private:
    Dispatcher& dispatcher_;
    Clock& clock_;
    QTimer timer_;
    std::uint64_t wakeUps_ = 0;
    bool pumping_ = false;
};

}  // namespace vk::qt
