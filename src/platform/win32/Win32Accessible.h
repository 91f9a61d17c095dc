#pragma once
// What picture boxes tell Microsoft's accessibility layer (a screen reader
// asks a window with WM_GETOBJECT). Labels and buttons are system controls
// that answer by themselves; a picture box is a window of our own class and
// would read as a nameless client area. A meter answers as a progress bar
// named after its frame, holding its share in percent; a picture with an
// accessible name answers as a named graphic.
#include <windows.h>

namespace vk::win32 {

// Answers WM_GETOBJECT for the picture box `window`; false where the box has
// nothing to say (the default answer then stands).
bool answerGetObject(HWND window, WPARAM flags, LPARAM objectId, LRESULT& result);

// Tells listening screen readers that a meter's value changed.
void announceValueChange(HWND window);

}  // namespace vk::win32
