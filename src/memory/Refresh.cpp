#include "memory/Refresh.h"

#include <cstdint>
#include <string>

#include "memory/FreeBar.h"
#include "memory/MemoryQuery.h"
#include "platform/Numbers.h"
#include "platform/Skip.h"

namespace vk {

namespace {

// A value label's text: "256 MB".
std::string megabytesText(std::int32_t figure) {
    return numberText(figure) + " MB";
}

}  // namespace

// Every step asks MemoryQuery itself, at that point: no figure carries over
// from one step to the next. A tick therefore queries eighteen times.
void tmrUpdateMemoryInformation_Timer(FrmMain& w) {
    MemoryQuery& m = w.memoryQuery;

    step([&] { w.lblTotalPhysicalShow.setCaption(megabytesText(m.GetTotalPhysical())); });
    step([&] {
        const std::int32_t total = m.GetTotalPhysical();  // total first, then free
        w.lblUsedPhysicalShow.setCaption(megabytesText(checkedSub(total, m.GetFreePhysical())));
    });
    step([&] { w.lblFreePhysicalShow.setCaption(megabytesText(m.GetFreePhysical())); });
    step([&] { w.lblTotalPagefileShow.setCaption(megabytesText(m.GetTotalPagefile())); });
    step([&] {
        const std::int32_t total = m.GetTotalPagefile();
        w.lblUsedPagefileShow.setCaption(megabytesText(checkedSub(total, m.GetFreePagefile())));
    });
    step([&] { w.lblFreePagefileShow.setCaption(megabytesText(m.GetFreePagefile())); });

    // The free bars, proportional to the free share (total queried first). A
    // total of 0 fails the division and the bar keeps its width.
    // The bar as a whole tells a screen reader the same share in whole
    // percent, from the same two figures; it changes (and is announced) only
    // when the whole percent does.
    step([&] {
        const std::int32_t total = m.GetTotalPhysical();
        const std::int32_t free = m.GetFreePhysical();
        w.picAvailablePhysical.setWidth(freeBarWidth(free, w.picUsedPhysical.width(), total));
        w.picUsedPhysical.setValue(freeSharePercent(free, total));
    });
    step([&] {
        const std::int32_t total = m.GetTotalPagefile();
        const std::int32_t free = m.GetFreePagefile();
        w.picAvailablePagefile.setWidth(freeBarWidth(free, w.picUsedPagefile.width(), total));
        w.picUsedPagefile.setValue(freeSharePercent(free, total));
    });

    step([&] { w.picAvailablePagefile.setVisible(m.GetFreePagefile() != 0); });
    step([&] { w.picAvailablePhysical.setVisible(m.GetFreePhysical() != 0); });

    // Nothing used: the free bar takes the used bar's design width (3615) and
    // covers it whole, by this step's own figures. A test that fails
    // skips its whole statement, like any other step: entering the branch on
    // a failed query would paint the bar all free from no figures at all.
    step([&] {
        const std::int32_t total = m.GetTotalPhysical();
        if (checkedSub(total, m.GetFreePhysical()) == 0) {
            w.picAvailablePhysical.setWidth(w.picUsedPhysical.def().width);
        }
    });
    step([&] {
        const std::int32_t total = m.GetTotalPagefile();
        if (checkedSub(total, m.GetFreePagefile()) == 0) {
            w.picAvailablePagefile.setWidth(w.picUsedPagefile.def().width);
        }
    });

    // Right-aligned in the used bar, by the widths as the screen took them.
    step([&] {
        w.picAvailablePhysical.setLeft(w.picUsedPhysical.width() - w.picAvailablePhysical.width());
    });
    step([&] {
        w.picAvailablePagefile.setLeft(w.picUsedPagefile.width() - w.picAvailablePagefile.width());
    });

    // After a run: reveal each marker that still fits inside its free bar. A
    // wider one means free memory fell during the run, so it stays hidden.
    if (w.ShowPicOld) {
        w.ShowPicOld = false;
        step([&] {
            if (w.picOldPhysical.width() <= w.picAvailablePhysical.width()) {
                w.picOldPhysical.setVisible(true);
            }
        });
        step([&] {
            if (w.picOldPagefile.width() <= w.picAvailablePagefile.width()) {
                w.picOldPagefile.setVisible(true);
            }
        });
    }
}

void attachMemoryHandlers(FrmMain& w) {
    w.form.on("tmrUpdateMemoryInformation", EventType::Timer,
              [&w] { tmrUpdateMemoryInformation_Timer(w); });
}

}  // namespace vk
