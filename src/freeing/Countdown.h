#pragma once
// The quit countdown: after a successful free-and-quit run the status line
// counts down once a second and the main window unloads at zero.
#include <string>

#include "window/FrmMain.h"

namespace vk {

// "Done, quitting in N..." for the number of seconds left.
std::string countdownText(double secondsLeft);

// One countdown step: the count in tmrQuit's Tag goes down by one, the status
// shows the count minus one, and at zero the main window unloads. The timer
// is never disarmed; the unload ends it. Skips a failing statement.
void tmrQuit_Timer(FrmMain& w);

}  // namespace vk
