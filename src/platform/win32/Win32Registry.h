#pragma once
// The registry on Windows: RegOpenKeyExA, RegQueryValueExA and RegCloseKey
// under HKEY_LOCAL_MACHINE, in the registry view of the program's own
// bitness (the 32-bit program reads the 32-bit view on 64-bit Windows).
#include <windows.h>

#include <map>

#include "platform/Registry.h"

namespace vk::win32 {

// The system calls that open and close a key. Wine grants whatever access is
// asked for, so only a recorder put in their place sees the mask the
// registry asks for and which keys it closes.
struct RegistryCalls {
    decltype(&RegOpenKeyExA) open = RegOpenKeyExA;
    decltype(&RegCloseKey) close = RegCloseKey;
};

class Win32Registry : public Registry {
  public:
    explicit Win32Registry(RegistryCalls calls = {}) : calls_(calls) {}
    // Closes the keys the caller left open.
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    // `root` is RegRoot::LocalMachine; any other gives InvalidHandle.
    std::int32_t openKey(std::uint32_t root, const std::string& key, std::uint32_t access,
                         std::uint32_t& handle) override;
    std::int32_t queryValue(std::uint32_t handle, const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    std::int32_t closeKey(std::uint32_t handle) override;

  private:
    RegistryCalls calls_;
    // Our handles are 32-bit and an HKEY is pointer-wide: the caller gets a
    // small number that stands for the key while it is open. Numbers are not
    // reused, so a stale one never reaches another key.
    std::map<std::uint32_t, HKEY> open_;
    std::uint32_t nextHandle_ = 1;
};

}  // namespace vk::win32
