#include "platform/win32/Win32Peers.h"

#include "platform/Errors.h"
#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Toolkit.h"

namespace vk::win32 {

HWND ChildPeer::window() const {
    if (!IsWindow(window_)) throw PropertyRefused("the control's window is gone");
    return window_;
}

void ChildPeer::setCaption(const std::string& text) {
    if (node_.kind == ControlKind::PictureBox) return;  // a picture box shows no text
    const HWND w = window();
    // The refresh sets every figure on every tick, mostly to what it shows
    // already; a label given its own text again would still repaint.
    std::string shown(static_cast<std::size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    shown.resize(
        static_cast<std::size_t>(GetWindowTextA(w, shown.data(), static_cast<int>(shown.size()))));
    if (shown == text) return;
    if (!SetWindowTextA(w, text.c_str())) throw PropertyRefused("the caption was refused");
}

void ChildPeer::setVisible(bool on) {
    ShowWindow(window(), on ? SW_SHOWNA : SW_HIDE);
}

void ChildPeer::setEnabled(bool on) {
    EnableWindow(window(), on);
}

RECT ChildPeer::placed() const {
    const HWND w = window();
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ChildPeer::place(const RECT& r) {
    // The refresh sets the bars' places on every tick, mostly to where they
    // are: the window is left alone then.
    if (const RECT now = placed(); EqualRect(&now, &r)) return;
    if (!SetWindowPos(window(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_NOZORDER | SWP_NOACTIVATE)) {
        throw PropertyRefused("the control refused its place");
    }
}

double ChildPeer::setLeft(double twips) {
    const int x = scale_.toPixels(twips, false);
    RECT r = placed();
    OffsetRect(&r, x - r.left, 0);
    place(r);
    return scale_.toTwips(x);
}

double ChildPeer::setTop(double twips) {
    const int y = scale_.toPixels(twips, false);
    RECT r = placed();
    OffsetRect(&r, 0, y - r.top);
    place(r);
    return scale_.toTwips(y);
}

double ChildPeer::setWidth(double twips) {
    const int width = scale_.toPixels(twips, true);
    RECT r = placed();
    r.right = r.left + width;
    place(r);
    return scale_.toTwips(width);
}

double ChildPeer::setHeight(double twips) {
    const int height = scale_.toPixels(twips, true);
    RECT r = placed();
    r.bottom = r.top + height;
    place(r);
    return scale_.toTwips(height);
}

// The value lives in the model, where the box's accessible object reads it.
void ChildPeer::setValue(int) {
    announceValueChange(window());
}

void ChildPeer::setPicture(std::uintptr_t handle) {
    const HWND w = window();
    if (node_.kind != ControlKind::PictureBox)
        throw PropertyRefused("only a picture box holds a picture");
    HICON icon = reinterpret_cast<HICON>(handle);
    if (icon) {
        ICONINFO info{};
        if (!GetIconInfo(icon, &info)) throw PropertyRefused("no picture with that handle");
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    node_.picture = icon;
    InvalidateRect(w, nullptr, FALSE);
}

HWND WindowPeer::window() const {
    if (!IsWindow(window_)) throw PropertyRefused("the window is gone");
    return window_;
}

std::uintptr_t WindowPeer::iconHandle() const {
    return loaded_.def && loaded_.def->hasIcon
               ? reinterpret_cast<std::uintptr_t>(toolkit_.programIcon())
               : 0;
}

void WindowPeer::setCaption(const std::string& text) {
    if (!SetWindowTextA(window(), text.c_str())) throw PropertyRefused("the caption was refused");
}

void WindowPeer::setVisible(bool on) {
    const HWND w = window();
    if (!on) {
        ShowWindow(w, SW_HIDE);
        return;
    }
    if (!placed_) centre();
    placed_ = true;
    // A minimised window shows on the taskbar only, as it is.
    if (IsIconic(w)) {
        ShowWindow(w, SW_SHOWNA);
        return;
    }
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    if (loaded_.definedDefault && IsWindowEnabled(loaded_.definedDefault)) {
        SetFocus(loaded_.definedDefault);
    }
}

void WindowPeer::setWindowState(WindowState state) {
    const HWND w = window();
    // Ours, not the user's: the window raises no Restore for it.
    const OwnStateChange own(loaded_);
    if (state == WindowState::Minimized) {
        // Placed first: restored, it comes back where a first show puts it.
        if (!placed_) centre();
        placed_ = true;
        // A window not shown yet appears on the taskbar only.
        ShowWindow(w, IsWindowVisible(w) ? SW_MINIMIZE : SW_SHOWMINNOACTIVE);
        return;
    }
    if (!IsIconic(w)) return;
    ShowWindow(w, SW_RESTORE);
    if (IsWindowVisible(w)) SetForegroundWindow(w);
}

bool WindowPeer::liveWindowState(WindowState& state) const {
    if (!IsWindow(window_)) return false;
    state = IsIconic(window_) ? WindowState::Minimized : WindowState::Normal;
    return true;
}

void WindowPeer::setEnabled(bool on) {
    EnableWindow(window(), on);
}

RECT WindowPeer::outer() const {
    const HWND w = window();
    RECT r;
    if (IsIconic(w)) {
        // A minimised window's rectangle is off screen; its place is the
        // one it comes back to, kept in work-area coordinates.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(w, &placement);
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        r = placement.rcNormalPosition;
        OffsetRect(&r, area.left, area.top);
        return r;
    }
    GetWindowRect(w, &r);
    return r;
}

bool WindowPeer::liveGeometry(Rect& out) const {
    if (!IsWindow(window_)) return false;
    const RECT r = outer();
    out = {scale_.toTwips(r.left), scale_.toTwips(r.top), scale_.toTwips(r.right - r.left),
           scale_.toTwips(r.bottom - r.top)};
    return true;
}

void WindowPeer::move(int x, int y, int width, int height) {
    if (!SetWindowPos(window(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE)) {
        throw PropertyRefused("the window refused its place");
    }
}

void WindowPeer::centre() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const RECT r = outer();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    move(area.left + (area.right - area.left - width) / 2,
         area.top + (area.bottom - area.top - height) / 2, width, height);
}

double WindowPeer::setLeft(double twips) {
    const int x = scale_.toPixels(twips, false);
    const RECT r = outer();
    move(x, r.top, r.right - r.left, r.bottom - r.top);
    placed_ = true;
    return scale_.toTwips(x);
}

double WindowPeer::setTop(double twips) {
    const int y = scale_.toPixels(twips, false);
    const RECT r = outer();
    move(r.left, y, r.right - r.left, r.bottom - r.top);
    placed_ = true;
    return scale_.toTwips(y);
}

double WindowPeer::setWidth(double twips) {
    const int width = scale_.toPixels(twips, true);
    const RECT r = outer();
    move(r.left, r.top, width, r.bottom - r.top);
    return scale_.toTwips(width);
}

double WindowPeer::setHeight(double twips) {
    const int height = scale_.toPixels(twips, true);
    const RECT r = outer();
    move(r.left, r.top, r.right - r.left, height);
    return scale_.toTwips(height);
}

void MenuPeer::setCaption(const std::string& text) {
    menus_.setCaption(entry_, text, window_);
}

void MenuPeer::setVisible(bool on) {
    menus_.setVisible(entry_, on, window_);
}

void MenuPeer::setEnabled(bool on) {
    menus_.setEnabled(entry_, on, window_);
}

void MenuPeer::setChecked(bool on) {
    menus_.setChecked(entry_, on);
}

}  // namespace vk::win32
