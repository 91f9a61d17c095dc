#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace vk::win32 {
namespace {

// Our names carry the SDK's numbers; the portable core cannot include the
// SDK to check them, so the check lives here. (HKEY_LOCAL_MACHINE is a
// pointer, no constant: the root is mapped by name in openKey instead.)
static_assert(RegType::String == REG_SZ);
static_assert(RegType::Dword == REG_DWORD);
static_assert(RegResult::Success == ERROR_SUCCESS);
static_assert(RegResult::FileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(RegResult::AccessDenied == ERROR_ACCESS_DENIED);
static_assert(RegResult::InvalidHandle == ERROR_INVALID_HANDLE);
static_assert(RegResult::MoreData == ERROR_MORE_DATA);
static_assert(RegAccess::Read == KEY_READ);

}  // namespace

Win32Registry::~Win32Registry() {
    for (const auto& [id, key] : open_) calls_.close(key);
}

std::int32_t Win32Registry::openKey(std::uint32_t root, const std::string& key,
                                    std::uint32_t access, std::uint32_t& handle) {
    if (root != RegRoot::LocalMachine) return RegResult::InvalidHandle;
    HKEY opened = nullptr;
    const LSTATUS rc = calls_.open(HKEY_LOCAL_MACHINE, key.c_str(), 0, access, &opened);
    if (rc != ERROR_SUCCESS) return rc;
    handle = nextHandle_++;
    open_[handle] = opened;
    return RegResult::Success;
}

std::int32_t Win32Registry::queryValue(std::uint32_t handle, const std::string& name,
                                       std::uint32_t& type, std::vector<std::uint8_t>& buffer,
                                       std::uint32_t& size) {
    const auto key = open_.find(handle);
    if (key == open_.end()) return RegResult::InvalidHandle;
    // The room is what the caller says, never more than the buffer holds.
    DWORD room = static_cast<DWORD>(std::min<std::size_t>(size, buffer.size()));
    DWORD valueType = 0;
    const LSTATUS rc = RegQueryValueExA(key->second, name.c_str(), nullptr, &valueType,
                                        buffer.empty() ? nullptr : buffer.data(), &room);
    type = valueType;
    size = room;
    return rc;
}

std::int32_t Win32Registry::closeKey(std::uint32_t handle) {
    const auto key = open_.find(handle);
    if (key == open_.end()) return RegResult::InvalidHandle;
    const LSTATUS rc = calls_.close(key->second);
    open_.erase(key);
    return rc;
}

}  // namespace vk::win32
