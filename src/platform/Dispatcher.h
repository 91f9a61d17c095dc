#pragma once
// The one way events reach the logic. Backends post what happened (a click,
// a tray notification, a close request) and call pump(); the dispatcher
// delivers one event at a time, each handler running to its end before the
// next starts. While a handler runs (including while it waits in a modal
// message box's own loop) nothing is delivered: what arrives waits in the
// queue, in order. Window timers are scheduled here too, so every platform
// shares the same timing rules:
//  - an interval below 10 ms runs at 10 ms;
//  - ticks of one timer that pile up coalesce into one pending tick;
//  - disarming a timer drops its pending tick, arming it starts a fresh interval;
//  - a timer that only redraws (ControlDef::redrawsOnly) is held while no
//    window of the program can be seen: it stays armed, but its ticks wake
//    nobody. A tick that has fallen due is delivered right before the next
//    event of any other kind, so every handler, and the first paint of a
//    window shown again, sees what a timer that never slept would have left.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "platform/Form.h"

namespace vk {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class Dispatcher {
  public:
    static constexpr int kShortestPeriodMs = 10;

    explicit Dispatcher(Clock& clock);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Starts routing a form's events and takes over its timers: those enabled
    // in the definition start running now.
    void attach(Form& form);
    // Stops routing: the form's timers stop and its queued events are dropped.
    // A form that goes does this by itself.
    void detach(Form& form);
    // The one way to destroy a form that a handler unloaded: detached now,
    // destroyed once no handler runs any more (at once when none does), so
    // the handler that closed it can still return through it.
    void retire(std::unique_ptr<Form> form);

    // From backends: something happened to a control. Unknown names are ignored.
    void post(Form& form, std::string_view control, EventType type, const EventArgs& args = {});
    // The same, but ahead of everything that waits, timer ticks included:
    // it is the next event delivered once no handler runs. For a request to
    // end the program, which nothing queued before it may delay.
    void postFirst(Form& form, std::string_view control, EventType type,
                   const EventArgs& args = {});

    // Delivers what is due: timer ticks that have come due and queued events,
    // in order. Returns at once while a handler runs. To keep the backend's
    // own event loop responsive it delivers at most what was waiting when it
    // was called; schedule another pump for the rest (see nextWakeMs).
    void pump();

    // Runs a handler directly as the current event (the load and unload
    // handlers run this way). Nothing else is delivered meanwhile.
    void invoke(const std::function<void()>& handler);

    // Marks timers that have come due as pending without delivering them;
    // pump() does this too.
    void collectDueTimers();

    // When the backend should pump next: now if events wait, else the next
    // timer due time; nothing when all is idle. Held timers wake nobody.
    std::optional<std::int64_t> nextWakeMs() const;
    // The next timer due time alone, held timers left out.
    std::optional<std::int64_t> nextTimerDueMs() const;

    // Whether a window of the program can be seen: an attached form's
    // window that is visible and not minimised.
    bool windowShowing() const;
    // Delivers the ticks of redraw-only timers that have fallen due and do
    // not wait in the queue yet, at once (nothing while a handler runs). For
    // a backend that learns a window is coming back before the event that
    // says so is delivered.
    void deliverHeldTicks();

    bool busy() const { return depth_ > 0; }

    // The program has ended: every timer stops and nothing more is delivered.
    void end();
    bool ended() const { return ended_; }

    // Called whenever nextWakeMs() may have moved earlier, so a backend can
    // re-arm its wake-up.
    std::function<void()> onScheduleChanged;

    // Counts for tests and benchmarks.
    std::uint64_t deliveredTicks(const Control& timer) const;

  private:
    class TimerPeer;
    struct TimerState {
        Form* form = nullptr;
        Control* timer = nullptr;
        bool armed = false;
        bool pending = false;
        bool redrawsOnly = false;
        std::int64_t dueMs = 0;
        std::uint64_t ticks = 0;
    };
    struct Queued {
        Form* form;
        Control* control;
        EventType type;
        EventArgs args;
    };

    void arm(TimerState& state, bool on);
    void deliver(const Queued& event);
    // The timer's pace goes on from a tick taken now.
    void advanceDue(TimerState& state, std::int64_t now) const;
    bool held(const TimerState& state, bool showing) const { return state.redrawsOnly && !showing; }
    static int periodOf(const Control& timer);
    void scheduleChanged();

    Clock& clock_;
    std::set<Form*> attached_;
    std::vector<std::unique_ptr<Form>> retired_;
    std::map<const Control*, std::unique_ptr<TimerState>> timers_;
    std::vector<std::unique_ptr<TimerPeer>> peers_;
    std::deque<Queued> queue_;
    int depth_ = 0;
    bool ended_ = false;
};

}  // namespace vk
