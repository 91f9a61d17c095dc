#include "freeing/Countdown.h"

#include "freeing/TimerTags.h"
#include "platform/Numbers.h"
#include "platform/Skip.h"

namespace vk {

std::string countdownText(double secondsLeft) {
    return "Done, quitting in " + numberText(toInt32(secondsLeft)) + "...";
}

void tmrQuit_Timer(FrmMain& w) {
    step([&] { setTagNumber(w.tmrQuit, tagNumber(w.tmrQuit) - 1); });
    step([&] { w.lblStatus.setCaption(countdownText(tagNumber(w.tmrQuit) - 1)); });
    if (stepTest([&] { return tagNumber(w.tmrQuit) == 0; })) {
        step([&] { w.unload(); });
    }
}

}  // namespace vk
