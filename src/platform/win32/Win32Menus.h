#pragma once
// A window's menus from its menu entries: the visible top-level entries form
// the menu bar; an invisible top-level entry is never in the bar and serves
// as a pop-up menu only. Every entry that can be chosen has a command id;
// entries with a shortcut key also go into the window's accelerator table.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Form.h"

namespace vk::win32 {

struct MenuEntry {
    std::string name;
    std::string parentName;  // empty for top-level entries
    std::string caption;
    std::string shortcut;
    UINT id = 0;
    HMENU holder = nullptr;   // the menu this entry is an item of; none for pop-up-only
    HMENU submenu = nullptr;  // the menu it opens
    bool separator = false;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    bool inBar = false;  // lies under the menu bar (its shortcuts belong to the window)
};

class MenuSet {
  public:
    using IdSource = std::function<UINT()>;
    MenuSet() = default;
    ~MenuSet();
    MenuSet(const MenuSet&) = delete;
    MenuSet& operator=(const MenuSet&) = delete;

    // Builds the menus of a form's entries, taking command ids from `ids`.
    void build(const Form& form, const IdSource& ids);
    // Gives the menus back to the system (the bar goes with its window).
    void destroy();

    HMENU bar() const { return bar_; }
    HACCEL accelerators() const { return accelerators_; }
    MenuEntry* entry(const std::string& name);
    const MenuEntry* entry(const std::string& name) const;
    const std::vector<std::unique_ptr<MenuEntry>>& entries() const { return entries_; }

    // Property changes of one entry; each throws PropertyRefused when the
    // system refuses it. `window` is redrawn when the bar changes.
    void setCaption(MenuEntry& e, const std::string& caption, HWND window);
    void setVisible(MenuEntry& e, bool on, HWND window);
    void setEnabled(MenuEntry& e, bool on, HWND window);
    void setChecked(MenuEntry& e, bool on);

  private:
    // The entry's place among the items its holder shows now.
    UINT position(const MenuEntry& e) const;
    void insert(MenuEntry& e, HWND window);

    HMENU bar_ = nullptr;
    bool barOwned_ = true;  // until a window takes the bar
    std::vector<std::unique_ptr<MenuEntry>> entries_;
    std::map<std::string, MenuEntry*, std::less<>> byName_;
    HACCEL accelerators_ = nullptr;

    friend void giveBarToWindow(MenuSet&, HWND);
};

// Sets the bar on its window, which destroys it along with itself from then on.
void giveBarToWindow(MenuSet& menus, HWND window);

// The key of a shortcut text such as "Ctrl+F" or "F1"; none for a text the
// keyboard has no key for.
std::optional<ACCEL> acceleratorFor(const std::string& shortcut, UINT command);

}  // namespace vk::win32
