#pragma once
// Reading registry values with the semantics of the three Windows calls:
// results are 0 on success, value types are numbers, the caller's buffer and
// size are in/out. Linux has a read-only stand-in.
#include <cstdint>
#include <string>
#include <vector>

namespace vk {

constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::int32_t ERROR_SUCCESS = 0;
constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
constexpr std::int32_t ERROR_MORE_DATA = 234;

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
