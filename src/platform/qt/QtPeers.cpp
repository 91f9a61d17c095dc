#include "platform/qt/QtPeers.h"

#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <limits>

#include "platform/Errors.h"
#include "platform/qt/QtWidgets.h"

namespace vk::qt {
QWidget& WidgetPeer::widget() const {
    if (!widget_) throw PropertyRefused("the control's window is gone");
    return *widget_;
}

void WidgetPeer::setVisible(bool on) {
    widget().setVisible(on);
}
void WidgetPeer::setEnabled(bool on) {
    widget().setEnabled(on);
}

double WidgetPeer::setLeft(double twips) {
    QWidget& w = widget();
    const int x = scale_.toPixels(twips, false);
    w.move(x, w.y());
    return scale_.toTwips(x);
}

double WidgetPeer::setTop(double twips) {
    QWidget& w = widget();
    const int y = scale_.toPixels(twips, false);
    w.move(w.x(), y);
    return scale_.toTwips(y);
}

double WidgetPeer::setWidth(double twips) {
    QWidget& w = widget();
    const int width = scale_.toPixels(twips, true);
    w.resize(width, w.height());
    resized();
    return scale_.toTwips(width);
}

double WidgetPeer::setHeight(double twips) {
    QWidget& w = widget();
    const int height = scale_.toPixels(twips, true);
    w.resize(w.width(), height);
    resized();
    return scale_.toTwips(height);
}

void CaptionPeer::setCaption(const std::string& text) {
    QWidget& w = widget();
    if (auto* captioned = dynamic_cast<TextWidget*>(&w)) {
        captioned->setText(QString::fromStdString(text));
    } else if (auto* button = dynamic_cast<QPushButton*>(&w)) {
        button->setText(QString::fromStdString(text));
    }
}

PicturePeer::PicturePeer(PictureBoxWidget* widget, PixelScale scale, std::uint32_t handle,
                         IconLookup icons)
    : WidgetPeer(widget, scale, handle), icons_(std::move(icons)) {}

void PicturePeer::resized() {
    static_cast<PictureBoxWidget&>(widget()).layoutClient();
}

void PicturePeer::setValue(int percent) {
    static_cast<PictureBoxWidget&>(widget()).setValue(percent);
}

void PicturePeer::setPicture(std::uintptr_t handle) {
    auto& box = static_cast<PictureBoxWidget&>(widget());
    const QIcon icon = handle ? icons_(handle) : QIcon();
    if (handle && icon.isNull()) throw PropertyRefused("no picture with that handle");
    box.setIcon(icon);
}

WindowPeer::WindowPeer(WindowWidget* window, PixelScale scale, std::uint32_t handle,
                       std::uint32_t iconHandle, FrameMargins& known)
    : window_(window), scale_(scale), handle_(handle), iconHandle_(iconHandle), known_(known) {
    window->onFrameChanged = [this] { frameChanged(); };
}

WindowPeer::~WindowPeer() {
    if (window_) window_->onFrameChanged = nullptr;
}

WindowWidget& WindowPeer::window() const {
    if (!window_) throw PropertyRefused("the window is gone");
    return *window_;
}

QMargins WindowPeer::margins() const {
    const WindowWidget& w = window();
    const QRect frame = w.frameGeometry();
    const QRect inner = w.geometry();
    if (w.isVisible() && frame != inner) {
        known_.margins = QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                  frame.right() - inner.right(), frame.bottom() - inner.bottom());
        return known_.margins;
    }
    return w.isVisible() ? QMargins() : known_.margins;
}

QRect WindowPeer::outerPixels() const {
    const WindowWidget& w = window();
    // pos() is the frame's corner, framed or not yet.
    return QRect(w.pos(), w.size().grownBy(margins()));
}

bool WindowPeer::liveGeometry(Rect& outer) const {
    const QRect r = outerPixels();
    outer = {scale_.toTwips(r.x()), scale_.toTwips(r.y()), scale_.toTwips(r.width()),
             scale_.toTwips(r.height())};
    return true;
}

void WindowPeer::setCaption(const std::string& text) {
    window().setWindowTitle(QString::fromStdString(text));
}

void WindowPeer::placeAtFirstShow() {
    if (placed_) return;
    placed_ = true;
    WindowWidget& w = window();
    // A window the logic has placed keeps its place; any other starts centred.
    if (w.testAttribute(Qt::WA_Moved)) return;
    centre();
    centred_ = true;
}

