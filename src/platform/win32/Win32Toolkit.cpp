#include "platform/win32/Win32Toolkit.h"

#include "platform/Errors.h"
#include "platform/ProgramIcon.h"
#include "platform/Twips.h"
#include "platform/win32/Win32Classes.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Node.h"
#include "platform/win32/Win32Peers.h"

namespace vk::win32 {
namespace {

// The icon resource the program file carries, by number and by name.
constexpr WORD kIconResourceId = 1;
constexpr const char* kIconResourceName = "IDI_VELKROM";

// The icon format CreateIconFromResourceEx reads: version 3.0, the one every
// system since Windows 3.0 uses.
constexpr DWORD kIconFormatVersion = 0x00030000;

// Child window ids: buttons are found by them (the default button's id is
// what Enter sends). They stay clear of IDOK and IDCANCEL.
constexpr int kFirstControlId = 100;

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HICON loadIcon(HINSTANCE instance, int size) {
    const LPCSTR names[] = {MAKEINTRESOURCEA(kIconResourceId), kIconResourceName};
    for (LPCSTR name : names) {
        if (auto* icon = static_cast<HICON>(
                LoadImageA(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR))) {
            return icon;
        }
    }
    // A program file without the resource (the tests) draws the same
    // picture from the icon's data.
    std::vector<std::uint8_t> ico = icoFileBytes(programIcon());
    const auto dword = [&](std::size_t at) {
        return static_cast<DWORD>(ico[at] | ico[at + 1] << 8 | ico[at + 2] << 16 |
                                  ico[at + 3] << 24);
    };
    // The one directory entry follows the six-byte header: its image's size
    // at offset 8 and the image's offset at 12.
    const DWORD bytes = dword(6 + 8);
    const DWORD offset = dword(6 + 12);
    if (offset + bytes > ico.size()) return nullptr;
    return CreateIconFromResourceEx(ico.data() + offset, bytes, TRUE, kIconFormatVersion, size,
                                    size, LR_DEFAULTCOLOR);
}

DWORD topLevelStyle(const WindowDef& def) {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    style |= def.sizable ? WS_OVERLAPPED | WS_THICKFRAME : WS_POPUP;
    if (def.minimizeBox) style |= WS_MINIMIZEBOX;
    if (def.maximizeBox) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD topLevelExStyle(const WindowDef& def) {
    return def.sizable ? 0 : WS_EX_DLGMODALFRAME;
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance, LoopDriver& loop, int dpi)
    : instance_(instance),
      dpi_(dpi > 0 ? dpi : screenDpi()),
      scale_(vk::twipsPerPixel(dpi_)),
      fonts_(dpi_),
      loop_(loop) {
    registerClasses(instance_);
    icon_ = loadIcon(instance_, GetSystemMetrics(SM_CXICON));
    smallIcon_ = loadIcon(instance_, GetSystemMetrics(SM_CXSMICON));
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    anchorNode_ = std::make_unique<Node>();
    anchorNode_->toolkit = this;
    anchorNode_->anchor = true;
    anchor_ = CreateWindowExA(0, kWindowClass, "Velkrom", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance_, anchorNode_.get());
    if (!anchor_) throw ServiceError("cannot create the program's hidden window");
}

Win32Toolkit::~Win32Toolkit() {
    // The forms may be gone already: only windows are touched here.
    for (auto& [form, record] : windows_) {
        record->binding->form = nullptr;
        if (IsWindow(record->window)) DestroyWindow(record->window);
        for (const auto& [name, hwnd] : record->windows) forget(hwnd);
        record->menus.destroy();
    }
    windows_.clear();
    retired_.clear();
    if (anchor_) DestroyWindow(anchor_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

Loaded* Win32Toolkit::loaded(const Form& form) const {
    const auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

Loaded* Win32Toolkit::loadedOf(HWND topLevel) const {
    for (const auto& [form, record] : windows_) {
        if (record->window == topLevel) return record.get();
    }
    return nullptr;
}

UINT Win32Toolkit::newCommandId() {
    for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
        const UINT id = nextCommand_;
        nextCommand_ = nextCommand_ == kLastCommand ? kFirstCommand : nextCommand_ + 1;
        if (!commands_.count(id)) return id;
    }
    throw PropertyRefused("no menu command id is free");
}

void Win32Toolkit::createWindow(Form& form) {
    if (loaded(form)) return;
    auto record = std::make_unique<Loaded>();
    record->binding = std::make_shared<FormBinding>(FormBinding{&form, &loop_, twipsPerPixel()});
    record->def = &form.def();
    try {
        build(form, *record);
    } catch (...) {
        // A definition the windows cannot be built from leaves nothing behind.
        unbindForm(form, *record->binding);
        for (UINT id : record->commands) commands_.erase(id);
        if (record->window) DestroyWindow(record->window);
        for (const auto& [name, hwnd] : record->windows) forget(hwnd);
        record->menus.destroy();
        throw;
    }
    windows_[&form] = std::move(record);
}

HWND Win32Toolkit::createTopLevel(Form& form, Loaded& record) {
    const WindowDef& def = form.def();
    auto node = std::make_unique<Node>();
    node->toolkit = this;
    node->binding = record.binding;
    node->control = def.name;
    node->kind = ControlKind::Window;
    node->loaded = &record;

    const DWORD style = topLevelStyle(def);
    const DWORD exStyle = topLevelExStyle(def);
    const int clientWidth = scale_.toPixels(def.clientWidth, true);
    const int clientHeight = scale_.toPixels(def.clientHeight, true);
    const bool hasMenu = record.menus.bar() != nullptr;
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, hasMenu, exStyle);
    // Windows without a taskbar button are owned by the hidden anchor.
    const HWND owner = def.showInTaskbar ? nullptr : anchor_;
    const HWND window = CreateWindowExA(exStyle, kWindowClass, def.caption.c_str(), style, 0, 0,
                                        outer.right - outer.left, outer.bottom - outer.top, owner,
                                        nullptr, instance_, node.get());
    if (!window) throw PropertyRefused("the window could not be created");
    record.window = window;
    record.nodes.push_back(std::move(node));
    giveBarToWindow(record.menus, window);
    if (def.hasIcon) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
    // The menu bar may take more room than one line; the client area is
    // what the definition says.
    RECT client;
    GetClientRect(window, &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        RECT now;
        GetWindowRect(window, &now);
        SetWindowPos(window, nullptr, 0, 0, now.right - now.left + clientWidth - client.right,
                     now.bottom - now.top + clientHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

void Win32Toolkit::build(Form& form, Loaded& record) {
    record.menus.build(form, [this, &record] {
        const UINT id = newCommandId();
        record.commands.push_back(id);
        commands_[id] = Target{record.binding, {}};
        return id;
    });
    for (const auto& e : record.menus.entries()) {
        if (e->id) commands_[e->id].control = e->name;
    }
    const HWND top = createTopLevel(form, record);
    record.windows[form.def().name] = top;

    const auto attach = [&](Control& control, std::unique_ptr<ControlPeer> peer) {
        control.attachPeer(peer.get());
        record.peers.push_back(std::move(peer));
    };
    int nextId = kFirstControlId;
    for (const auto& control : form.controls()) {
        const ControlDef& d = control->def();
        switch (control->kind()) {
            case ControlKind::Window:
                attach(*control, std::make_unique<WindowPeer>(top, scale_, *this, record));
                continue;
            case ControlKind::Timer:
                continue;  // timers belong to the dispatcher
            case ControlKind::Menu:
                attach(*control,
                       std::make_unique<MenuPeer>(record.menus, *record.menus.entry(d.name), top));
                continue;
            default:
                break;
        }
        const auto parent = record.windows.find(d.parent.empty() ? form.def().name : d.parent);
        if (parent == record.windows.end()) throw PropertyRefused("no container " + d.parent);
        auto node = std::make_unique<Node>();
        node->toolkit = this;
        node->binding = record.binding;
        node->control = d.name;
        node->kind = d.kind;
        node->loaded = &record;
        node->fore =
            d.foreColor
                ? std::optional<COLORREF>(RGB(d.foreColor->r, d.foreColor->g, d.foreColor->b))
                : std::nullopt;
        if (d.kind == ControlKind::PictureBox && d.backColor) {
            node->fill = CreateSolidBrush(RGB(d.backColor->r, d.backColor->g, d.backColor->b));
        }
        if (d.showsIcon) node->picture = icon_;
        node->font = fonts_.get(d.font);
        const HWND child = createChild(d, parent->second, nextId++, *node, scale_, instance_);
        if (!child) throw PropertyRefused("the control " + d.name + " could not be created");
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(node->font), FALSE);
        // The window's own children lie in definition order, first on top:
        // that is the order Tab walks. Inside a container a later child
        // lies on top of an earlier one, as the definitions expect.
        SetWindowPos(child, d.parent.empty() ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        record.windows[d.name] = child;
        if (d.kind == ControlKind::Button) {
            record.buttons.push_back(child);
            record.dialogKeys = true;
            if (d.isDefault) record.definedDefault = record.currentDefault = child;
            if (d.isCancel) record.cancelButton = child;
        }
        attach(*control, std::make_unique<ChildPeer>(child, scale_, *node));
        record.nodes.push_back(std::move(node));
    }
}

void Win32Toolkit::destroyWindow(Form& form) {
    const auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    Loaded& record = *it->second;
    unbindForm(form, *record.binding);
    for (UINT id : record.commands) commands_.erase(id);
    // The window the user was working in goes: another of ours that takes
    // input becomes the active one, not whatever Windows picks.
    HWND next = nullptr;
    if (GetActiveWindow() == record.window) {
        for (const auto& [other, rec] : windows_) {
            if (rec.get() != &record && IsWindowVisible(rec->window) &&
                IsWindowEnabled(rec->window)) {
                next = rec->window;
            }
        }
    }
    if (lastActive_ == record.window) lastActive_ = nullptr;
    DestroyWindow(record.window);
    for (const auto& [name, hwnd] : record.windows) forget(hwnd);
    record.menus.destroy();
    if (next) SetForegroundWindow(next);
    // Freed once the loop is back: the handler that closed the window may be
    // running from one of its messages.
    retired_.push_back(std::move(it->second));
    windows_.erase(it);
}

void Win32Toolkit::popupMenu(Form& form, const std::string& menu) {
    Loaded* record = loaded(form);
    if (!record) return;
    const MenuEntry* entry = record->menus.entry(menu);
    if (!entry || !entry->submenu) return;
    // Opened from the loop once the handler has returned: TrackPopupMenu
    // runs a loop of its own until the menu closes, and the handler would
    // hold up every event meanwhile.
    POINT at{};
    GetCursorPos(&at);
    pendingPopup_ = PendingPopup{record->binding, menu, at};
    PostMessageA(anchor_, PrivateMessage::OpenPopup, 0, 0);
}

void Win32Toolkit::quit() {
    if (quit_) return;
    quit_ = true;
    PostQuitMessage(0);
}

void Win32Toolkit::run() {
    MSG message;
    while (!quit_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        process(message);
    }
}

void Win32Toolkit::process(MSG& message) {
    if (!translate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    retired_.clear();
}

bool Win32Toolkit::translate(MSG& message) {
    if (!message.hwnd) return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    Loaded* record = loadedOf(root);
    if (!record) return false;
    // Shortcut keys act only while their window takes input.
    if (HACCEL keys = record->menus.accelerators();
        keys && IsWindowEnabled(root) && TranslateAcceleratorA(root, keys, &message)) {
        return true;
    }
    if (!record->dialogKeys) return false;
    const bool taken = IsDialogMessageA(root, &message);
    // The message may have closed the window.
    if (loadedOf(root) == record) syncDefaultButton(*record);
    return taken;
}

HWND Win32Toolkit::window(const Form& form) const {
    const Loaded* record = loaded(form);
    return record ? record->window : nullptr;
}

HWND Win32Toolkit::control(const Form& form, std::string_view name) const {
    const Loaded* record = loaded(form);
    if (!record) return nullptr;
    const auto it = record->windows.find(name);
    return it == record->windows.end() ? nullptr : it->second;
}

HMENU Win32Toolkit::menu(const Form& form, std::string_view name) const {
    Loaded* record = loaded(form);
    if (!record) return nullptr;
    const MenuEntry* entry = record->menus.entry(std::string(name));
    return entry ? entry->submenu : nullptr;
}

UINT Win32Toolkit::commandId(const Form& form, std::string_view name) const {
    Loaded* record = loaded(form);
    if (!record) return 0;
    const MenuEntry* entry = record->menus.entry(std::string(name));
    return entry ? entry->id : 0;
}

HWND Win32Toolkit::mainWindow() const {
    for (const auto& [form, record] : windows_) {
        if (record->def->showInTaskbar) return record->window;
    }
    return nullptr;
}

std::optional<Win32Toolkit::Target> Win32Toolkit::findWindow(HWND window) const {
    if (!window) return std::nullopt;
    for (const auto& [form, record] : windows_) {
        for (const auto& [name, hwnd] : record->windows) {
            if (hwnd == window) return Target{record->binding, name};
        }
    }
    return std::nullopt;
}

}  // namespace vk::win32
