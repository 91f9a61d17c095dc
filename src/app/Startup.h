#pragma once
#include <string>
#include <string_view>

#include "window/FrmMain.h"

namespace vk {

// The two start switches, compared with the whole upper-cased command line.
inline constexpr const char* kSwitchAuto = "/AUTO";
inline constexpr const char* kSwitchQuit = "/QUIT";

// The command line upper-cased letter by letter (a-z only); every other byte,
// whatever it is, stays as it was.
std::string upperCaseAscii(std::string_view text);

// The main window's load handler: the program's start.
void Form_Load(FrmMain& w);
// The main window's unload handler: the program's one end.
void Form_Unload(FrmMain& w);
void mnuExit_Click(FrmMain& w);
void mnuExit2_Click(FrmMain& w);
// Help "&About Velkrom": disables the main window and opens the About dialog.
void mnuAbout_Click(FrmMain& w);

// Ends the program at once: every timer stops, nothing more is delivered
// and the backend leaves its loop.
void endProgram(Services& sys);

// Attaches the load/unload/exit paths (the Exit entries and the close box)
// and the About entry.
void attachStartupHandlers(FrmMain& w);

}  // namespace vk
