#pragma once
// The Qt backend's wake-up for the loop driver: one precise single-shot
// QTimer in Qt's event loop.
#include <QTimer>
#include <cstdint>
#include <functional>

#include "platform/LoopDriver.h"

namespace vk::qt {

class QtWakeTimer : public WakeTimer {
  public:
    QtWakeTimer();
    void start(std::int64_t delayMs) override;
    void stop() override { timer_.stop(); }

    // What to do when it fires: the loop driver's onWake().
    std::function<void()> onFire;

  private:
    QTimer timer_;
};

}  // namespace vk::qt