void WindowPeer::centre() {
    WindowWidget& w = window();
    const QScreen* screen = w.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    assumed_ = margins();
    const QSize outer = w.size().grownBy(assumed_);
    w.move(area.x() + (area.width() - outer.width()) / 2,
           area.y() + (area.height() - outer.height()) / 2);
}

void WindowPeer::frameChanged() {
    if (!centred_ || !window_) return;
    const WindowWidget& w = *window_;
    if (!w.isVisible() || w.frameGeometry() == w.geometry()) return;  // not framed yet
    // Moving a minimised window restores it; this waits for the user's restore.
    if (w.isMinimized()) return;
    centred_ = false;
    if (margins() != assumed_) centre();
}

void WindowPeer::setVisible(bool on) {
    WindowWidget& w = window();
    if (!on) {
        w.hide();
        return;
    }
    placeAtFirstShow();
    if (!w.isVisible() && !w.isMinimized() && w.wasMinimized()) {
        // Qt 6.4 on X11 sets the "start iconic" hint when it minimises a
        // window but keeps it when the window manager restores the window,
        // so shown again after a hide it would come up minimised. A detour
        // through another state rewrites the hint while the window is unmapped.
        const WindowWidget::OwnStateChange own(w);
        const Qt::WindowStates states = w.windowState();
        w.setWindowState(states | Qt::WindowMaximized);
        w.setWindowState(states);
    }
    w.show();
    if (QPushButton* button = w.defaultButton()) button->setFocus();
    // A minimised window shows on the taskbar only: activating it would make
    // the window manager restore it.
    if (w.isMinimized()) return;
    w.raise();
    w.activateWindow();
}

void WindowPeer::setWindowState(WindowState state) {
    WindowWidget& w = window();
    const bool minimise = state == WindowState::Minimized;
    // Ours, not the user's: the window raises no Restore for it.
    const WindowWidget::OwnStateChange own(w);
    if (minimise) {
        // Placed before it is minimised: Qt 6.4 maps a window that was moved
        // after minimising (before its first show) as a normal one.
        if (!w.isVisible()) placeAtFirstShow();
        w.setWindowState(w.windowState() | Qt::WindowMinimized);
        return;
    }
    w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
    if (w.isVisible()) {
        w.raise();
        w.activateWindow();
    }
}

bool WindowPeer::liveWindowState(WindowState& state) const {
    state = window().isMinimized() ? WindowState::Minimized : WindowState::Normal;
    return true;
}

void WindowPeer::setEnabled(bool on) {
    window().setEnabled(on);
}

double WindowPeer::setLeft(double twips) {
    WindowWidget& w = window();
    const int x = scale_.toPixels(twips, false);
    centred_ = false;
    w.move(x, w.pos().y());
    return scale_.toTwips(x);
}

double WindowPeer::setTop(double twips) {
    WindowWidget& w = window();
    const int y = scale_.toPixels(twips, false);
    centred_ = false;
    w.move(w.pos().x(), y);
    return scale_.toTwips(y);
}

void WindowPeer::resizeOuter(int width, int height) {
    WindowWidget& w = window();
    const QMargins m = margins();
    const QSize client(std::max(0, width - m.left() - m.right()),
                       std::max(0, height - m.top() - m.bottom()));
    if (w.minimumSize() == w.maximumSize()) {
        w.setFixedSize(client);  // a fixed frame keeps its new size fixed
    } else {
        w.resize(client);
    }
}

double WindowPeer::setWidth(double twips) {
    const int width = scale_.toPixels(twips, true);
    resizeOuter(width, outerPixels().height());
    return scale_.toTwips(width);
}

double WindowPeer::setHeight(double twips) {
    const int height = scale_.toPixels(twips, true);
    resizeOuter(outerPixels().width(), height);
    return scale_.toTwips(height);
}

QAction& MenuPeer::action() const {
    if (!action_) throw PropertyRefused("the menu entry is gone");
    return *action_;
}

void MenuPeer::setCaption(const std::string& text) {
    if (menu_) menu_->setTitle(QString::fromStdString(text));
    action().setText(QString::fromStdString(text));
}

void MenuPeer::setVisible(bool on) {
    action().setVisible(on);
}

void MenuPeer::setEnabled(bool on) {
    action().setEnabled(on);
    // The menu itself too: its entries and their shortcut keys go dead.
    if (menu_) menu_->setEnabled(on);
}

void MenuPeer::setChecked(bool on) {
    QAction& a = action();
    if (on) a.setCheckable(true);
    a.setChecked(on);
}

}  // namespace vk::qt
