#include "platform/linux/Meminfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Errors.h"

namespace vk::lnx {

namespace {

enum Field : std::uint8_t {
    MemTotal,
    MemFree,
    MemAvailable,
    Buffers,
    Cached,
    SwapTotal,
    SwapFree,
    kFieldCount
};

constexpr std::array<std::string_view, kFieldCount> kNames = {
    "MemTotal", "MemFree", "MemAvailable", "Buffers", "Cached", "SwapTotal", "SwapFree"};

[[noreturn]] void garbled(std::string_view why) {
    throw ServiceError("/proc/meminfo: " + std::string(why));
}

std::uint64_t add(std::uint64_t a, std::uint64_t b) {
    if (a > UINT64_MAX - b) garbled("sum does not fit 64 bits");
    return a + b;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "<blanks><digits> kB" as bytes.
std::uint64_t parseKilobytes(std::string_view name, std::string_view value) {
    std::size_t at = 0;
    while (at < value.size() && isBlank(value[at])) ++at;
    const std::size_t digits = at;
    std::uint64_t kB = 0;
    for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
        const auto digit = static_cast<std::uint64_t>(value[at] - '0');
        if (kB > (UINT64_MAX - digit) / 10) garbled(std::string(name) + " does not fit 64 bits");
        kB = kB * 10 + digit;
    }
    if (at == digits) garbled(std::string(name) + " has no number");
    const std::size_t unit = at;
    while (at < value.size() && isBlank(value[at])) ++at;
    if (at == unit || value.substr(at) != "kB") garbled(std::string(name) + " is not in kB");
    if (kB > UINT64_MAX / 1024) garbled(std::string(name) + " does not fit 64 bits");
    return kB * 1024;
}

}  // namespace

MemoryStatus parseMeminfo(std::string_view text) {
    std::array<std::optional<std::uint64_t>, kFieldCount> bytes;
    int found = 0;
    // Stops once every field is in: they come in the first lines, and the
    // refresh reads this text eighteen times a tick.
    for (std::size_t end = text.find('\n'); end != std::string_view::npos && found < kFieldCount;
         end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;  // not a field we read
        const std::string_view name = line.substr(0, colon);
        for (int f = 0; f < kFieldCount; ++f) {
            if (name != kNames[f]) continue;
            if (bytes[f]) garbled(std::string(name) + " appears twice");
            bytes[f] = parseKilobytes(name, line.substr(colon + 1));
            ++found;
            break;
        }
    }
    // Each field is tested and read through one name: clang-tidy's optional
    // check does not follow an array element from its test to its read.
    const auto need = [&](Field f) {
        const std::optional<std::uint64_t>& field = bytes[f];
        if (!field) garbled(std::string(kNames[f]) + " is missing");
        return *field;
    };
    MemoryStatus s;
    s.totalPhys = need(MemTotal);
    const std::optional<std::uint64_t>& available = bytes[MemAvailable];
    s.availPhys = available ? *available : add(add(need(MemFree), need(Buffers)), need(Cached));
    s.totalPageFile = add(s.totalPhys, need(SwapTotal));
    s.availPageFile = add(s.availPhys, need(SwapFree));
    return s;
}

}  // namespace vk::lnx
