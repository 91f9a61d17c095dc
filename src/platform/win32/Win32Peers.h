#pragma once
// Peers: what the logic's property writes do to the windows. Geometry comes
// in twips and is shown in whole pixels; what the screen really took goes
// back to the model. A window that is gone refuses every property.
#include <windows.h>

#include <cstdint>

#include "platform/Control.h"
#include "platform/Twips.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Node.h"

namespace vk::win32 {

// A control inside a window: label, frame, picture box or button.
class ChildPeer : public ControlPeer {
  public:
    ChildPeer(HWND window, PixelScale scale, Node& node)
        : window_(window), scale_(scale), node_(node) {}
    void setCaption(const std::string& text) override;
    void setVisible(bool on) override;
    void setEnabled(bool on) override;
    double setLeft(double twips) override;
    double setTop(double twips) override;
    double setWidth(double twips) override;
    double setHeight(double twips) override;
    std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(window_); }
    void setPicture(std::uintptr_t handle) override;
    void setValue(int percent) override;

  private:
    HWND window() const;
    // The control's rectangle in its container's client area.
    RECT placed() const;
    void place(const RECT& r);

    HWND window_;
    PixelScale scale_;
    Node& node_;
};

// A top-level window. Left, Top, Width and Height are its outer frame on the
// screen; the first show centres it on the work area unless the logic has
// placed it. A minimised window is still shown: it is on the taskbar.
class WindowPeer : public ControlPeer {
  public:
    WindowPeer(HWND window, PixelScale scale, Win32Toolkit& toolkit, Loaded& loaded)
        : window_(window), scale_(scale), toolkit_(toolkit), loaded_(loaded) {}
    void setCaption(const std::string& text) override;
    void setVisible(bool on) override;
    void setEnabled(bool on) override;
    double setLeft(double twips) override;
    double setTop(double twips) override;
    double setWidth(double twips) override;
    double setHeight(double twips) override;
    bool liveGeometry(Rect& outer) const override;
    void setWindowState(WindowState state) override;
    bool liveWindowState(WindowState& state) const override;
    std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(window_); }
    std::uintptr_t iconHandle() const override;

  private:
    HWND window() const;
    RECT outer() const;
    void move(int x, int y, int width, int height);
    void centre();

    HWND window_;
    PixelScale scale_;
    Win32Toolkit& toolkit_;
    Loaded& loaded_;
    bool placed_ = false;  // the logic gave it a place, or it has been shown
};

// A menu entry.
class MenuPeer : public ControlPeer {
  public:
    MenuPeer(MenuSet& menus, MenuEntry& entry, HWND window)
        : menus_(menus), entry_(entry), window_(window) {}
    void setCaption(const std::string& text) override;
    void setVisible(bool on) override;
    void setEnabled(bool on) override;
    void setChecked(bool on) override;

  private:
    MenuSet& menus_;
    MenuEntry& entry_;
    HWND window_;
};

}  // namespace vk::win32
