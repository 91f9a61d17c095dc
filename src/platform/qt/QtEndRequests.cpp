#include "platform/qt/QtEndRequests.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <cerrno>

#include "platform/EndRequest.h"
#include "platform/Errors.h"

namespace vk::qt {
namespace {

// Written by the signal handler; the one thing it may touch.
volatile std::sig_atomic_t gWriteEnd = -1;

void onSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    if (gWriteEnd >= 0) {
        // A full pipe already holds a pending request: dropping this byte is fine.
        [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

QtEndRequests::QtEndRequests(LoopDriver& loop, MessageBoxes& boxes, Form& mainWindow)
    : loop_(loop), boxes_(boxes), mainWindow_(mainWindow) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw ServiceError("cannot create the signal pipe");
    }
    gWriteEnd = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char bytes[64];
        while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
        }
        requestClose();
    });
    for (int signal : kSignals) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction old {};
        ::sigaction(signal, &action, &old);
        previous_.push_back(old);
    }
    // The session ending: unload now, while the session manager still waits.
    session_ = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, notifier_.get(),
                                [this](QSessionManager&) { requestClose(); });
}

QtEndRequests::~QtEndRequests() {
    for (std::size_t i = 0; i < previous_.size(); ++i) {
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    }
    gWriteEnd = -1;
    QObject::disconnect(session_);
    notifier_.reset();
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void QtEndRequests::requestClose() {
    requestEnd(loop_.dispatcher(), boxes_, mainWindow_);
    loop_.pump();
}

}  // namespace vk::qt
