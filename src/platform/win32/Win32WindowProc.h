#pragma once
// The one window procedure of the toolkit's windows (registered for every
// class of ours): it finds the window's node and hands the message to the
// node's toolkit (Win32Toolkit::handle, in Win32WindowProc.cpp), where what
// the user and the system do to a window becomes a dispatcher event for its
// control. Nothing may unwind through the system's code, so a failure ends
// in DefWindowProc.
#include <windows.h>

namespace vk::win32 {

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vk::win32
