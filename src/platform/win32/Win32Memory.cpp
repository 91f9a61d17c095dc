#include "platform/win32/Win32Memory.h"

#include <windows.h>

#include <string>

#include "platform/Errors.h"

namespace vk::win32 {

void Win32Memory::query(MemoryStatus& record) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
        throw ServiceError("GlobalMemoryStatusEx failed, error " + std::to_string(GetLastError()));
    }
    record.totalPhys = status.ullTotalPhys;
    record.availPhys = status.ullAvailPhys;
    record.totalPageFile = status.ullTotalPageFile;
    record.availPageFile = status.ullAvailPageFile;
}

}  // namespace vk::win32
