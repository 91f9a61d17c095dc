#include "platform/qt/QtAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <algorithm>

#include "platform/qt/QtAccessibleCheckEntry.h"
#include "platform/qt/QtWidgets.h"

namespace vk::qt {
namespace {

QString strippedText(const QWidget* widget) {
    const auto* text = dynamic_cast<const TextWidget*>(widget);
    return text ? withoutAccessKeys(text->text()) : QString();
}

// A window is a frame, a fixed one a dialog. Asked each time: Qt may make
// the interface (for the title's change event, seen with Qt 6.8) before the
// toolkit has said which of the two the window is.
class WindowAccessible : public QAccessibleWidget {
  public:
    explicit WindowAccessible(WindowWidget* window)
        : QAccessibleWidget(window, QAccessible::Window) {}
    QAccessible::Role role() const override {
        const auto* window = static_cast<const WindowWidget*>(widget());
        return window->dialog() ? QAccessible::Dialog : QAccessible::Window;
    }
};

// Labels, frame captions and the status line: their text as a read-only text
// and as their name. A value label's name carries its frame and caption
// ("Physical memory, Free: 23137 MB"), as a screen reader moving from label
// to label would otherwise read a bare "23137 MB".
class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    TextAccessible(TextWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        QString own = shown();
        const QWidget* caption = captionLabel();
        if (!caption) return own;
        const QString frame = strippedText(textWidget()->parentWidget());
        const QString said = strippedText(caption) + QLatin1Char(' ') + own;
        return frame.isEmpty() ? said : frame + QStringLiteral(", ") + said;
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        if (QWidget* caption = captionLabel(); caption && (match & QAccessible::Label)) {
            found.append({QAccessible::queryAccessibleInterface(caption), QAccessible::Label});
        }
        if (QWidget* value = valueLabel(); value && (match & QAccessible::Labelled)) {
            found.append({QAccessible::queryAccessibleInterface(value), QAccessible::Labelled});
        }
        return found;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read-only text: no selection, no caret.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

  private:
    TextWidget* textWidget() const { return static_cast<TextWidget*>(widget()); }
    QString shown() const { return withoutAccessKeys(textWidget()->text()); }

    QWidget* sibling(const QString& name) const {
        QWidget* parent = textWidget()->parentWidget();
        return parent && !name.isEmpty()
                   ? parent->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly)
                   : nullptr;
    }
    QWidget* captionLabel() const { return sibling(textWidget()->labelledBy()); }
    // The value label this one is the caption of, if any.
    QWidget* valueLabel() const {
        const QWidget* parent = textWidget()->parentWidget();
        if (!parent) return nullptr;
        const QString own = textWidget()->objectName();
        // By dynamic_cast: the widgets have no meta-object of their own, so
        // findChildren<TextWidget*> would take any QWidget for one.
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const auto* other = dynamic_cast<const TextWidget*>(child);
            if (other && !own.isEmpty() && other->labelledBy() == own) return child;
        }
        return nullptr;
    }
};

// A bar whose value is a share in whole percent, named after its frame. The
// rectangles drawn inside it are its picture, not objects of their own.
class MeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit MeterAccessible(PictureBoxWidget* widget)
        : QAccessibleWidget(widget, QAccessible::ProgressBar) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return strippedText(widget()->parentWidget());
        if (t == QAccessible::Value) return QString::number(percent()) + QLatin1Char('%');
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return percent(); }
    void setCurrentValue(const QVariant&) override {}  // shown, not set by the user
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    // Before the first refresh there is no share yet: the bar reads empty.
    int percent() const { return std::max(0, static_cast<PictureBoxWidget*>(widget())->value()); }
};

QAccessibleInterface* describe(const QString& className, QObject* object) {
    if (className == QLatin1String("QAction")) {
        return describeCheckEntry(qobject_cast<QAction*>(object));
    }
    // The toolkit's widgets carry no meta-object of their own: Qt asks for
    // them as plain QWidgets.
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (auto* frame = dynamic_cast<FrameWidget*>(widget)) {
        return new TextAccessible(frame, QAccessible::Grouping);
    }
    if (auto* label = dynamic_cast<LabelWidget*>(widget)) {
        const bool status = label->presents() == Presents::StatusLine;
        return new TextAccessible(label, status ? QAccessible::StatusBar : QAccessible::StaticText);
    }
    if (auto* box = dynamic_cast<PictureBoxWidget*>(widget)) {
        if (box->presents() == Presents::Meter) return new MeterAccessible(box);
        // A picture that takes the focus is an image with a name.
        if (!box->accessibleName().isEmpty()) {
            return new QAccessibleWidget(box, QAccessible::Graphic);
        }
        return nullptr;
    }
    if (auto* window = dynamic_cast<WindowWidget*>(widget)) return new WindowAccessible(window);
    return nullptr;
}

}  // namespace

void installAccessibleWidgets() {
    // Qt keeps one entry per factory, however often it is installed.
    QAccessible::installFactory(describe);
}

void announceTextChange(QWidget& widget, const QString& before, const QString& now) {
    QAccessibleEvent named(&widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleTextUpdateEvent changed(&widget, 0, withoutAccessKeys(before),
                                       withoutAccessKeys(now));
    QAccessible::updateAccessibility(&changed);
}

void announceValueChange(QWidget& widget, int percent) {
    QAccessibleValueChangeEvent changed(&widget, percent);
    QAccessible::updateAccessibility(&changed);
}

QString withoutAccessKeys(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "&x" reads "x"; "&&" is one ampersand; a lone "&" at the end goes.
        if (caption[i] == QLatin1Char('&')) {
            if (++i == caption.size()) break;
        }
        text += caption[i];
    }
    return text;
}

}  // namespace vk::qt
