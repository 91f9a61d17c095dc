#include "about/AboutDialog.h"

namespace vk {

AboutDialog::AboutDialog(Services& services) : sys_(services) {}
AboutDialog::~AboutDialog() = default;

void AboutDialog::show(Form& mainWindow) { mainWindow_ = &mainWindow; }

void AboutDialog::unload() {
    if (!form_) return;
    form_.reset();
}

}  // namespace vk
