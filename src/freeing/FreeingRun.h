#pragma once
// The freeing run: the process takes one large block, writes all of it and
// gives it back at once. A starter prepares the display and arms the one-shot
// run timer; the run itself happens on that timer's tick, after the starter
// has returned to the message loop.
#include <cstddef>
#include <cstdint>
#include <string>

#include "window/FrmMain.h"

namespace vk {

inline constexpr std::size_t kFreeingBlockBytes = 160'000'000;

// Run modes, kept as text in tmrDefragMemory's Tag.
inline constexpr const char* kModeFreeOnly = "1";
inline constexpr const char* kModeFreeAndQuit = "4";

inline constexpr const char* kStatusReady = "Ready";
inline constexpr const char* kStatusFreeing = "Freeing up memory...";

// How a starter meets a failing statement: the menu entries let it reach
// their caller; the load handler and the watch skip it and go on.
enum class StarterErrors : std::uint8_t { Propagate, SkipAndGoOn };

// The starter steps: take the marker snapshot, show the status text, write
// the mode into the run timer's Tag and arm the run timer. A second start
// before the tick overwrites text and mode: one run, in the mode written last.
void startFreeingRun(FrmMain& w, const std::string& statusText, const char* mode,
                     StarterErrors errors = StarterErrors::Propagate);

// File "&Free memory": a free-only run.
void mnuDefragMemory1_Click(FrmMain& w);
// File "Free memory and &Quit": a run that ends in the quit countdown.
void mnuDefragMemory2_Click(FrmMain& w);

// The run timer's tick. The block lives for this tick only and is released
// on every path. Any failure leaves the remaining steps, shows the error box
// and sets "Ready"; nothing is retried.
void tmrDefragMemory_Timer(FrmMain& w);

}  // namespace vk
