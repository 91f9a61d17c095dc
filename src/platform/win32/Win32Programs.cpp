#include "platform/win32/Win32Programs.h"

#include <windows.h>

#include <vector>

#include "platform/Errors.h"

namespace vk::win32 {

bool Win32Programs::isOrdinaryFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD notOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return (attributes & notOrdinary) == 0;
}

void Win32Programs::start(const std::string& path) {
    if (path.empty()) throw ServiceError("no program to start");
    // The program's own name is its command line; CreateProcessA may write
    // into that buffer, so it is a copy.
    const std::string quoted = '"' + path + '"';
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        throw ServiceError("cannot start " + path + ", error " + std::to_string(GetLastError()));
    }
    // The program runs on by itself; nothing waits for it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace vk::win32
