#pragma once
#include "app/FrmMain.h"

namespace vk {

// The main window's load handler: the program's start.
void Form_Load(FrmMain& w);
// The main window's unload handler: the program's one end.
void Form_Unload(FrmMain& w);
void mnuExit_Click(FrmMain& w);
void mnuExit2_Click(FrmMain& w);

// Attaches the load/unload/exit paths: the Exit entries and the close box.
void attachStartupHandlers(FrmMain& w);

}  // namespace vk
