#pragma once
// The program's own window messages, in one list so that no two share a
// number.
#include <windows.h>

namespace vk::win32::PrivateMessage {

// To the hidden anchor window: opens the pending pop-up menu from the loop,
// once the handler that asked for it has returned.
inline constexpr UINT OpenPopup = WM_APP + 1;
// To the wake-up's own window: the loop driver's wake-up that is due at once.
inline constexpr UINT Wake = WM_APP + 2;

}  // namespace vk::win32::PrivateMessage
