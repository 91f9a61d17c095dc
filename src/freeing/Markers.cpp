#include "freeing/Markers.h"

#include "platform/Skip.h"

namespace vk {

namespace {

// The marker ends where the free bar ends, at the used bar's right end, so
// that it covers exactly the free bar of the moment.
void placeMarker(Control& marker, const Control& freeBar, const Control& usedBar) {
    step([&] { marker.setVisible(false); });
    step([&] { marker.setWidth(freeBar.width()); });
    step([&] { marker.setLeft(usedBar.width() - marker.width()); });
}

}  // namespace

void PlaceOldMarkers(FrmMain& w) {
    placeMarker(w.picOldPhysical, w.picAvailablePhysical, w.picUsedPhysical);
    placeMarker(w.picOldPagefile, w.picAvailablePagefile, w.picUsedPagefile);
}

void tmrLoosePicOld_Timer(FrmMain& w) {
    step([&] { w.tmrLoosePicOld.setEnabled(false); });
    step([&] { w.picOldPhysical.setVisible(false); });
    step([&] { w.picOldPagefile.setVisible(false); });
}

}  // namespace vk
