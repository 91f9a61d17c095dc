// What the end-to-end tests of the Windows program read from inside Wine:
// the program's windows as Windows reports them, and the memory figures
// the program sees.
//
//   probe client TITLE   the client area of the top-level window TITLE: "W H"
//   probe bars           per bar of the main window, top to bottom:
//                        "BAR_WIDTH FREE_WIDTH" (outer widths in pixels),
//                        then the physical memory: "memory AVAIL TOTAL" in
//                        bytes
//   probe foreground     the foreground window's title and the class of
//                        the window with the keyboard focus: "TITLE|CLASS"
//   probe                with no arguments, as the About dialog starts a
//                        program: writes "started.txt" next to itself
//
// Exits 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int width(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.right - r.left;
}

std::vector<HWND> children(HWND parent, const char* className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strcmp(name, className) == 0) found.push_back(child);
    }
    return found;
}

int client(const char* title) {
    const HWND window = FindWindowA("VelkromWindow", title);
    if (!window) return 1;
    RECT r;
    GetClientRect(window, &r);
    std::printf("%ld %ld\n", r.right, r.bottom);
    return 0;
}

// Each frame holds one bar, the used bar; inside it the free bar and the
// before-freeing marker. The marker lies above (first in the z-order).
int bars() {
    const HWND window = FindWindowA("VelkromWindow", "Velkrom");
    if (!window) return 1;
    for (HWND frame : children(window, "VelkromFrame")) {
        for (HWND bar : children(frame, "VelkromPicture")) {
            const std::vector<HWND> inner = children(bar, "VelkromPicture");
            if (inner.size() != 2) continue;
            std::printf("%d %d\n", width(bar), width(inner[1]));
        }
    }
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    std::printf("memory %llu %llu\n", status.ullAvailPhys, status.ullTotalPhys);
    return 0;
}

// The window Windows holds in the foreground and the window with the
// keyboard focus in it: "FOREGROUND_TITLE|FOCUS_CLASS".
int foreground() {
    const HWND window = GetForegroundWindow();
    char title[128] = {};
    if (window) GetWindowTextA(window, title, sizeof title);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    char focus[64] = {};
    if (GetGUIThreadInfo(0, &info) && info.hwndFocus) GetClassNameA(info.hwndFocus, focus, sizeof focus);
    std::printf("%s|%s\n", title, focus);
    return 0;
}

int started() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = std::strrchr(path, '\\');
    constexpr char kName[] = "started.txt";
    if (!slash || slash + sizeof kName >= path + MAX_PATH) return 1;
    std::strcpy(slash + 1, kName);
    FILE* file = std::fopen(path, "w");
    if (!file) return 1;
    std::fclose(file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The program declares itself DPI aware; a probe that did not would be
    // told its sizes scaled back to 96 DPI where Wine, like Windows, scales
    // programs that are not (Wine 10 does, Wine 8 does not).
    SetProcessDPIAware();
    if (argc == 3 && std::strcmp(argv[1], "client") == 0) return client(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "bars") == 0) return bars();
    if (argc == 2 && std::strcmp(argv[1], "foreground") == 0) return foreground();
    if (argc == 1) return started();
    std::fprintf(stderr, "usage: probe [client TITLE | bars]\n");
    return 2;
}
