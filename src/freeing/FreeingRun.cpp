#include "freeing/FreeingRun.h"

#include <exception>

#include "freeing/Countdown.h"
#include "freeing/Markers.h"
#include "freeing/TimerTags.h"
#include "platform/Skip.h"

namespace vk {

void startFreeingRun(FrmMain& w, const std::string& statusText, const char* mode,
                     StarterErrors errors) {
    const auto statement = [errors](auto&& body) {
        if (errors == StarterErrors::SkipAndGoOn) {
            step(body);
        } else {
            body();
        }
    };
    statement([&] { PlaceOldMarkers(w); });
    statement([&] { w.lblStatus.setCaption(statusText); });
    statement([&] { w.tmrDefragMemory.setTag(mode); });
    statement([&] { w.tmrDefragMemory.setEnabled(true); });
}

void mnuDefragMemory1_Click(FrmMain& w) {
    startFreeingRun(w, kStatusFreeing, kModeFreeOnly);
}

void mnuDefragMemory2_Click(FrmMain& w) {
    startFreeingRun(w, kStatusFreeing, kModeFreeAndQuit);
}

namespace {

// The mode is read from the Tag afresh at each test, as a number.
bool quitMode(const FrmMain& w) {
    return tagNumber(w.tmrDefragMemory) == 4;
}

void freeOnce(FrmMain& w) {
    w.tmrDefragMemory.setEnabled(false);
    // Held until this function returns, whichever way it leaves.
    const auto block = w.sys.allocator.allocateAndFill(kFreeingBlockBytes);
    w.ShowPicOld = true;
    if (!quitMode(w)) w.lblStatus.setCaption(kStatusReady);
    // Armed afresh, so that the markers go 5 s after this run: arming a timer
    // that still runs keeps its pace, and the hide tick of a run less than
    // 5 s before would hide this run's markers as they show, or before the
    // refresh reveals them, which would then stay until the next run.
    w.tmrLoosePicOld.setEnabled(false);
    w.tmrLoosePicOld.setEnabled(true);
    if (quitMode(w)) {
        w.mnuFile.setEnabled(false);
        w.mnuHelp.setEnabled(false);
        w.lblStatus.setCaption(countdownText(tagNumber(w.tmrQuit) - 1));
        w.tmrQuit.setEnabled(true);
    }
}

}  // namespace

void tmrDefragMemory_Timer(FrmMain& w) {
    try {
        freeOnce(w);
    } catch (const std::exception&) {
        // The block is already given back here, so the memory is free while
        // the box waits for the user.
        w.sys.boxes.show("Error defragmenting the memory!", "Error", BoxIcon::Critical);
        w.lblStatus.setCaption(kStatusReady);
    }
}

}  // namespace vk
