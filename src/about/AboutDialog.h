#pragma once
// The About dialog frmAbout: built afresh at each opening, destroyed at each
// closing. While it is open the main window is disabled; every way of closing
// it enables the main window again.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/Services.h"
#include "platform/SystemInformationKeys.h"

namespace vk {

// Read access only: the lookup never writes, and asking for write access to
// the machine root is refused for every user who is not elevated.
inline constexpr std::uint32_t kSysInfoKeyAccess = RegAccess::Read;
// The room for one value, terminating zero included.
inline constexpr std::uint32_t kRegistryValueRoom = 1024;

inline constexpr const char* kSysInfoFailure = "Unable to start System Information!";

class AboutDialog {
  public:
    explicit AboutDialog(Services& services);
    ~AboutDialog();
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;

    // Shows the dialog modeless and without owner, centred over
    // `mainWindow`; loads it first when it is not loaded: builds its window,
    // attaches it to the dispatcher and runs its load handler. When loading
    // fails the half-built dialog is unloaded again (so the main window is
    // enabled) and the failure goes to the caller.
    void show(Form& mainWindow);
    // Unloads the dialog if it is loaded (its unload handler enables the main
    // window); does nothing otherwise.
    void unload();
    bool loaded() const { return form_ != nullptr; }
    // The dialog's form while it is loaded, else nullptr.
    Form* form() { return form_.get(); }

    // Handlers of the dialog.
    void Form_Load();
    void Form_Unload();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Finds and starts the System Information tool, or shows the failure box.
    void StartSysInfo();
    // Reads one registry value as text into KeyVal; true when found. Skips a
    // failing statement and goes on.
    bool GetKeyValue(const std::uint32_t& KeyRoot, const std::string& KeyName,
                     const std::string& SubKeyRef, std::string& KeyVal);

  private:
    void load();

    Services& sys_;
    Form* mainWindow_ = nullptr;
    std::unique_ptr<Form> form_;
};

}  // namespace vk
