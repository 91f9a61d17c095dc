#pragma once
// The Qt backend's wake-up for the loop driver: one precise QTimer in Qt's
// event loop, single-shot as the driver sees it.
#include <QTimer>
#include <cstdint>

#include "platform/LoopDriver.h"

namespace vk::qt {

class QtWakeTimer : public WakeTimer {
  public:
    QtWakeTimer();
    void start(std::int64_t delayMs) override;
    void stop() override;

  private:
    void fire();

    QTimer timer_;
    bool firing_ = false;  // inside onFire
    bool armed_ = false;   // started (or kept) since it last fired
};

}  // namespace vk::qt
