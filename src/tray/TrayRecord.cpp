#include "tray/TrayRecord.h"

#include "platform/Skip.h"

namespace vk {

void ShowProgramInTray(FrmMain& w) {
    NotifyIconData& t = w.TrayIconData;
    step([&] { t.cbSize = kNotifyIconDataSize; });
    step([&] { t.hWnd = w.TrayIcon.handle(); });
    step([&] { t.uID = kTrayIconId; });
    step([&] { t.uFlags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip; });
    // Mouse events on the entry come back as this message to TrayIcon.
    step([&] { t.uCallbackMessage = MouseMessage::Move; });
    step([&] { w.TrayIcon.setPicture(w.window.icon()); });
    step([&] { t.hIcon = w.TrayIcon.picture(); });
    step([&] { t.szTip = fixedLengthTip(kTrayTip); });
    step([&] { w.TrayCallResult = w.sys.tray.notifyIcon(ShellMessage::Add, encodeNotifyIcon(t)); });
}

void RemoveProgramFromTray(FrmMain& w) {
    step([&] {
        w.TrayCallResult =
            w.sys.tray.notifyIcon(ShellMessage::Delete, encodeNotifyIcon(w.TrayIconData));
    });
}

bool TrayEntryShown(FrmMain& w) {
    bool shown = false;
    // A shell that fails to answer leaves the window on the taskbar: better
    // reachable than hidden for good.
    step([&] { shown = w.sys.tray.entryShown(encodeNotifyIcon(w.TrayIconData)); });
    return shown;
}

}  // namespace vk
