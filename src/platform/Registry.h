#pragma once
// Reading registry values with the semantics of the three Windows calls:
// results are 0 on success, value types are numbers, the caller's buffer and
// size are in/out. Linux has a read-only stand-in. The names are our own so
// this header sits beside the SDK's; the Win32 platform ties each value to
// the SDK's with a static_assert.
#include <cstdint>
#include <string>
#include <vector>

namespace vk {

namespace RegRoot {
inline constexpr std::uint32_t LocalMachine = 0x80000002u;
}

namespace RegType {
inline constexpr std::uint32_t String = 1;
inline constexpr std::uint32_t Dword = 4;
}  // namespace RegType

namespace RegResult {
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t MoreData = 234;
}  // namespace RegResult

// Access masks a key is opened with.
namespace RegAccess {
// Query values, enumerate subkeys, be notified, read the key's security.
inline constexpr std::uint32_t Read = 0x20019;
}  // namespace RegAccess

class Registry {
  public:
    virtual ~Registry() = default;
    virtual std::int32_t openKey(std::uint32_t root, const std::string& key, std::uint32_t access,
                                 std::uint32_t& handle) = 0;
    // Reads into `buffer` (its size is the room); `size` goes in as the room
    // and comes back as the number of bytes written.
    virtual std::int32_t queryValue(std::uint32_t handle, const std::string& name,
                                    std::uint32_t& type, std::vector<std::uint8_t>& buffer,
                                    std::uint32_t& size) = 0;
    virtual std::int32_t closeKey(std::uint32_t handle) = 0;
};

}  // namespace vk
