#include "platform/linux/MappedBlockAllocatorHeadroom.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Errors.h"
#include "platform/linux/MeminfoSource.h"

namespace vk::lnx {

namespace {

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The number after "key" on the line of memory.stat that starts with it.
std::optional<std::uint64_t> field(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        if (line.substr(0, key.size()) == key) {
            return parseNumber(line.substr(key.size()));
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

void takeSmaller(std::optional<std::uint64_t>& room, std::optional<std::uint64_t> other) {
    if (other && (!room || *other < *room)) room = other;
}

// The cgroup v2 path of this process ("0::/user.slice/..."), empty if none.
std::string ownCgroup() {
    const auto text = readFile("/proc/self/cgroup");
    if (!text) return {};
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("0::", 0) == 0) return line.substr(3);
    }
    return {};
}

}  // namespace

std::optional<std::uint64_t> cgroupHeadroom(std::string_view max, std::string_view current,
                                            std::string_view stat) {
    const auto limit = parseNumber(max);  // "max" reads as no number: no limit
    const auto used = parseNumber(current);
    if (!limit || !used) return std::nullopt;
    const std::uint64_t cache =
        field(stat, "active_file ").value_or(0) + field(stat, "inactive_file ").value_or(0);
    const std::uint64_t charged = *used > cache ? *used - cache : 0;
    return *limit > charged ? *limit - charged : 0;
}

std::optional<std::uint64_t> backableBytes() {
    std::optional<std::uint64_t> room;
    try {
        MeminfoSource meminfo;
        MemoryStatus status;
        meminfo.query(status);
        room = status.availPageFile;
    } catch (const ServiceError&) {
        // Unreadable: the cgroups and the mapping itself still decide.
    }

    // Every enclosing cgroup's limit applies; the root has none.
    const std::string root = "/sys/fs/cgroup";
    std::string path = ownCgroup();
    while (!path.empty() && path != "/") {
        const std::string dir = root + path;
        const auto max = readFile(dir + "/memory.max");
        const auto current = readFile(dir + "/memory.current");
        const auto stat = readFile(dir + "/memory.stat");
        if (max && current) takeSmaller(room, cgroupHeadroom(*max, *current, stat.value_or("")));
        path.erase(path.rfind('/'));
    }
    return room;
}

}  // namespace vk::lnx
