#include "platform/qt/QtToolkit.h"

#include <QApplication>
#include <QCursor>
#include <QMenuBar>
#include <QScreen>
#include <QThread>
#include <algorithm>

#include "platform/Errors.h"
#include "platform/Twips.h"
#include "platform/qt/QtAccessible.h"
#include "platform/qt/QtIcon.h"
#include "platform/qt/QtWidgets.h"

namespace vk::qt {
namespace {

double screenTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return twipsPerPixel(dpi > 0 ? dpi : 96.0);
}

Qt::WindowFlags windowFlags(const WindowDef& def) {
    // No taskbar button: a tool window, which desktops leave off the taskbar.
    Qt::WindowFlags flags = def.showInTaskbar ? Qt::Window : Qt::Tool;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowCloseButtonHint;
    if (def.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (def.maximizeBox && def.sizable) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

}  // namespace

struct QtToolkit::Loaded {
    BindingPtr binding;
    QPointer<WindowWidget> window;
    std::map<std::string, QPointer<QWidget>, std::less<>> widgets;
    MenuTree menus;
    std::vector<std::unique_ptr<ControlPeer>> peers;
    std::vector<std::uint32_t> handles;
};

QtToolkit::QtToolkit(LoopDriver& loop)
    : loop_(loop), scale_(screenTwipsPerPixel()), programIcon_(programQIcon()) {
    installAccessibleWidgets();
    programIconHandle_ = newHandle();
}

QtToolkit::~QtToolkit() {
    // The forms may be gone already: only widgets are touched here.
    for (auto& [form, loaded] : windows_) {
        loaded->binding->form = nullptr;
        for (auto& menu : loaded->menus.popupOnly) delete menu.data();
        delete loaded->window.data();
    }
    for (QPointer<QObject>& object : retired_) delete object.data();
}

std::uint32_t QtToolkit::newHandle() {
    return nextHandle_++;
}

QtToolkit::Loaded* QtToolkit::loaded(const Form& form) const {
    const auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

void QtToolkit::createWindow(Form& form) {
    if (loaded(form)) return;
    auto record = std::make_unique<Loaded>();
    record->binding = std::make_shared<FormBinding>(FormBinding{&form, &loop_, twipsPerPixel()});
    try {
        build(form, *record);
    } catch (...) {
        // A definition the widgets cannot be built from leaves nothing behind.
        unbindForm(form, *record->binding);
        for (std::uint32_t handle : record->handles) handles_.erase(handle);
        for (auto& menu : record->menus.popupOnly) delete menu.data();
        delete record->window.data();
        throw;
    }
    windows_[&form] = std::move(record);
}

void QtToolkit::build(Form& form, Loaded& record) {
    const WindowDef& def = form.def();
    const BindingPtr& binding = record.binding;
    auto* window = new WindowWidget(binding, def.name);
    record.window = window;
    window->setWindowFlags(windowFlags(def));
    window->setWindowTitle(QString::fromStdString(def.caption));
    window->setDialog(!def.sizable);
    if (def.hasIcon) window->setWindowIcon(programIcon_);

    // Containers come before their children in the definition.
    std::map<std::string, QWidget*, std::less<>> containers{{def.name, window->client()}};
    auto attach = [&](Control& control, std::unique_ptr<ControlPeer> peer) {
        control.attachPeer(peer.get());
        record.peers.push_back(std::move(peer));
    };
    auto handleFor = [&](const Control& control) {
        const std::uint32_t handle = newHandle();
        handles_[handle] = Target{binding, control.name(), window};
        record.handles.push_back(handle);
        return handle;
    };
    const auto place = [&](QWidget* widget, const ControlDef& d) {
        widget->setGeometry(scale_.toPixels(d.left, false), scale_.toPixels(d.top, false),
                            scale_.toPixels(d.width, true), scale_.toPixels(d.height, true));
        if (!d.visible) widget->hide();
        if (!d.enabled) widget->setEnabled(false);
        applyLook(*widget, d);
        // Labels find the caption label that names them by its name.
        widget->setObjectName(QString::fromStdString(d.name));
        if (!d.accessibleName.empty()) {
            widget->setAccessibleName(QString::fromStdString(d.accessibleName));
        }
        record.widgets[d.name] = widget;
    };

    for (const auto& control : form.controls()) {
        const ControlDef& d = control->def();
        QWidget* parent = nullptr;
        if (control->kind() != ControlKind::Window && control->kind() != ControlKind::Timer &&
            control->kind() != ControlKind::Menu) {
            const auto found = containers.find(d.parent.empty() ? def.name : d.parent);
            if (found == containers.end()) throw PropertyRefused("no container " + d.parent);
            parent = found->second;
        }
        switch (control->kind()) {
            case ControlKind::Window: {
                record.widgets[def.name] = window;
                attach(*control, std::make_unique<WindowPeer>(window, scale_, handleFor(*control),
                                                              programIconHandle_, margins_));
                break;
            }
            case ControlKind::Frame: {
                auto* frame = new FrameWidget(binding, d, parent);
                place(frame, d);
                containers[d.name] = frame;
                attach(*control, std::make_unique<CaptionPeer>(frame, scale_, handleFor(*control)));
                break;
            }
            case ControlKind::Label: {
                auto* label = new LabelWidget(binding, d, parent);
                place(label, d);
                attach(*control, std::make_unique<CaptionPeer>(label, scale_, handleFor(*control)));
                break;
            }
            case ControlKind::PictureBox: {
                auto* box = new PictureBoxWidget(binding, d, parent);
                place(box, d);
                box->layoutClient();
                if (d.showsIcon) box->setIcon(programIcon_);
                containers[d.name] = box->client();
                attach(*control, std::make_unique<PicturePeer>(
                                     box, scale_, handleFor(*control),
                                     [this](std::uintptr_t h) { return iconForHandle(h); }));
                break;
            }
            case ControlKind::Button: {
                auto* button = new ButtonWidget(binding, d, parent);
                place(button, d);
                if (d.isDefault) {
                    window->setDefaultButton(button);
                    button->setDefault(true);
                }
                if (d.isCancel) window->setCancelButton(button);
                attach(*control,
                       std::make_unique<CaptionPeer>(button, scale_, handleFor(*control)));
                break;
            }
            case ControlKind::Timer:
            case ControlKind::Menu:
                break;  // timers belong to the dispatcher; menus follow
        }
    }

    record.menus = buildMenus(form, *window, binding);
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::Menu) continue;
        const auto menu = record.menus.menus.find(control->name());
        attach(*control, std::make_unique<MenuPeer>(
                             record.menus.actions.at(control->name()),
                             menu == record.menus.menus.end() ? nullptr : menu->second.data()));
    }

    // The client area is exactly the definition's size, below the menu bar.
    const int clientWidth = scale_.toPixels(def.clientWidth, true);
    const int clientHeight = scale_.toPixels(def.clientHeight, true);
    int barHeight = 0;
    if (QMenuBar* bar = window->existingMenuBar()) {
        barHeight = bar->heightForWidth(clientWidth);
        if (barHeight < 0) barHeight = bar->sizeHint().height();
    }
    if (def.sizable) {
        window->resize(clientWidth, clientHeight + barHeight);
    } else {
        window->setFixedSize(clientWidth, clientHeight + barHeight);
    }
}

void QtToolkit::destroyWindow(Form& form) {
    const auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    Loaded& record = *it->second;
    unbindForm(form, *record.binding);
    for (std::uint32_t handle : record.handles) handles_.erase(handle);
    // Deleted later: the handler that unloads the window may be running from
    // one of its own widgets' signals.
    std::erase_if(retired_, [](const QPointer<QObject>& object) { return object.isNull(); });
    for (auto& menu : record.menus.popupOnly) {
        if (menu) menu->deleteLater();
        retired_.push_back(menu.data());
    }
    if (record.window) {
        record.window->hide();
        record.window->deleteLater();
        retired_.push_back(record.window.data());
    }
    windows_.erase(it);
}

void QtToolkit::popupMenu(Form& form, const std::string& name) {
    QMenu* menu = this->menu(form, name);
    if (!menu) return;
    const auto byHost = std::find(shownByHost_.begin(), shownByHost_.end(), menu);
    if (byHost != shownByHost_.end()) {
        shownByHost_.erase(byHost);
        return;
    }
    // Returns at once; a choice arrives later as the entry's Click.
    popups_.open(*menu, QCursor::pos());
}

void QtToolkit::menuShownByHost(QMenu* menu) {
    std::erase_if(shownByHost_, [](const QPointer<QMenu>& m) { return m.isNull(); });
    if (menu) shownByHost_.emplace_back(menu);
}

QMenu* QtToolkit::popupOnlyMenu(const Form& form) const {
    const Loaded* record = loaded(form);
    if (!record || record->menus.popupOnly.size() != 1) return nullptr;
    return record->menus.popupOnly.front().data();
}

void QtToolkit::quit() {
    quit_ = true;
    // Only a running loop is told to leave: exit() with none running would
    // make every later loop (a message box's among them) return at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

std::optional<QtToolkit::Target> QtToolkit::findHandle(std::uint32_t handle) const {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return std::nullopt;
    return it->second;
}

QIcon QtToolkit::iconForHandle(std::uintptr_t handle) const {
    return handle == programIconHandle_ ? programIcon_ : QIcon();
}

WindowWidget* QtToolkit::window(const Form& form) const {
    const Loaded* record = loaded(form);
    return record ? record->window.data() : nullptr;
}

QWidget* QtToolkit::widget(const Form& form, const std::string& control) const {
    const Loaded* record = loaded(form);
    if (!record) return nullptr;
    const auto it = record->widgets.find(control);
    return it == record->widgets.end() ? nullptr : it->second.data();
}

QAction* QtToolkit::action(const Form& form, const std::string& menu) const {
    const Loaded* record = loaded(form);
    if (!record) return nullptr;
    const auto it = record->menus.actions.find(menu);
    return it == record->menus.actions.end() ? nullptr : it->second.data();
}

QMenu* QtToolkit::menu(const Form& form, const std::string& menu) const {
    const Loaded* record = loaded(form);
    if (!record) return nullptr;
    const auto it = record->menus.menus.find(menu);
    return it == record->menus.menus.end() ? nullptr : it->second.data();
}

}  // namespace vk::qt
