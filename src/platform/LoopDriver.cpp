#include "platform/LoopDriver.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace vk {

std::int64_t SteadyClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LoopDriver::LoopDriver(Dispatcher& dispatcher, Clock& clock, WakeTimer& timer)
    : dispatcher_(dispatcher), clock_(clock), timer_(timer) {
    timer_.onFire = [this] { onWake(); };
    dispatcher_.onScheduleChanged = [this] {
        // Inside pump() the wake-up is re-armed once it returns; arming now
        // would only wake a modal box's loop for nothing.
        if (!pumping_) rearm();
    };
}

LoopDriver::~LoopDriver() {
    dispatcher_.onScheduleChanged = nullptr;
    timer_.onFire = nullptr;
}

void LoopDriver::post(Form& form, std::string_view control, EventType type, const EventArgs& args) {
    // Pumped at once below, which re-arms once: the schedule change that
    // posting announces would only arm a wake-up for now that finds nothing.
    const bool outer = !pumping_;
    pumping_ = true;
    dispatcher_.post(form, control, type, args);
    pumping_ = !outer;
    if (!outer) return;  // the pump under way re-arms once its handler returns
    if (dispatcher_.busy()) {
        rearm();  // a handler outside any pump (the load): delivered from the loop
    } else {
        pump();
    }
}

void LoopDriver::postLater(Form& form, std::string_view control, EventType type,
                           const EventArgs& args) {
    dispatcher_.post(form, control, type, args);  // re-arms the wake-up for now
    // A window the user brings back paints before the event is delivered:
    // the held refresh catches up now, so the first frame shows current figures.
    dispatcher_.deliverHeldTicks();
}

void LoopDriver::onWake() {
    ++wakeUps_;
    armedFor_.reset();  // single-shot: it has fired
    pump();
}

void LoopDriver::pump() {
    if (pumping_ || dispatcher_.busy()) return;
    {
        struct Pumping {
            bool& flag;
            explicit Pumping(bool& f) : flag(f) { flag = true; }
            ~Pumping() { flag = false; }
        } pumping(pumping_);
        dispatcher_.pump();
    }
    rearm();
}

void LoopDriver::rearm() {
    const std::optional<std::int64_t> next = dispatcher_.nextWakeMs();
    if (!next) {
        if (stopped_) return;
        timer_.stop();
        stopped_ = true;
        armedFor_.reset();
        return;
    }
    // Armed for that very moment already: restarting would only cost the
    // backend's timer calls.
    if (armedFor_ == next) return;
    // A wake-up beyond what a backend's timer takes is re-armed when it fires.
    const std::int64_t delay =
        std::clamp<std::int64_t>(*next - clock_.nowMs(), 0, std::numeric_limits<int>::max());
    timer_.start(delay);
    stopped_ = false;
    // A wake-up for now or the past fires at once; asking again must start it again.
    armedFor_ = delay > 0 ? next : std::nullopt;
}

}  // namespace vk
