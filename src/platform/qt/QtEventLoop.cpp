#include "platform/qt/QtEventLoop.h"

#include <algorithm>
#include <limits>

namespace vk::qt {

QtEventLoop::QtEventLoop(Dispatcher& dispatcher, Clock& clock)
    : dispatcher_(dispatcher), clock_(clock) {
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, which would stretch the 10 ms
    // refresh period; the dispatcher keeps the pace only if woken on time.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        ++wakeUps_;
        pump();
    });
    dispatcher_.onScheduleChanged = [this] {
        // Inside pump() the wake-up is re-armed once it returns; arming now
        // would only wake a modal box's loop for nothing.
        if (!pumping_) rearm();
    };
}

QtEventLoop::~QtEventLoop() {
    dispatcher_.onScheduleChanged = nullptr;
}

void QtEventLoop::post(Form& form, std::string_view control, EventType type,
                       const EventArgs& args) {
    dispatcher_.post(form, control, type, args);
    pump();
}

void QtEventLoop::postLater(Form& form, std::string_view control, EventType type,
                            const EventArgs& args) {
    dispatcher_.post(form, control, type, args);  // re-arms the wake-up for now
}

void QtEventLoop::pump() {
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

void QtEventLoop::rearm() {
    const std::optional<std::int64_t> next = dispatcher_.nextWakeMs();
    if (!next) {
        timer_.stop();
        return;
    }
    const std::int64_t delay =
        std::clamp<std::int64_t>(*next - clock_.nowMs(), 0, std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(delay));
}

}  // namespace vk::qt
