#pragma once
// The ways the desktop asks the program to end: SIGTERM, SIGINT, SIGHUP and
// the end of the desktop session. Each becomes a close request for the main
// window, which then unloads through its normal path (the tray entry goes
// with it); a message box that waits meanwhile closes as if OK was pressed
// (see platform/EndRequest.h). The signal handler only writes a byte to a
// pipe; the work happens on the event loop (a box's own loop included) when
// the pipe becomes readable.
#include <QSocketNotifier>
#include <csignal>
#include <memory>
#include <vector>

#include "platform/Form.h"
#include "platform/LoopDriver.h"
#include "platform/MessageBox.h"

namespace vk::qt {

class QtEndRequests {
  public:
    // Watches for the program's whole life; only one may exist at a time.
    QtEndRequests(LoopDriver& loop, MessageBoxes& boxes, Form& mainWindow);
    ~QtEndRequests();
    QtEndRequests(const QtEndRequests&) = delete;
    QtEndRequests& operator=(const QtEndRequests&) = delete;

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

  private:
    void requestClose();

    LoopDriver& loop_;
    MessageBoxes& boxes_;
    Form& mainWindow_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<struct sigaction> previous_;
    QMetaObject::Connection session_;
};

}  // namespace vk::qt
