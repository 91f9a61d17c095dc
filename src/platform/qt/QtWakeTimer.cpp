#include "platform/qt/QtWakeTimer.h"

#include <algorithm>
#include <limits>

namespace vk::qt {

QtWakeTimer::QtWakeTimer() {
    // A coarse timer may fire up to 5% late, which would stretch the 10 ms
    // refresh period; the dispatcher keeps the pace only if woken on time.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void QtWakeTimer::start(std::int64_t delayMs) {
    const int delay =
        static_cast<int>(std::clamp<std::int64_t>(delayMs, 0, std::numeric_limits<int>::max()));
    // Re-armed from its own tick for about its own period (the refresh's
    // steady pace): the timer repeats, and a precise one comes back one
    // period after its last due time anyway. Starting it again would take it
    // out of Qt's timer list and put it back on every tick.
    const int period = timer_.interval();
    if (firing_ && timer_.isActive() && delay > 0 && delay <= period && delay + 2 >= period) {
        armed_ = true;
        return;
    }
    timer_.start(delay);
    armed_ = true;
}

void QtWakeTimer::stop() {
    timer_.stop();
    armed_ = false;
}

void QtWakeTimer::fire() {
    // The timer repeats; the wake-up it stands for is single-shot. The
    // driver nearly always re-arms it from here; when it does not, it stops.
    // A modal box's loop inside onFire may see it fire once more: the
    // driver finds itself busy there and leaves it unarmed, and the outer
    // tick re-arms it once its handler has returned.
    armed_ = false;
    const bool outer = firing_;
    firing_ = true;
    if (onFire) onFire();
    firing_ = outer;
    if (!armed_) timer_.stop();
}

}  // namespace vk::qt
