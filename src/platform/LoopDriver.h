#pragma once
// The glue between a backend's event loop and the dispatcher, the same for
// every backend: the backend supplies one wake-up timer and posts what
// happened; the driver pumps the dispatcher and re-arms the wake-up for its
// next due time. While a handler runs (a modal box's own loop may call back
// in here) nothing is pumped: the outermost pump re-arms once the handler
// has returned.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/Dispatcher.h"

namespace vk {

// Milliseconds of a clock that never goes back.
class SteadyClock : public Clock {
  public:
    std::int64_t nowMs() const override;
};

// The backend's one wake-up: a single-shot timer. When it fires the backend
// calls onFire, which the loop driver that uses the timer sets to its own
// onWake() for as long as it exists.
class WakeTimer {
  public:
    virtual ~WakeTimer() = default;
    // (Re)starts the timer to fire once after `delayMs` (0: as soon as the
    // backend's loop gets to it).
    virtual void start(std::int64_t delayMs) = 0;
    virtual void stop() = 0;

    std::function<void()> onFire;
};

class LoopDriver {
  public:
    LoopDriver(Dispatcher& dispatcher, Clock& clock, WakeTimer& timer);
    ~LoopDriver();
    LoopDriver(const LoopDriver&) = delete;
    LoopDriver& operator=(const LoopDriver&) = delete;

    // Posts an event for a control and delivers what is due.
    void post(Form& form, std::string_view control, EventType type, const EventArgs& args = {});
    // Posts an event for delivery from the loop's next wake-up, outside
    // whatever the backend is doing now. Held ticks that are due are
    // delivered at once (see Dispatcher): the event may be a window coming
    // back, which paints before the event is delivered.
    void postLater(Form& form, std::string_view control, EventType type,
                   const EventArgs& args = {});

    // Delivers what is due and re-arms the wake-up; does nothing while a
    // handler runs.
    void pump();
    // The backend's wake-up timer fired.
    void onWake();
    // Arms the wake-up for the dispatcher's next due time, or stops it; a
    // wake-up already armed for that time is left alone. Schedule changes
    // outside a pump (a window loading) re-arm at once.
    void rearm();

    Dispatcher& dispatcher() { return dispatcher_; }
    const Clock& clock() const { return clock_; }
    // Wake-ups taken, for tests and the CPU measurement.
    std::uint64_t wakeUps() const { return wakeUps_; }

  private:
    Dispatcher& dispatcher_;
    Clock& clock_;
    WakeTimer& timer_;
    std::uint64_t wakeUps_ = 0;
    bool pumping_ = false;
    // The due time the wake-up is armed for, while it waits for a later one.
    std::optional<std::int64_t> armedFor_;
    bool stopped_ = false;
};

}  // namespace vk
