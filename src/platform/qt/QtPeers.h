#pragma once
// Peers: what the logic's property writes do to the widgets. Geometry comes
// in twips and is shown in whole pixels; what the screen really took goes
// back to the model. A widget that is gone refuses every property.
#include <QAction>
#include <QMargins>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/Control.h"
#include "platform/Twips.h"

namespace vk::qt {

class TextWidget;
class PictureBoxWidget;
class WindowWidget;

using vk::PixelScale;

class WidgetPeer : public ControlPeer {
  public:
    WidgetPeer(QWidget* widget, PixelScale scale, std::uint32_t handle)
        : scale_(scale), widget_(widget), handle_(handle) {}
    void setVisible(bool on) override;
    void setEnabled(bool on) override;
    double setLeft(double twips) override;
    double setTop(double twips) override;
    double setWidth(double twips) override;
    double setHeight(double twips) override;
    std::uintptr_t handle() const override { return handle_; }

  protected:
    QWidget& widget() const;
    // After the widget's size changed.
    virtual void resized() {}
    PixelScale scale_;

  private:
    QPointer<QWidget> widget_;
    std::uint32_t handle_;
};

// Labels, frames and buttons show their caption.
class CaptionPeer : public WidgetPeer {
  public:
    using WidgetPeer::WidgetPeer;
    void setCaption(const std::string& text) override;
};

class PicturePeer : public WidgetPeer {
  public:
    using IconLookup = std::function<QIcon(std::uintptr_t)>;
    PicturePeer(PictureBoxWidget* widget, PixelScale scale, std::uint32_t handle, IconLookup icons);
    void setPicture(std::uintptr_t handle) override;
    void setValue(int percent) override;

  private:
    void resized() override;
    IconLookup icons_;
};

// The frame sizes the window manager adds around client areas; learnt from
// the first framed window, used for windows not yet shown.
struct FrameMargins {
    QMargins margins;
};

class WindowPeer : public ControlPeer {
  public:
    WindowPeer(WindowWidget* window, PixelScale scale, std::uint32_t handle,
               std::uint32_t iconHandle, FrameMargins& known);
    ~WindowPeer() override;
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
    std::uintptr_t handle() const override { return handle_; }
    std::uintptr_t iconHandle() const override { return iconHandle_; }

  private:
    WindowWidget& window() const;
    // The frame around the client area: the real one once framed, else the
    // best guess.
    QMargins margins() const;
    QRect outerPixels() const;
    void resizeOuter(int width, int height);
    void placeAtFirstShow();
    void centre();
    // Centring before the first show has to guess the frame; once the
    // window manager has framed the window, centre again with the real one.
    void frameChanged();

    QPointer<WindowWidget> window_;
    PixelScale scale_;
    std::uint32_t handle_;
    std::uint32_t iconHandle_;
    FrameMargins& known_;
    bool placed_ = false;
    bool centred_ = false;  // centred by us, frame not yet confirmed
    QMargins assumed_;      // the frame the centring assumed
};

// A menu entry: its action, and its menu when it opens one.
class MenuPeer : public ControlPeer {
  public:
    MenuPeer(QAction* action, QMenu* menu) : action_(action), menu_(menu) {}
    void setCaption(const std::string& text) override;
    void setVisible(bool on) override;
    void setEnabled(bool on) override;
    void setChecked(bool on) override;

  private:
    QAction& action() const;
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
};

}  // namespace vk::qt
