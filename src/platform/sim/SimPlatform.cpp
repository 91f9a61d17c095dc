#include "platform/sim/SimPlatform.h"

#include <algorithm>

#include "platform/Errors.h"
#include "platform/Twips.h"

namespace vk::sim {

void SimPeer::check() const {
    if (refuse) throw PropertyRefused(control_.name() + " refused a property");
}

double SimPeer::snap(double twips, bool isSize, int& shownPixels) {
    check();
    shownPixels = scale_.toPixels(twips, isSize);
    return scale_.toTwips(shownPixels);
}

void SimPeer::setPicture(std::uintptr_t handle) {
    check();
    if (control_.kind() != ControlKind::PictureBox) {
        throw PropertyRefused("only a picture box holds a picture");
    }
    if (handle && !pictures_.count(handle)) throw PropertyRefused("no picture with that handle");
}

SimPeer::Pixels SimPeer::insideArea() const {
    const Border border = control_.def().border;
    const int edge = border == Border::Sunken3D ? 2 : border == Border::Single ? 1 : 0;
    return {edge, edge, std::max(0, pixels.width - 2 * edge),
            std::max(0, pixels.height - 2 * edge)};
}

void SimToolkit::createWindow(Form& form) {
    // A control whose container is missing: the window cannot be built,
    // and nothing of it is.
    for (const auto& control : form.controls()) {
        const ControlDef& def = control->def();
        const bool placed = control->kind() != ControlKind::Window &&
                            control->kind() != ControlKind::Timer &&
                            control->kind() != ControlKind::Menu;
        if (placed && !def.parent.empty() && !form.find(def.parent)) {
            throw PropertyRefused("no container " + def.parent);
        }
    }
    created.push_back(form.name());
    for (const auto& control : form.controls()) {
        if (control->kind() == ControlKind::Timer) continue;
        auto peer = std::make_unique<SimPeer>(*control, twipsPerPixel, icons_);
        peer->handle_ = nextHandle_++;
        if (control->kind() == ControlKind::Window) {
            peer->icon_ = nextHandle_++;
            icons_.insert(peer->icon_);
        }
        // Windows are shown by the caller once loaded; controls show as declared.
        peer->shown = control->kind() != ControlKind::Window && control->visible();
        const ControlDef& def = control->def();
        peer->setCaption(def.caption);
        peer->setEnabled(def.enabled);
        peer->setLeft(def.left);
        peer->setTop(def.top);
        peer->setWidth(def.width);
        peer->setHeight(def.height);
        control->attachPeer(peer.get());
        handles_[peer->handle_] = Target{&form, control->name()};
        peers_[control.get()] = std::move(peer);
    }
}

void SimToolkit::destroyWindow(Form& form) {
    destroyed.push_back(form.name());
    form.detachPeers();
    for (const auto& control : form.controls()) {
        const auto it = peers_.find(control.get());
        if (it == peers_.end()) continue;
        handles_.erase(it->second->handle_);
        peers_.erase(it);
    }
}

bool SimToolkit::pressShortcut(Form& form, const std::string& keys, Dispatcher& dispatcher) {
    if (!form.window().enabled()) return false;
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::Menu || control->def().shortcut != keys) continue;
        for (const Control* entry = control.get(); entry;
             entry = entry->def().parent.empty() ? nullptr : form.find(entry->def().parent)) {
            if (!entry->enabled()) return false;
        }
        dispatcher.post(form, control->name(), EventType::Click);
        return true;
    }
    return false;
}

bool SimToolkit::chooseMenuEntry(Form& form, const std::string& menu, Dispatcher& dispatcher) {
    const Control* top = nullptr;
    for (const Control* entry = form.find(menu); entry;
         entry = entry->def().parent.empty() ? nullptr : form.find(entry->def().parent)) {
        if (!entry->enabled()) return false;
        top = entry;
    }
    if (!top) return false;
    // A visible top-level entry is in the menu bar, which belongs to the
    // window; an invisible one opens only as a pop-up.
    if (top->def().visible && !form.window().enabled()) return false;
    dispatcher.post(form, menu, EventType::Click);
    return true;
}

