#include "platform/qt/QtWakeTimer.h"

#include <algorithm>
#include <limits>

namespace vk::qt {

QtWakeTimer::QtWakeTimer() {
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, which would stretch the 10 ms
    // refresh period; the dispatcher keeps the pace only if woken on time.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onFire) onFire();
    });
}

void QtWakeTimer::start(std::int64_t delayMs) {
    timer_.start(
        static_cast<int>(std::clamp<std::int64_t>(delayMs, 0, std::numeric_limits<int>::max())));
}

}  // namespace vk::qt
