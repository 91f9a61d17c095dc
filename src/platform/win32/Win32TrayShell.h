#pragma once
// The notification-area shell on Win32: Shell_NotifyIconA with the record's
// first form. On i686 the record's 88 bytes are that form exactly and go as
// they are; on x86_64 the same fields go in the native layout of the first
// form, handles at full width.
//
// The shell can be recreated (Explorer restarts, or a tray host appears
// late): it then broadcasts "TaskbarCreated", and every entry the program
// added is added again with the same record.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <map>
#include <set>
#include <utility>

#include "platform/TrayShell.h"

namespace vk::win32 {

class Win32Toolkit;

class Win32TrayShell : public TrayShell {
  public:
    // The shell's call; tests put a shell that refuses in its place.
    using NotifyCall = decltype(&Shell_NotifyIconA);
    explicit Win32TrayShell(Win32Toolkit& toolkit, NotifyCall shell = Shell_NotifyIconA);
    // Entries still present are deleted: none outlives the program.
    ~Win32TrayShell() override;
    Win32TrayShell(const Win32TrayShell&) = delete;
    Win32TrayShell& operator=(const Win32TrayShell&) = delete;

    std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) override;
    // The shell holds the entry now: its add (or the add again after the
    // shell was recreated) succeeded.
    bool entryShown(const NotifyIconBytes& record) const override;

    // Deletes every entry the shell holds.
    void deleteAll();

    // The record as the shell is given it.
    static NOTIFYICONDATAA nativeRecord(const NotifyIconBytes& record);

  private:
    using Key = std::pair<HWND, UINT>;
    void addAgain();

    Win32Toolkit& toolkit_;
    NotifyCall shell_;
    // Entries the program added, whether the shell took them or not (a
    // shell that comes later gets them), and those the shell holds.
    std::map<Key, NotifyIconBytes> added_;
    std::set<Key> present_;
};

}  // namespace vk::win32
