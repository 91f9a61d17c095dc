#pragma once
// The About dialog frmAbout: built afresh at each opening, destroyed at each
// closing. While it is open the main window is disabled.
#include <memory>

#include "platform/Form.h"
#include "platform/Services.h"

namespace vk {

class AboutDialog {
public:
    explicit AboutDialog(Services& services);
    ~AboutDialog();
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;

    // Shows the dialog modeless over `mainWindow`, loading it first.
    void show(Form& mainWindow);
    // Unloads the dialog if it is loaded; does nothing otherwise.
    void unload();
    bool loaded() const { return form_ != nullptr; }
    // The dialog's form while it is loaded, else nullptr.
    Form* form() { return form_.get(); }

private:
    Services& sys_;
    Form* mainWindow_ = nullptr;
    std::unique_ptr<Form> form_;
};

}  // namespace vk
