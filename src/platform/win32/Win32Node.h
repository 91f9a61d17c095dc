#pragma once
// What the toolkit keeps per window: each window of ours (and each system
// control it creates) has a Node, found through the map of window to node
// (Win32Classes.h, nodeOf), and each loaded form has one Loaded record
// holding its nodes, menus and peers.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Control.h"
#include "platform/FormBinding.h"
#include "platform/win32/Win32Menus.h"

namespace vk::win32 {

class Win32Toolkit;
struct Loaded;

// One window of ours, or one system control we created.
struct Node {
    Win32Toolkit* toolkit = nullptr;
    BindingPtr binding;
    std::string control;  // the control's name; empty for the anchor
    ControlKind kind = ControlKind::Window;
    bool anchor = false;
    Loaded* loaded = nullptr;      // the form's record
    std::optional<COLORREF> fore;  // labels: their text colour
    HBRUSH fill = nullptr;         // picture boxes: their colour (owned)
    HICON picture = nullptr;       // picture boxes: the picture held
    HFONT font = nullptr;          // frames draw their caption in it

    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() {
        if (fill) DeleteObject(fill);
    }
};

// One loaded form: its windows, menus, peers and dialog keys.
struct Loaded {
    BindingPtr binding;
    const WindowDef* def = nullptr;
    HWND window = nullptr;
    std::vector<std::unique_ptr<Node>> nodes;
    std::map<std::string, HWND, std::less<>> windows;  // control name -> its window
    MenuSet menus;
    std::vector<std::unique_ptr<ControlPeer>> peers;
    std::vector<UINT> commands;
    std::vector<HWND> buttons;
    HWND definedDefault = nullptr;  // the button Enter presses unless another has the focus
    HWND currentDefault = nullptr;  // the button that shows as the default now
    HWND cancelButton = nullptr;    // the button Esc presses
    HWND savedFocus = nullptr;      // the focus while the window is inactive
    bool dialogKeys = false;        // has buttons: Tab, Enter, Esc and access keys
    bool minimised = false;         // last seen minimised (WM_SIZE)
    int ownStateChanges = 0;        // the program minimises or restores it now
};

// Marks a change of the window's state the program makes itself.
struct OwnStateChange {
    explicit OwnStateChange(Loaded& loaded) : loaded_(loaded) { ++loaded_.ownStateChanges; }
    ~OwnStateChange() { --loaded_.ownStateChanges; }
    OwnStateChange(const OwnStateChange&) = delete;
    OwnStateChange& operator=(const OwnStateChange&) = delete;

  private:
    Loaded& loaded_;
};

}  // namespace vk::win32
