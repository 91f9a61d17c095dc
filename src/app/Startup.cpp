#include "app/Startup.h"

#include "about/AboutDialog.h"
#include "freeing/FreeingRun.h"
#include "freeing/Watch.h"
#include "memory/Refresh.h"
#include "platform/Skip.h"
#include "tray/TrayEvents.h"
#include "tray/TrayRecord.h"

namespace vk {

void endProgram(Services& sys) {
    sys.dispatcher.end();
    sys.toolkit.quit();
}

std::string upperCaseAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

void Form_Load(FrmMain& w) {
    // The tray entry comes first, so it exists in every start mode, also
    // before a "/AUTO" start hides the window.
    step([&] { ShowProgramInTray(w); });
    std::string commandLine;
    step([&] { commandLine = upperCaseAscii(w.sys.commandLine); });
    if (stepTest([&] { return commandLine == kSwitchAuto; })) {
        // Hidden, or minimised where there is no tray entry to come back from.
        step([&] { hideMainWindow(w); });
        step([&] { w.mnuShow.setCaption(kCaptionShow); });
        step([&] { mnuDefragMemory3_Click(w); });  // the watch goes on
        return;
    }
    if (stepTest([&] { return commandLine == kSwitchQuit; })) {
        // Nothing else may be started; the tray's pop-up menu stays usable.
        step([&] { w.mnuFile.setEnabled(false); });
        step([&] { w.mnuHelp.setEnabled(false); });
        // The bars must be current before the markers copy their widths.
        step([&] { tmrUpdateMemoryInformation_Timer(w); });
        startFreeingRun(w, kStatusFreeing, kModeFreeAndQuit, StarterErrors::SkipAndGoOn);
        return;
    }
    // Any other command line is a normal start: the window shows as loaded.
}

void Form_Unload(FrmMain& w) {
    step([&] { w.frmAbout.unload(); });
    step([&] { RemoveProgramFromTray(w); });
    // The program then ends at once: the wiring that attached this handler
    // stops every timer and leaves the event loop.
}

void mnuExit_Click(FrmMain& w) {
    w.unload();
}
void mnuExit2_Click(FrmMain& w) {
    w.unload();
}

void mnuAbout_Click(FrmMain& w) {
    step([&] { w.window.setEnabled(false); });
    step([&] { w.frmAbout.show(w.form); });
}

void attachStartupHandlers(FrmMain& w) {
    w.onUnload = [&w] {
        Form_Unload(w);
        endProgram(w.sys);
    };
    w.form.on("mnuExit", EventType::Click, [&w] { mnuExit_Click(w); });
    w.form.on("mnuExit2", EventType::Click, [&w] { mnuExit2_Click(w); });
    w.form.on("mnuAbout", EventType::Click, [&w] { mnuAbout_Click(w); });
    // The close box, the end of the desktop session and the termination
    // signals all arrive as a close request and unload the window.
    w.form.on("frmMain", EventType::CloseRequest, [&w] { w.unload(); });
}

}  // namespace vk
