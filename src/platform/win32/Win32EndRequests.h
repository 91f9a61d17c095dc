#pragma once
// The ways Windows asks the program to end: another program's WM_CLOSE
// (taskkill, the task manager) and the end of the session. On the main
// window each becomes its close request through platform/EndRequest.h: a
// message box that waits meanwhile closes as if OK was pressed, and the
// window unloads through its normal path. On another window of the program
// (the About dialog) the request only closes that window.
#include "platform/Form.h"
#include "platform/LoopDriver.h"
#include "platform/MessageBox.h"

namespace vk::win32 {

class Win32Toolkit;

class Win32EndRequests {
  public:
    // Answers the toolkit's end requests for its whole life.
    Win32EndRequests(Win32Toolkit& toolkit, LoopDriver& loop, MessageBoxes& boxes,
                     Form& mainWindow);
    ~Win32EndRequests();
    Win32EndRequests(const Win32EndRequests&) = delete;
    Win32EndRequests& operator=(const Win32EndRequests&) = delete;

  private:
    // True when the request was the main window's and has been taken.
    bool request(Form& form);

    Win32Toolkit& toolkit_;
    LoopDriver& loop_;
    MessageBoxes& boxes_;
    Form& mainWindow_;
};

}  // namespace vk::win32
