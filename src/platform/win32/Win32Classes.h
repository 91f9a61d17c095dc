#pragma once
// The window classes of the toolkit and how each kind of control is made:
// frames and picture boxes are small classes of our own that paint
// themselves; labels and buttons are the system's static and button
// controls. Every window of ours is found with its Node in one map of
// window to node (see nodeOf).
#include <windows.h>

#include "platform/ControlDef.h"
#include "platform/Twips.h"
#include "platform/win32/Win32Node.h"

namespace vk::win32 {

// Top-level windows and the hidden anchor.
inline constexpr const char* kWindowClass = "VelkromWindow";
// A frame: an etched rectangle with its caption in the top edge; a container.
inline constexpr const char* kFrameClass = "VelkromFrame";
// A picture box: a filled rectangle, optionally holding an icon; a container.
inline constexpr const char* kPictureClass = "VelkromPicture";

// Registers the classes once per process.
void registerClasses(HINSTANCE instance);

// Creates the control's window in `parent` at its place; nullptr on failure.
HWND createChild(const ControlDef& def, HWND parent, int id, Node& node, const PixelScale& scale,
                 HINSTANCE instance);

// Paints a frame or a picture box.
void paintFrame(HWND window, const Node& node);
void paintPicture(HWND window, const Node& node);

// The node a window of ours carries; nullptr for any other window. Windows
// of our classes are remembered from their creation to their destruction;
// the system's controls we create from createChild until forget().
Node* nodeOf(HWND window);
void remember(HWND window, Node* node);
void forget(HWND window);

}  // namespace vk::win32
