#pragma once
// A window's menus from its menu entries: the visible top-level entries form
// the menu bar; an invisible top-level entry is never in the bar and serves
// as a pop-up menu only. Choosing an entry posts its Click.
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <map>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/FormBinding.h"

namespace vk::qt {

class WindowWidget;

struct MenuTree {
    // Every entry's action (a menu's action is its entry in its parent).
    std::map<std::string, QPointer<QAction>, std::less<>> actions;
    // Every entry that opens a menu.
    std::map<std::string, QPointer<QMenu>, std::less<>> menus;
    // Pop-up-only menus have no parent widget: a disabled main window must
    // not disable them, as the tray's menu stays usable meanwhile.
    std::vector<QPointer<QMenu>> popupOnly;
};

MenuTree buildMenus(const Form& form, WindowWidget& window, const BindingPtr& binding);

}  // namespace vk::qt
