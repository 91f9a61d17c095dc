#include "platform/win32/Win32WindowProc.h"

#include <windowsx.h>

#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Classes.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Node.h"
#include "platform/win32/Win32Toolkit.h"

namespace vk::win32 {
namespace {

// A mouse event's button, shift and position in twips, as the events carry
// them. A tray notification arrives as a mouse move with the mouse message
// in lParam, where a real move has its position: `message` carries it.
EventArgs mouseArgs(WPARAM wParam, LPARAM lParam, double twipsPerPixel) {
    EventArgs args;
    args.button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
                  (wParam & MK_MBUTTON ? 4 : 0);
    args.shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0) |
                 (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    args.x = GET_X_LPARAM(lParam) * twipsPerPixel;
    args.y = GET_Y_LPARAM(lParam) * twipsPerPixel;
    args.message = static_cast<std::uint32_t>(lParam);
    return args;
}

void post(const Node& node, EventType type, const EventArgs& args = {}) {
    // The handler may destroy this very window: keep what posting needs.
    const BindingPtr binding = node.binding;
    const std::string control = node.control;
    if (binding) binding->post(control, type, args);
}

}  // namespace

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        remember(hwnd, static_cast<Node*>(create->lpCreateParams));
    }
    Node* node = nodeOf(hwnd);
    if (!node || !node->toolkit) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        forget(hwnd);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // Nothing may unwind through the system's code.
    try {
        return node->toolkit->handle(*node, hwnd, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT Win32Toolkit::handle(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (node.anchor) return handleAnchor(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            // Containers pass their children's notifications on.
            command(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            colourStatic(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), brush);
            return brush;
        }
        case WM_LBUTTONDBLCLK:
            post(node, EventType::DblClick, mouseArgs(wParam, lParam, twipsPerPixel()));
            return 0;
        default:
            break;
    }
    if (node.kind == ControlKind::Window)
        return handleTopLevel(node, hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT:
            if (node.kind == ControlKind::Frame) {
                paintFrame(hwnd, node);
            } else {
                paintPicture(hwnd, node);
            }
            return 0;
        case WM_SETTEXT:
            if (node.kind == ControlKind::Frame) {
                const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
                InvalidateRect(hwnd, nullptr, FALSE);
                return result;
            }
            break;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_GETOBJECT:
            if (node.kind == ControlKind::PictureBox) {
                LRESULT answer = 0;
                if (answerGetObject(hwnd, wParam, lParam, answer)) return answer;
            }
            break;
        case WM_MOUSEMOVE:
            if (node.kind == ControlKind::PictureBox) {
                post(node, EventType::MouseMove, mouseArgs(wParam, lParam, twipsPerPixel()));
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Win32Toolkit::handleTopLevel(Node& node, HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    Loaded& record = *node.loaded;
    switch (message) {
        case WM_SYSCOMMAND:
            // The close box and Alt+F4: the user asks, the logic decides. A
            // window that takes no input asks nothing.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (IsWindowEnabled(hwnd)) post(node, EventType::CloseRequest);
                return 0;
            }
            break;
        case WM_CLOSE:
            // Not the user's close box (that is SC_CLOSE above) but another
            // program's request, taskkill's or the task manager's. It reaches
            // a disabled window too.
            requestEndFrom(node);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (!wParam) return 0;
            requestEndFrom(node);
            // Windows may end the process as soon as this message returns
            // (Wine's session end does at once), so a handler that still
            // runs (a box waits) cannot be waited for: what must not
            // outlive the program goes now.
            if (loop_.dispatcher().busy() && onSessionEndWhileBusy) {
                onSessionEndWhileBusy();
            }
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                record.minimised = true;
            } else if (record.minimised && wParam != SIZE_MAXHIDE && wParam != SIZE_MAXSHOW) {
                record.minimised = false;
                // The user brought it back from the taskbar. Delivered from
                // the loop: the restore is still under way.
                if (record.ownStateChanges == 0 && node.binding) {
                    const BindingPtr binding = node.binding;
                    binding->postLater(node.control, EventType::Restore);
                }
            }
            break;
        case DM_GETDEFID:
            if (record.currentDefault) {
                return MAKELRESULT(GetDlgCtrlID(record.currentDefault), DC_HASDEFID);
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) lastActive_ = hwnd;
            if (!record.dialogKeys) break;
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) record.savedFocus = focus;
                return 0;
            }
            if (!HIWORD(wParam)) {  // not minimised
                HWND focus = record.savedFocus;
                if (!focus || !IsWindow(focus) || !IsChild(hwnd, focus))
                    focus = record.definedDefault;
                if (focus) {
                    SetFocus(focus);
                    return 0;
                }
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Win32Toolkit::handleAnchor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (onTaskbarCreated) onTaskbarCreated();
        return 0;
    }
    switch (message) {
        case PrivateMessage::OpenPopup:
            if (pendingPopup_) {
                const PendingPopup popup = *pendingPopup_;
                pendingPopup_.reset();
                if (Form* form = popup.binding->form) {
                    if (HMENU handle = menu(*form, popup.menu)) openPopup(handle, popup.at);
                }
            }
            return 0;
        case WM_CLOSE:
            // taskkill asks every window of the process; the forms' windows
            // answer for the program, the anchor stays.
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Win32Toolkit::command(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (const HWND from = reinterpret_cast<HWND>(lParam)) {
        const Node* sender = nodeOf(from);
        if (!sender || sender->anchor) return;
        if (sender->kind == ControlKind::Button && code == BN_CLICKED) {
            post(*sender, EventType::Click);
        } else if (sender->kind == ControlKind::Label && code == STN_DBLCLK) {
            post(*sender, EventType::DblClick);
        }
        return;
    }
    if (id == IDCANCEL || id == IDOK) {
        // Esc (and Enter where no button is the default) from the dialog keys.
        const HWND active = GetActiveWindow();
        if (Loaded* record = loadedOf(active)) {
            const HWND button = id == IDCANCEL ? record->cancelButton : record->currentDefault;
            if (button && IsWindowEnabled(button) && IsWindowVisible(button)) {
                if (const Node* target = nodeOf(button)) post(*target, EventType::Click);
            }
        }
        return;
    }
    menuCommand(id);
}

void Win32Toolkit::menuCommand(UINT id) {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return;
    const Target target = it->second;
    Form* form = target.binding->form;
    if (!form) return;
    Loaded* record = loaded(*form);
    if (!record) return;
    // An entry under a disabled menu is dead, its shortcut key too; the
    // entries under the menu bar belong to the window and are dead while
    // it takes no input. A pop-up-only menu stays usable meanwhile.
    for (const MenuEntry* e = record->menus.entry(target.control); e;
         e = e->parentName.empty() ? nullptr : record->menus.entry(e->parentName)) {
        if (!e->enabled) return;
    }
    const MenuEntry* entry = record->menus.entry(target.control);
    if (entry && entry->inBar && !IsWindowEnabled(record->window)) return;
    target.binding->post(target.control, EventType::Click);
}

void Win32Toolkit::colourStatic(HWND control, HDC dc, LRESULT& brush) {
    const Node* label = nodeOf(control);
    SetTextColor(dc, label && label->fore ? *label->fore : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Win32Toolkit::requestEndFrom(Node& node) {
    Form* form = node.binding ? node.binding->form : nullptr;
    if (!form) return;
    // The main window's request ends the program; other windows (the About
    // dialog) only close.
    if (onEndRequest && onEndRequest(*form)) return;
    post(node, EventType::CloseRequest);
}

void Win32Toolkit::openPopup(HMENU menu, POINT at) {
    // The menu's owner must be the foreground window, or the menu stays
    // open when the user clicks elsewhere; WM_NULL afterwards lets the next
    // click of the tray entry open it again.
    const HWND before = GetForegroundWindow();
    SetForegroundWindow(anchor_);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                       at.y, 0, anchor_, nullptr));
    PostMessageA(anchor_, WM_NULL, 0, 0);
    if (chosen) {
        menuCommand(chosen);
        return;
    }
    // Dismissed (Esc, a click elsewhere): nothing happens, so the hidden
    // anchor must not keep the foreground, where it takes every key typed.
    // A click that activated another window has moved it on already.
    if (GetForegroundWindow() != anchor_) return;
    if (before && before != anchor_ && IsWindow(before) && SetForegroundWindow(before) &&
        GetForegroundWindow() == before) {
        return;
    }
    // Refused: under Wine the tray host is a foreign X window that cannot
    // be the foreground one, so the user's last window of ours takes it.
    if (lastActive_ && IsWindowVisible(lastActive_) && IsWindowEnabled(lastActive_)) {
        SetForegroundWindow(lastActive_);
    }
}

void Win32Toolkit::syncDefaultButton(Loaded& record) {
    // A focused button is the default one, so Enter presses it; with the
    // focus elsewhere the definition's default button is.
    const HWND focus = GetFocus();
    const Node* focused = focus && IsChild(record.window, focus) ? nodeOf(focus) : nullptr;
    const HWND want =
        focused && focused->kind == ControlKind::Button ? focus : record.definedDefault;
    if (want == record.currentDefault) return;
    for (HWND button : record.buttons) {
        SendMessageA(button, BM_SETSTYLE, button == want ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    record.currentDefault = want;
}

}  // namespace vk::win32
