#include "platform/qt/QtWidgets.h"

#include <qdrawutil.h>

#include <QAccessible>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>
#include <utility>

#include "platform/qt/QtAccessible.h"

namespace vk::qt {
namespace {

// The window's own client area: a double-click on its empty part is the
// window's double-click.
class ClientWidget : public QWidget {
  public:
    ClientWidget(const Poster& window, QWidget* parent) : QWidget(parent), window_(window) {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        event->accept();
        window_.post(EventType::DblClick, window_.mouseArgs(*event, {}));
    }

  private:
    const Poster& window_;
};

// A window disabled as a whole (behind the About dialog) takes no input but
// keeps its look: the figures go on refreshing in their colours. Only a
// control disabled itself is drawn grey.
QPalette::ColorGroup textGroup(const QWidget& widget) {
    return widget.isEnabledTo(widget.window()) ? QPalette::Active : QPalette::Disabled;
}

QColor toQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

int buttonMask(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

EventArgs Poster::mouseArgs(const QMouseEvent& event, QPoint origin) const {
    EventArgs args;
    args.button = buttonMask(event.buttons() | event.button());
    args.shift = shiftMask(event.modifiers());
    const QPoint at = event.position().toPoint() - origin;
    args.x = at.x() * binding_->twipsPerPixel;
    args.y = at.y() * binding_->twipsPerPixel;
    return args;
}

void applyLook(QWidget& widget, const ControlDef& def) {
    if (!def.font.face.empty() || def.font.points > 0 || def.font.bold) {
        QFont font = widget.font();
        if (!def.font.face.empty()) {
            font.setFamily(QString::fromStdString(def.font.face));
            // A face the machine lacks falls back to a sans-serif one.
            font.setStyleHint(QFont::SansSerif);
        }
        if (def.font.points > 0) font.setPointSizeF(def.font.points);
        font.setBold(def.font.bold);
        widget.setFont(font);
    }
    if (def.foreColor || def.backColor) {
        QPalette palette = widget.palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            if (def.foreColor) {
                palette.setColor(group, QPalette::WindowText, toQColor(*def.foreColor));
                palette.setColor(group, QPalette::ButtonText, toQColor(*def.foreColor));
            }
        }
        if (def.backColor) palette.setColor(QPalette::Window, toQColor(*def.backColor));
        widget.setPalette(palette);
    }
}

WindowWidget::WindowWidget(BindingPtr binding, const std::string& name)
    : QWidget(nullptr), Poster(std::move(binding), name) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    client_ = new ClientWidget(*this, this);
    layout->addWidget(client_);
}

QMenuBar* WindowWidget::menuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        static_cast<QVBoxLayout*>(layout())->setMenuBar(menuBar_);
    }
    return menuBar_;
}

void WindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (isMinimized()) wasMinimized_ = true;
    if (ownStateChanges_ > 0) return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) {
        // From the loop: the window manager's change is still under way.
        postLater(EventType::Restore);
    }
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The logic decides: the close box only asks. A disabled window takes no
    // input, its close box included.
    event->ignore();
    if (isEnabled()) post(EventType::CloseRequest);
}

void WindowWidget::keyPressEvent(QKeyEvent* event) {
    // A focused button has taken Enter itself; what arrives here goes to the
    // default button, and Esc to the cancel button.
    QPushButton* target = nullptr;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) target = default_;
    if (event->key() == Qt::Key_Escape) target = cancel_;
    if (target && target->isVisible() && target->isEnabled()) {
        event->accept();
        target->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WindowWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (onFrameChanged) onFrameChanged();
}

void WindowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (onFrameChanged) onFrameChanged();
}

TextWidget::TextWidget(BindingPtr binding, const ControlDef& def, QWidget* parent)
    : QWidget(parent),
      Poster(std::move(binding), def.name),
      text_(QString::fromStdString(def.caption)),
      presents_(def.presents),
      labelledBy_(QString::fromStdString(def.labelledBy)) {
    // Opaque in the dialog colour; it paints all of itself, so a new text
    // repaints this widget alone.
    setAutoFillBackground(true);
}

void TextWidget::setText(const QString& text) {
    if (text == text_) return;
    const QString before = std::exchange(text_, text);
    update();
    if (QAccessible::isActive()) announceTextChange(*this, before, text_);
}

void TextWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    post(EventType::DblClick, mouseArgs(*event, {}));
}

void FrameWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineY = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineY, width(), height() - lineY), palette(),
                   /*sunken=*/true, /*lineWidth=*/1, /*midLineWidth=*/0);
    if (text().isEmpty()) return;
    // The caption interrupts the top edge, with a little room either side.
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QRect textRect = metrics.boundingRect(QRect(0, 0, width(), height()), flags, text());
    const QRect caption(kCaptionIndent, 0, textRect.width() + 2 * kCaptionPadding,
                        metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(textGroup(*this), QPalette::WindowText));
    painter.drawText(caption.adjusted(kCaptionPadding, 0, 0, 0), flags, text());
}

LabelWidget::LabelWidget(BindingPtr binding, const ControlDef& def, QWidget* parent)
    : TextWidget(std::move(binding), def, parent), align_(def.align) {}

void LabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Qt::Alignment align =
        (align_ == Align::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;
    // Both flag enums are unsigned underneath; drawText takes an int.
    const int flags = static_cast<int>(align.toInt() | Qt::TextWordWrap | Qt::TextShowMnemonic);
    painter.setPen(palette().color(textGroup(*this), QPalette::WindowText));
    painter.drawText(rect(), flags, text());
}

PictureBoxWidget::PictureBoxWidget(BindingPtr binding, const ControlDef& def, QWidget* parent)
    : QWidget(parent),
      Poster(std::move(binding), def.name),
      fill_(def.backColor ? toQColor(*def.backColor) : palette().color(QPalette::Button)),
      presents_(def.presents) {
    // Every pixel is painted here (border and fill), so Qt need not clear
    // behind the box first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Keys go on to the window: Enter on a focused box presses the default
    // button. Nothing is drawn for the focus.
    if (def.tabStop) setFocusPolicy(Qt::TabFocus);
    if (def.border != Border::None) {
        client_ = new QWidget(this);
        client_->setMouseTracking(true);
    }
}

void PictureBoxWidget::setIcon(const QIcon& icon) {
    icon_ = icon;
    update();
}

void PictureBoxWidget::setValue(int percent) {
    if (percent == value_) return;
    value_ = percent;
    if (QAccessible::isActive()) announceValueChange(*this, value_);
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inner = rect();
    if (client_) {
        qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
        inner = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    }
    painter.fillRect(inner, fill_);
    if (!icon_.isNull()) {
        // A picture shows at its own size from the client area's corner.
        const QSize size(32, 32);
        painter.setClipRect(inner);
        icon_.paint(&painter, QRect(inner.topLeft(), size));
    }
}

void PictureBoxWidget::layoutClient() {
    if (client_) client_->setGeometry(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
}

void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    post(EventType::DblClick, mouseArgs(*event, QPoint(borderWidth(), borderWidth())));
}

void PictureBoxWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    post(EventType::MouseMove, mouseArgs(*event, QPoint(borderWidth(), borderWidth())));
}

ButtonWidget::ButtonWidget(BindingPtr binding, const ControlDef& def, QWidget* parent)
    : QPushButton(QString::fromStdString(def.caption), parent),
      Poster(std::move(binding), def.name) {
    // Enter presses the focused button, as it does in a dialog.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this, [this] { post(EventType::Click); });
}

}  // namespace vk::qt
