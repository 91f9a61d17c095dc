#include "platform/qt/QtAccessibleCheckEntry.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPointer>

#include "platform/qt/QtAccessible.h"

namespace vk::qt {
namespace {

// A check-mark entry of a menu ("Free memory when full"). Qt 6.4 describes it
// as a plain menu item whose "checked" reaches AT-SPI but whose "checkable"
// does not (its bridge maps no checkable state and has no check-menu-item
// role), so "off" cannot be told from "not a check-mark entry". As a check
// box it reads "checked" and "not checked"; the rest is a menu entry's.
class CheckEntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    explicit CheckEntryAccessible(QAction* action) : action_(action) {}

    bool isValid() const override { return action_ && menu(); }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        QMenu* m = menu();
        return m ? m->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!action_) return {};
        if (t == QAccessible::Name) return withoutAccessKeys(action_->text());
        if (t == QAccessible::Accelerator) {
            return action_->shortcut().toString(QKeySequence::NativeText);
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QMenu* m = menu();
        if (!m || !action_) return {};
        const QRect r = m->actionGeometry(action_);
        return QRect(m->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override {
        QAccessible::State s;
        QMenu* m = menu();
        if (!action_ || !m) {
            s.invisible = true;
            return s;
        }
        s.checkable = true;
        s.checked = action_->isChecked();
        s.focusable = true;
        s.focused = m->isVisible() && m->activeAction() == action_;
        s.invisible = !m->isVisible() || !action_->isVisible();
        s.disabled = !action_->isEnabled();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (name == toggleAction() && action_) action_->trigger();
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name != toggleAction() || !action_ || action_->shortcut().isEmpty()) return {};
        return {action_->shortcut().toString(QKeySequence::NativeText)};
    }

  private:
    // The menu the entry sits in.
    QMenu* menu() const {
        if (!action_) return nullptr;
        for (QObject* owner : action_->associatedObjects()) {
            if (auto* m = qobject_cast<QMenu*>(owner)) return m;
        }
        return nullptr;
    }

    QPointer<QAction> action_;
};

}  // namespace

QAccessibleInterface* describeCheckEntry(QAction* action) {
    return action && action->isCheckable() ? new CheckEntryAccessible(action) : nullptr;
}

}  // namespace vk::qt
