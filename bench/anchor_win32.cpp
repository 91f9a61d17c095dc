// The yardstick for the Windows program's CPU cost: the least a plain Win32
// program can do for the same display. One window with six static labels and
// a 10 ms window timer whose tick reads the memory figures once and sets the
// labels whose text changed. WM_CLOSE ends it; with VELKROM_STATS=1 it then
// prints its tick rate as the program does. With VK_ANCHOR_QUERIES=18 its
// tick asks GlobalMemoryStatusEx eighteen times, as often as the program's
// refresh does (every figure is queried afresh), which tells the program's
// queries apart from the rest of its cost.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND labels[6];
char shown[6][32];
long long ticks = 0;
int queriesPerTick = 1;

void tick() {
    ++ticks;
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    for (int i = 0; i < queriesPerTick; ++i) {
        if (!GlobalMemoryStatusEx(&m)) return;
    }
    const unsigned long long MB = 1024 * 1024;
    const unsigned long long values[] = {m.ullTotalPhys / MB,
                                         (m.ullTotalPhys - m.ullAvailPhys) / MB,
                                         m.ullAvailPhys / MB,
                                         m.ullTotalPageFile / MB,
                                         (m.ullTotalPageFile - m.ullAvailPageFile) / MB,
                                         m.ullAvailPageFile / MB};
    for (int i = 0; i < 6; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%llu MB", values[i]);
        if (std::strcmp(text, shown[i]) == 0) continue;
        std::strcpy(shown[i], text);
        SetWindowTextA(labels[i], text);
    }
}

LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            tick();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const char* queries = std::getenv("VK_ANCHOR_QUERIES");
    if (queries && std::strcmp(queries, "18") == 0) queriesPerTick = 18;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VelkromAnchor";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("VelkromAnchor", "Anchor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 288, 265, nullptr, nullptr, instance, nullptr);
    for (int i = 0; i < 6; ++i) {
        labels[i] = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10 + (i / 3) * 130,
                                  10 + (i % 3) * 24, 120, 20, window, nullptr, instance, nullptr);
    }
    ShowWindow(window, show);
    const DWORD started = GetTickCount();
    SetTimer(window, 1, 10, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const char* wanted = std::getenv("VELKROM_STATS");
    if (wanted && std::strcmp(wanted, "1") == 0) {
        const double s = (GetTickCount() - started) / 1000.0;
        std::fprintf(stderr, "anchor: %lld refresh ticks in %.3f s (%.1f per second)\n", ticks, s,
                     s > 0 ? static_cast<double>(ticks) / s : 0.0);
        std::fflush(stderr);
    }
    return 0;
}
