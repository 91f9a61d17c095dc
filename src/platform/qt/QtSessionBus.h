#pragma once
// Whether the desktop session has a D-Bus session bus to talk to. Asking
// libdbus for the session bus where none is set up makes it "autolaunch" one
// (dbus-launch --autolaunch, a bus daemon for the X session): the program
// starts nothing of the kind, so where there is no bus it says so up front.

namespace vk::qt {

// A bus address in the environment, or the bus socket in XDG_RUNTIME_DIR.
bool sessionBusExpected();

// Before the QApplication: where no bus is expected, sets an address that
// makes every attempt to reach one fail at once, so neither Qt nor libdbus
// starts one. Qt then uses the XEmbed tray.
void refuseBusAutolaunch();

}  // namespace vk::qt
