// What is the Win32 toolkit's alone, beyond the contract every toolkit
// passes: the record the shell is handed, a refused tray entry and a
// refused block's box through the real program. Runs under Wine on a
// private X display (tests/win32/with_display.sh).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "ToolkitHarness.h"
#include "app/Program.h"
#include "platform/NotifyIcon.h"
// After the portable headers: they must sit beside the SDK's names.
#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace vk::win32 {
namespace {

TEST(Win32TrayShell, TheShellIsHandedTheRecordsFirstForm) {
    NotifyIconData record;
    record.cbSize = kNotifyIconDataSize;
    record.hWnd = 0x80001234u;  // negative as a 32-bit number
    record.uID = 1;
    record.uFlags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
    record.uCallbackMessage = MouseMessage::Move;
    record.hIcon = 0x00045678u;
    record.szTip = fixedLengthTip("Velkrom");
    const NOTIFYICONDATAA native = Win32TrayShell::nativeRecord(encodeNotifyIcon(record));

    // 32-bit: the 88 bytes as they are. 64-bit: the first form's native
    // layout, its handles widened as Windows widens 32-bit handles.
    EXPECT_EQ(native.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(native.hWnd),
              static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80001234u)));
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(native.hIcon), 0x00045678);
    EXPECT_EQ(native.uID, 1u);
    EXPECT_EQ(native.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(native.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(std::string(native.szTip, kTipLength), fixedLengthTip("Velkrom"));
}

// The loop of the tests: messages go where the program's loop sends them.
bool runUntil(Win32Toolkit& toolkit, const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
        MSG msg;
        while (!done() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) toolkit.process(msg);
    }
    return true;
}

// Asks the Windows allocator for a block no address space holds.
class ImpossibleBlocks : public BlockAllocator {
  public:
    std::unique_ptr<Block> allocateAndFill(std::size_t) override {
        return real_.allocateAndFill(std::numeric_limits<std::size_t>::max() - 0xFFFF);
    }

  private:
    Win32BlockAllocator real_;
};

// What a message box showed, read while it waits, then answered with OK.
struct SeenBox {
    std::string title;
    std::string text;
};
SeenBox* gSeen = nullptr;
MessageBoxes* gBoxes = nullptr;

BOOL CALLBACK readBox(HWND window, LPARAM) {
    char name[16] = {};
    if (GetClassNameA(window, name, sizeof name) && std::strcmp(name, "#32770") == 0 && gSeen) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        gSeen->title = text;
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's text
        gSeen->text = text;
    }
    return TRUE;
}

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), readBox, 0);
    if (gSeen && !gSeen->title.empty()) {
        KillTimer(nullptr, timer);
        gBoxes->dismissOpen();
    }
}

// A shell that refuses every add, as one without a notification area does.
BOOL WINAPI refusingShell(DWORD message, PNOTIFYICONDATAA) {
    return message == NIM_ADD ? FALSE : TRUE;
}

TEST(Win32Program, ARefusedTrayEntryLeavesHidingToMinimise) {
    Win32Platform p(GetModuleHandleA(nullptr));
    Win32TrayShell refusing(p.toolkit, refusingShell);
    Services services{p.dispatcher, p.toolkit,  p.memory,   p.allocator, refusing,
                      p.boxes,      p.registry, p.programs, ""};
    Program program(services);
    program.start();
    FrmMain& w = program.main();
    EXPECT_EQ(w.TrayCallResult, 0);
    EXPECT_FALSE(refusing.entryShown(encodeNotifyIcon(w.TrayIconData)));
    // File "&Hide to system tray": with no entry to come back from, the
    // window goes to the taskbar instead.
    SendMessageA(p.toolkit.window(w.form), WM_COMMAND,
                 MAKEWPARAM(p.toolkit.commandId(w.form, "mnuToTray"), 0), 0);
    const HWND window = p.toolkit.window(w.form);
    ASSERT_TRUE(runUntil(p.toolkit, [&] { return IsIconic(window) != 0; }));
    EXPECT_TRUE(IsWindowVisible(window));
    w.unload();
    // The unload ended the program with WM_QUIT, which would close the next
    // test's message box at once.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST(Win32Program, ARefusedBlockShowsTheErrorBoxAndTheRunEnds) {
    Win32Platform p(GetModuleHandleA(nullptr));
    ImpossibleBlocks blocks;
    Services services{p.dispatcher, p.toolkit,  p.memory,   blocks, p.tray,
                      p.boxes,      p.registry, p.programs, ""};
    Program program(services);
    program.start();
    FrmMain& w = program.main();
    SeenBox seen;
    gSeen = &seen;
    gBoxes = &p.boxes;
    // The box's own loop runs the thread timer.
    SetTimer(nullptr, 0, 20, answerBox);
    // File "&Free memory", chosen as the menu sends it.
    SendMessageA(p.toolkit.window(w.form), WM_COMMAND,
                 MAKEWPARAM(p.toolkit.commandId(w.form, "mnuDefragMemory1"), 0), 0);
    ASSERT_TRUE(runUntil(p.toolkit, [&] { return !seen.title.empty(); })) << "no box";
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "Error defragmenting the memory!");
    ASSERT_TRUE(runUntil(p.toolkit, [&] { return w.lblStatus.caption() == "Ready"; }));
    EXPECT_FALSE(w.tmrDefragMemory.enabled());
    gSeen = nullptr;
    w.unload();
    EXPECT_TRUE(p.toolkit.quitRequested());
}

}  // namespace
}  // namespace vk::win32