bool SimToolkit::closeByUser(Form& form, Dispatcher& dispatcher) {
    if (!peer(form.window()) || !form.window().enabled()) return false;
    dispatcher.post(form, form.name(), EventType::CloseRequest);
    return true;
}

bool SimToolkit::pressDialogKey(Form& form, bool enter, Dispatcher& dispatcher) {
    if (!peer(form.window()) || !form.window().enabled()) return false;
    for (const auto& control : form.controls()) {
        const ControlDef& def = control->def();
        if (control->kind() != ControlKind::Button || !(enter ? def.isDefault : def.isCancel)) {
            continue;
        }
        if (!control->enabled() || !control->visible()) return false;
        dispatcher.post(form, control->name(), EventType::Click);
        return true;
    }
    return false;
}

bool SimToolkit::restoreByUser(Form& form, Dispatcher& dispatcher) {
    SimPeer* window = peer(form.window());
    if (!window || !window->minimized) return false;
    window->minimized = false;
    dispatcher.post(form, form.name(), EventType::Restore);
    return true;
}

void SimToolkit::popupMenu(Form& form, const std::string& menu) {
    popups.push_back(form.name() + "/" + menu);
}

SimPeer* SimToolkit::peer(const Control& control) {
    const auto it = peers_.find(&control);
    return it == peers_.end() ? nullptr : it->second.get();
}

std::optional<SimToolkit::Target> SimToolkit::findHandle(std::uintptr_t handle) const {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return std::nullopt;
    return it->second;
}

void SimMemory::query(MemoryStatus& record) {
    ++queries;
    if (script) script(queries, status);
    if (fail) throw ServiceError("memory figures unavailable");
    record = status;
}

void SimMemory::setMB(std::uint64_t totalPhys, std::uint64_t freePhys, std::uint64_t totalPage,
                      std::uint64_t freePage) {
    constexpr std::uint64_t MB = 1024 * 1024;
    status = {totalPhys * MB, freePhys * MB, totalPage * MB, freePage * MB};
}

std::unique_ptr<Block> SimAllocator::allocateAndFill(std::size_t bytes) {
    ++allocations;
    lastSize = bytes;
    if (fail) throw OutOfMemory("refused by the test");
    auto block = std::make_unique<SimBlock>(bytes, liveBlocks);
    if (whileAllocating) whileAllocating();
    return block;
}

namespace {

std::pair<std::uint32_t, std::uint32_t> entryId(const NotifyIconBytes& record) {
    const NotifyIconData fields = decodeNotifyIcon(record);
    return {static_cast<std::uint32_t>(fields.hWnd), fields.uID};
}

}  // namespace

std::int32_t SimTray::notifyIcon(std::uint32_t message, const NotifyIconBytes& record) {
    calls.push_back({message, record});
    const auto id = entryId(record);
    if (result == 0) return 0;
    if (message == ShellMessage::Add) {
        // Notifications need a window to go to.
        if (!toolkit_.findHandle(id.first)) return 0;
        return entries.emplace(id, decodeNotifyIcon(record)).second && hostPresent ? result : 0;
    }
    if (message == ShellMessage::Delete) return entries.erase(id) ? result : 0;
    return 0;
}

bool SimTray::activate(std::uint32_t hWnd, std::uint32_t id, std::uint32_t mouseMessage,
                       Dispatcher& dispatcher) const {
    const auto entry = entries.find({hWnd, id});
    if (entry == entries.end()) return false;
    const NotifyIconData& fields = entry->second;
    // A picture box hears the callback message as a mouse move.
    if (!(fields.uFlags & NotifyFlag::Message) || fields.uCallbackMessage != MouseMessage::Move) {
        return false;
    }
    const std::optional<SimToolkit::Target> target = toolkit_.findHandle(hWnd);
    if (!target) return false;
    EventArgs args;
    args.message = mouseMessage;
    // Where the callback's lParam puts it: the message number as x, in pixels.
    args.x = mouseMessage * toolkit_.twipsPerPixel;
    dispatcher.post(*target->form, target->control, EventType::MouseMove, args);
    return true;
}

