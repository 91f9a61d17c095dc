#include "platform/qt/QtMenus.h"

#include <QKeySequence>
#include <QMenuBar>
#include <set>

#include "platform/qt/QtWidgets.h"

namespace vk::qt {
namespace {

// A choice posts the entry's Click. A checkable entry's mark belongs to the
// logic (its handler sets Checked), so Qt's own toggle is taken back first.
void connectChoice(QAction* action, const std::string& name, const BindingPtr& binding,
                   WindowWidget* barWindow) {
    QPointer<WindowWidget> window(barWindow);
    QObject::connect(action, &QAction::triggered, action, [action, name, binding, window] {
        if (action->isCheckable()) action->setChecked(!action->isChecked());
        // The menu bar and its shortcut keys belong to the window: while the
        // window is disabled they do nothing.
        if (window && !window->isEnabled()) return;
        binding->post(name, EventType::Click);
    });
}

}  // namespace

MenuTree buildMenus(const Form& form, WindowWidget& window, const BindingPtr& binding) {
    MenuTree tree;
    std::set<std::string, std::less<>> opensMenu;
    for (const auto& control : form.controls()) {
        if (control->kind() == ControlKind::Menu && !control->def().parent.empty()) {
            opensMenu.insert(control->def().parent);
        }
    }
    std::map<std::string, bool, std::less<>> inBar;  // entry -> under a menu-bar menu
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::Menu) continue;
        const ControlDef& def = control->def();
        QAction* action = nullptr;
        QMenu* menu = nullptr;
        bool barEntry = false;
        if (def.parent.empty()) {
            if (def.visible) {
                menu = window.menuBar()->addMenu(QString::fromStdString(def.caption));
                barEntry = true;
            } else {
                menu = new QMenu(QString::fromStdString(def.caption));
                tree.popupOnly.push_back(menu);
            }
            action = menu->menuAction();
        } else {
            QMenu* parent = tree.menus.at(def.parent);
            barEntry = inBar.at(def.parent);
            if (def.separator) {
                action = parent->addSeparator();
            } else if (opensMenu.count(def.name)) {
                menu = parent->addMenu(QString::fromStdString(def.caption));
                action = menu->menuAction();
            } else {
                action = parent->addAction(QString::fromStdString(def.caption));
                if (!def.shortcut.empty()) {
                    action->setShortcut(QKeySequence(QString::fromStdString(def.shortcut),
                                                     QKeySequence::PortableText));
                }
                action->setCheckable(def.checkable);
                connectChoice(action, def.name, binding, barEntry ? &window : nullptr);
            }
            action->setVisible(def.visible);
        }
        action->setEnabled(def.enabled);
        if (menu) menu->setEnabled(def.enabled);
        inBar[def.name] = barEntry;
        tree.actions[def.name] = action;
        if (menu) tree.menus[def.name] = menu;
    }
    return tree;
}

}  // namespace vk::qt
