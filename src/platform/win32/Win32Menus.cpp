#include "platform/win32/Win32Menus.h"

#include <set>

#include "platform/Errors.h"

namespace vk::win32 {
namespace {

// The item's text: the caption, and the shortcut right-aligned after a tab.
std::string itemText(const MenuEntry& e) {
    return e.shortcut.empty() ? e.caption : e.caption + "\t" + e.shortcut;
}

void check(BOOL ok, const char* what) {
    if (!ok) throw PropertyRefused(what);
}

std::optional<WORD> virtualKey(const std::string& key) {
    if (key.size() == 1) {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') return static_cast<WORD>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<WORD>(c);
        return std::nullopt;
    }
    if (key.size() <= 3 && (key[0] == 'F' || key[0] == 'f')) {
        int n = 0;
        for (std::size_t i = 1; i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9') return std::nullopt;
            n = n * 10 + (key[i] - '0');
        }
        if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
        return std::nullopt;
    }
    static const std::map<std::string, WORD, std::less<>> named{
        {"Del", VK_DELETE}, {"Delete", VK_DELETE}, {"Ins", VK_INSERT}, {"Insert", VK_INSERT},
        {"Home", VK_HOME},  {"End", VK_END},       {"Esc", VK_ESCAPE}, {"Space", VK_SPACE},
    };
    const auto it = named.find(key);
    if (it == named.end()) return std::nullopt;
    return it->second;
}

}  // namespace

std::optional<ACCEL> acceleratorFor(const std::string& shortcut, UINT command) {
    if (shortcut.empty()) return std::nullopt;
    BYTE flags = FVIRTKEY;
    std::string rest = shortcut;
    for (;;) {
        const std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "Ctrl") {
            flags |= FCONTROL;
        } else if (modifier == "Shift") {
            flags |= FSHIFT;
        } else if (modifier == "Alt") {
            flags |= FALT;
        } else {
            return std::nullopt;
        }
        rest = rest.substr(plus + 1);
    }
    const std::optional<WORD> key = virtualKey(rest);
    if (!key) return std::nullopt;
    return ACCEL{flags, *key, static_cast<WORD>(command)};
}

MenuSet::~MenuSet() {
    destroy();
}

void MenuSet::destroy() {
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    // Menus that are items of another menu go with it; the rest are
    // destroyed here. Pop-up-only menus and menus of hidden entries are
    // held by nobody.
    for (const auto& e : entries_) {
        if (e->submenu && (!e->holder || !e->visible)) DestroyMenu(e->submenu);
        e->submenu = nullptr;
    }
    if (bar_ && barOwned_) DestroyMenu(bar_);
    bar_ = nullptr;
}

void giveBarToWindow(MenuSet& menus, HWND window) {
    if (!menus.bar_) return;
    if (SetMenu(window, menus.bar_)) menus.barOwned_ = false;
}

MenuEntry* MenuSet::entry(const std::string& name) {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

const MenuEntry* MenuSet::entry(const std::string& name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

void MenuSet::build(const Form& form, const IdSource& ids) {
    std::set<std::string, std::less<>> opensMenu;
    for (const auto& control : form.controls()) {
        if (control->kind() == ControlKind::Menu && !control->def().parent.empty()) {
            opensMenu.insert(control->def().parent);
        }
    }
    std::vector<ACCEL> keys;
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::Menu) continue;
        const ControlDef& d = control->def();
        auto e = std::make_unique<MenuEntry>();
        e->name = d.name;
        e->parentName = d.parent;
        e->caption = d.caption;
        e->shortcut = d.shortcut;
        e->separator = d.separator;
        e->visible = d.visible;
        e->enabled = d.enabled;
        e->id = e->separator ? 0 : ids();
        if (d.parent.empty()) {
            e->submenu = CreatePopupMenu();
            // An invisible top-level entry is never in the bar: a pop-up only.
            if (d.visible) {
                if (!bar_) bar_ = CreateMenu();
                e->holder = bar_;
                e->inBar = true;
            }
        } else {
            MenuEntry* parent = entry(d.parent);
            if (!parent || !parent->submenu) continue;  // a definition error: left out
            e->holder = parent->submenu;
            e->inBar = parent->inBar;
            if (opensMenu.count(d.name)) e->submenu = CreatePopupMenu();
            if (!e->separator && !e->submenu) {
                if (const auto key = acceleratorFor(d.shortcut, e->id)) keys.push_back(*key);
            }
        }
        MenuEntry& added = *e;
        byName_[added.name] = &added;
        entries_.push_back(std::move(e));
        if (added.holder && added.visible) insert(added, nullptr);
    }
    if (!keys.empty()) {
        accelerators_ = CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
    }
}

UINT MenuSet::position(const MenuEntry& e) const {
    UINT at = 0;
    for (const auto& other : entries_) {
        if (other.get() == &e) break;
        if (other->holder == e.holder && other->visible) ++at;
    }
    return at;
}

void MenuSet::insert(MenuEntry& e, HWND window) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    std::string text = itemText(e);
    if (e.separator) {
        item.fMask = MIIM_FTYPE;
        item.fType = MFT_SEPARATOR;
    } else {
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | (e.submenu ? MIIM_SUBMENU : 0);
        item.wID = e.id;
        item.dwTypeData = text.data();
        item.fState = (e.enabled ? MFS_ENABLED : MFS_GRAYED) | (e.checked ? MFS_CHECKED : 0);
        item.hSubMenu = e.submenu;
    }
    check(InsertMenuItemA(e.holder, position(e), TRUE, &item), "the menu refused an entry");
    if (window && e.holder == bar_) DrawMenuBar(window);
}

void MenuSet::setCaption(MenuEntry& e, const std::string& caption, HWND window) {
    if (e.holder && e.visible && !e.separator) {
        std::string text = e.shortcut.empty() ? caption : caption + "\t" + e.shortcut;
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING;
        item.dwTypeData = text.data();
        check(SetMenuItemInfoA(e.holder, position(e), TRUE, &item), "the menu entry is gone");
        if (window && e.holder == bar_) DrawMenuBar(window);
    }
    e.caption = caption;
}

void MenuSet::setVisible(MenuEntry& e, bool on, HWND window) {
    if (on == e.visible) return;
    if (e.holder) {
        if (on) {
            e.visible = true;
            try {
                insert(e, window);
            } catch (...) {
                e.visible = false;
                throw;
            }
            return;
        }
        // Removing keeps the entry's own menu, which it shows again later.
        check(RemoveMenu(e.holder, position(e), MF_BYPOSITION), "the menu entry is gone");
        if (window && e.holder == bar_) DrawMenuBar(window);
    }
    e.visible = on;
}

void MenuSet::setEnabled(MenuEntry& e, bool on, HWND window) {
    if (e.holder && e.visible) {
        const UINT flags = MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED);
        check(EnableMenuItem(e.holder, position(e), flags) != static_cast<BOOL>(-1),
              "the menu entry is gone");
        if (window && e.holder == bar_) DrawMenuBar(window);
    }
    e.enabled = on;
}

void MenuSet::setChecked(MenuEntry& e, bool on) {
    if (e.holder && e.visible) {
        const UINT flags = MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED);
        check(CheckMenuItem(e.holder, position(e), flags) != static_cast<DWORD>(-1),
              "the menu entry is gone");
    }
    e.checked = on;
}

}  // namespace vk::win32