bool SimTray::entryShown(const NotifyIconBytes& record) const {
    return hostPresent && entries.count(entryId(record)) > 0;
}

void SimBoxes::show(const std::string& text, const std::string& title, BoxIcon icon) {
    shown.push_back({text, title, icon});
    open_ = true;
    if (whileOpen) whileOpen(shown.back());
    open_ = false;
}

bool SimBoxes::dismissOpen() {
    if (!open_) return false;
    open_ = false;
    shown.back().dismissed = true;
    return true;
}

std::int32_t SimRegistry::openKey(std::uint32_t root, const std::string& key, std::uint32_t access,
                                  std::uint32_t& handle) {
    log.push_back("open " + key);
    lastAccess.push_back(access);
    if (denyOpen) return RegResult::AccessDenied;
    if (root != RegRoot::LocalMachine || !keys.count(key)) return RegResult::FileNotFound;
    handle = nextHandle_++;
    open_[handle] = key;
    return RegResult::Success;
}

std::int32_t SimRegistry::queryValue(std::uint32_t handle, const std::string& name,
                                     std::uint32_t& type, std::vector<std::uint8_t>& buffer,
                                     std::uint32_t& size) {
    log.push_back("query " + name);
    const auto key = open_.find(handle);
    if (key == open_.end()) return RegResult::InvalidHandle;
    const auto& values = keys[key->second];
    const auto value = values.find(name);
    if (value == values.end()) return RegResult::FileNotFound;
    type = value->second.type;
    const auto& data = value->second.data;
    const std::size_t room = std::min<std::size_t>(size, buffer.size());
    if (data.size() > room) {
        size = static_cast<std::uint32_t>(data.size());
        return RegResult::MoreData;
    }
    std::copy(data.begin(), data.end(), buffer.begin());
    size = static_cast<std::uint32_t>(data.size());
    return RegResult::Success;
}

std::int32_t SimRegistry::closeKey(std::uint32_t handle) {
    log.push_back("close " + std::to_string(handle));
    return open_.erase(handle) ? RegResult::Success : RegResult::InvalidHandle;
}

void SimRegistry::setString(const std::string& key, const std::string& name,
                            const std::string& text, bool withTerminator) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    if (withTerminator) data.push_back(0);
    setValue(key, name, RegType::String, std::move(data));
}

void SimRegistry::setValue(const std::string& key, const std::string& name, std::uint32_t type,
                           std::vector<std::uint8_t> data) {
    keys[key][name] = Value{type, std::move(data)};
}

bool SimPrograms::isOrdinaryFile(const std::string& path) {
    probed.push_back(path);
    return files.count(path) > 0;
}

void SimPrograms::start(const std::string& path) {
    if (path.empty() || unstartable.count(path)) throw ServiceError("cannot start " + path);
    started.push_back(path);
}

SimPlatform::SimPlatform(std::string commandLine)
    : services{dispatcher, toolkit,  memory,
               allocator,  tray,     boxes,
               registry,   programs, std::move(commandLine)} {}

void SimPlatform::settle() {
    advance(0);
}

void SimPlatform::advance(std::int64_t ms) {
    const std::int64_t target = clock.nowMs() + ms;
    if (dispatcher.busy()) {
        // A modal box is open: time passes, ticks pile up and wait.
        while (auto next = dispatcher.nextTimerDueMs()) {
            if (*next > target) break;
            clock.set(std::max(clock.nowMs(), *next));
            dispatcher.collectDueTimers();
        }
        clock.set(target);
        return;
    }
    // A handler may itself have moved the clock on (it "took time"); the
    // clock never goes back.
    for (;;) {
        dispatcher.pump();
        const auto next = dispatcher.nextWakeMs();
        if (!next || *next > std::max(target, clock.nowMs())) break;
        clock.set(std::max(clock.nowMs(), *next));
    }
    if (target > clock.nowMs()) clock.set(target);
    dispatcher.pump();
}

void SimPlatform::post(Form& form, const std::string& control, EventType type,
                       const EventArgs& args) {
    dispatcher.post(form, control, type, args);
    if (!dispatcher.busy()) settle();
}

}  // namespace vk::sim
