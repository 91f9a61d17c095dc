#include "about/AboutDialog.h"

#include "about/AboutDefinition.h"
#include "about/ProgramInfo.h"
#include "platform/Numbers.h"
#include "platform/Skip.h"

namespace vk {

AboutDialog::AboutDialog(Services& services) : sys_(services) {}

AboutDialog::~AboutDialog() {
    unload();
}

void AboutDialog::show(Form& mainWindow) {
    mainWindow_ = &mainWindow;
    if (!form_) load();
    if (ControlPeer* peer = form_->window().peer()) peer->setVisible(true);
}

void AboutDialog::load() {
    form_ = std::make_unique<Form>(aboutWindowDefinition());
    form_->on("cmdOK", EventType::Click, [this] { cmdOK_Click(); });
    form_->on("cmdSysInfo", EventType::Click, [this] { cmdSysInfo_Click(); });
    // The close box and Alt+F4 unload the dialog like OK does.
    form_->on(form_->name(), EventType::CloseRequest, [this] { cmdOK_Click(); });
    try {
        sys_.toolkit.createWindow(*form_);
        sys_.dispatcher.attach(*form_);
        Form_Load();
    } catch (...) {
        // Never leave the main window disabled behind a dialog that is not
        // there: a failed load unloads what was built.
        unload();
        throw;
    }
}

void AboutDialog::unload() {
    if (!form_) return;
    Form_Unload();
    step([&] { sys_.toolkit.destroyWindow(*form_); });
    // A dialog unloaded from inside one of its own handlers stays alive
    // until that handler has returned.
    sys_.dispatcher.retire(std::move(form_));
}

void AboutDialog::Form_Load() {
    Control& me = form_->window();
    const Control& main = mainWindow_->window();
    // Centred on the main window's centre, from outer sizes and screen
    // positions, in single precision.
    const float left = static_cast<float>(main.width()) / 2 + static_cast<float>(main.left()) -
                       static_cast<float>(me.width()) / 2;
    me.setLeft(left);
    const float top = static_cast<float>(main.height()) / 2 + static_cast<float>(main.top()) -
                      static_cast<float>(me.height()) / 2;
    me.setTop(top);
    me.setCaption(std::string("About ") + kProgramTitle);
    // Built by appending: GCC 12 at -O3 reports a false -Wrestrict on
    // "literal" + std::string (GCC bug 105651).
    std::string version = "v";
    version.append(numberText(kVersionMajor)).append(".").append(numberText(kVersionMinor));
    (*form_)["lblVersion"].setCaption(version);
    (*form_)["lblTitle"].setCaption(kProgramTitle);
}

void AboutDialog::Form_Unload() {
    step([&] {
        if (mainWindow_) mainWindow_->window().setEnabled(true);
    });
}

void AboutDialog::cmdOK_Click() {
    step([&] { unload(); });
}

void AboutDialog::cmdSysInfo_Click() {
    StartSysInfo();
}

}  // namespace vk
