#pragma once
// The widgets a window definition is built from. Each knows its control's
// name and posts what the user does to it; none runs logic itself.
#include <QIcon>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/ControlDef.h"
#include "platform/FormBinding.h"

class QMenuBar;

namespace vk::qt {

// The part every control widget shares: who it is and where it posts.
class Poster {
  public:
    Poster(BindingPtr binding, std::string control)
        : binding_(std::move(binding)), control_(std::move(control)) {}
    void post(EventType type, const EventArgs& args = {}) const {
        binding_->post(control_, type, args);
    }
    // Delivered from the loop's next wake-up, outside the event at hand.
    void postLater(EventType type, const EventArgs& args = {}) const {
        binding_->postLater(control_, type, args);
    }
    // A mouse event's button, shift and position in twips, as the events carry them.
    EventArgs mouseArgs(const QMouseEvent& event, QPoint origin) const;
    const std::string& control() const { return control_; }

  private:
    BindingPtr binding_;
    std::string control_;
};

// A top-level window: an optional menu bar above the client area, in which
// every child sits at a fixed position. The close box asks the logic.
class WindowWidget : public QWidget, public Poster {
  public:
    WindowWidget(BindingPtr binding, const std::string& name);
    QWidget* client() const { return client_; }
    QMenuBar* menuBar();  // created on first use
    QMenuBar* existingMenuBar() const { return menuBar_; }
    void setDefaultButton(QPushButton* button) { default_ = button; }
    void setCancelButton(QPushButton* button) { cancel_ = button; }
    QPushButton* defaultButton() const { return default_; }
    // A fixed frame makes a dialog, for a screen reader too.
    void setDialog(bool on) { dialog_ = on; }
    bool dialog() const { return dialog_; }
    // The window has been minimised at some time.
    bool wasMinimized() const { return wasMinimized_; }
    // Told when the window moves or shows: the moments a window manager's
    // frame becomes known.
    std::function<void()> onFrameChanged;

    // Held while the logic itself minimises or restores the window: only
    // the user's restores are reported.
    class OwnStateChange {
      public:
        explicit OwnStateChange(WindowWidget& window) : window_(window) {
            ++window_.ownStateChanges_;
        }
        ~OwnStateChange() { --window_.ownStateChanges_; }
        OwnStateChange(const OwnStateChange&) = delete;
        OwnStateChange& operator=(const OwnStateChange&) = delete;

      private:
        WindowWidget& window_;
    };

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    QPushButton* default_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int ownStateChanges_ = 0;
    bool wasMinimized_ = false;
    bool dialog_ = false;
};

// A control that draws its own caption: no size hints to recompute and no
// layout to ask when the refresh rewrites it a hundred times a second. It
// takes every double-click, even without a handler, so a double-click on a
// caption label never reaches the frame or window behind it.
class TextWidget : public QWidget, public Poster {
  public:
    TextWidget(BindingPtr binding, const ControlDef& def, QWidget* parent);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    Presents presents() const { return presents_; }
    // The name of the caption label that says what this one shows; empty
    // for a label that is a caption itself.
    const QString& labelledBy() const { return labelledBy_; }

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QString text_;
    Presents presents_;
    QString labelledBy_;
};

// A frame: an etched rectangle whose top edge runs through the middle of
// its caption. Drawn here rather than by the style, so that the caption sits
// inside the frame's own rectangle as the definition's geometry expects
// (children are placed from the frame's outer corner).
class FrameWidget : public TextWidget {
  public:
    using TextWidget::TextWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static constexpr int kCaptionIndent = 6;
    static constexpr int kCaptionPadding = 2;
};

class LabelWidget : public TextWidget {
  public:
    LabelWidget(BindingPtr binding, const ControlDef& def, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Align align_;
};

// A filled rectangle, optionally inside a two-pixel sunken border. Its
// children live in the client area inside the border and are clipped to it.
class PictureBoxWidget : public QWidget, public Poster {
  public:
    PictureBoxWidget(BindingPtr binding, const ControlDef& def, QWidget* parent);
    // Where children go: the area inside the border.
    QWidget* client() const { return client_ ? client_ : const_cast<PictureBoxWidget*>(this); }
    int borderWidth() const { return client_ ? kBorder : 0; }
    void setIcon(const QIcon& icon);
    const QIcon& icon() const { return icon_; }
    Presents presents() const { return presents_; }
    // A meter's share in whole percent, -1 before the first.
    void setValue(int percent);
    int value() const { return value_; }
    // Keeps the client area inside the border; called after every resize
    // (a hidden widget gets its resize events only once shown).
    void layoutClient();

    static constexpr int kBorder = 2;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QWidget* client_ = nullptr;
    QColor fill_;
    QIcon icon_;
    Presents presents_;
    int value_ = -1;
};

class ButtonWidget : public QPushButton, public Poster {
  public:
    ButtonWidget(BindingPtr binding, const ControlDef& def, QWidget* parent);
};

// Applies a definition's font and colours to a widget.
void applyLook(QWidget& widget, const ControlDef& def);

}  // namespace vk::qt
