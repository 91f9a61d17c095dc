#include "platform/linux/CgroupMemory.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace vk::lnx {

namespace {

// The v1 controller reports "no limit" as the largest page count it keeps,
// in bytes (9223372036854771712 with 4 KiB pages); no machine has 4 EiB.
constexpr std::uint64_t kUnlimitedV1 = std::uint64_t{1} << 62;

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> parseFile(const std::optional<std::string>& text) {
    return text ? parseNumber(*text) : std::nullopt;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        out.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

// The number on the line of memory.stat named `key`.
std::optional<std::uint64_t> field(std::string_view stat, std::string_view key) {
    for (const std::string_view line : lines(stat)) {
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == ' ') {
            return parseNumber(line.substr(key.size() + 1));
        }
    }
    return std::nullopt;
}

bool hasWord(std::string_view commaList, std::string_view word) {
    for (std::size_t at = 0; at <= commaList.size();) {
        std::size_t end = commaList.find(',', at);
        if (end == std::string_view::npos) end = commaList.size();
        if (commaList.substr(at, end - at) == word) return true;
        at = end + 1;
    }
    return false;
}

void takeSmaller(std::optional<std::uint64_t>& room, std::optional<std::uint64_t> other) {
    if (other && (!room || *other < *room)) room = other;
}

// What is left under `limit` once the reclaimable cache is given back.
std::optional<std::uint64_t> roomUnder(std::optional<std::uint64_t> limit,
                                       std::optional<std::uint64_t> used,
                                       std::uint64_t reclaimable) {
    if (!limit || !used) return std::nullopt;
    const std::uint64_t charged = *used > reclaimable ? *used - reclaimable : 0;
    return *limit > charged ? *limit - charged : 0;
}

std::uint64_t fileCache(std::string_view stat, std::string_view prefix) {
    const std::string active = std::string(prefix) + "active_file";
    const std::string inactive = std::string(prefix) + "inactive_file";
    return field(stat, active).value_or(0) + field(stat, inactive).value_or(0);
}

std::optional<std::uint64_t> roomV2(const TextReader& read, const std::string& dir) {
    std::optional<std::uint64_t> limit;
    takeSmaller(limit, parseFile(read(dir + "/memory.max")));  // "max" reads as no number
    takeSmaller(limit, parseFile(read(dir + "/memory.high")));
    const std::string stat = read(dir + "/memory.stat").value_or("");
    return roomUnder(limit, parseFile(read(dir + "/memory.current")), fileCache(stat, ""));
}

std::optional<std::uint64_t> roomV1(const TextReader& read, const std::string& dir) {
    const auto limit = [](std::optional<std::uint64_t> bytes) {
        return bytes && *bytes < kUnlimitedV1 ? bytes : std::nullopt;
    };
    const std::string stat = read(dir + "/memory.stat").value_or("");
    // With use_hierarchy (always on since Linux 5.16) the usage counts the
    // descendants too, and the cache to match is the "total_" one.
    const std::uint64_t cache =
        field(stat, "total_active_file") || field(stat, "total_inactive_file")
            ? fileCache(stat, "total_")
            : fileCache(stat, "");
    const auto used = parseFile(read(dir + "/memory.usage_in_bytes"));
    const auto usedWithSwap = parseFile(read(dir + "/memory.memsw.usage_in_bytes"));
    std::optional<std::uint64_t> room;
    takeSmaller(room,
                roomUnder(limit(parseFile(read(dir + "/memory.limit_in_bytes"))), used, cache));
    takeSmaller(room, roomUnder(limit(field(stat, "hierarchical_memory_limit")), used, cache));
    takeSmaller(room, roomUnder(limit(parseFile(read(dir + "/memory.memsw.limit_in_bytes"))),
                                usedWithSwap, cache));
    takeSmaller(room,
                roomUnder(limit(field(stat, "hierarchical_memsw_limit")), usedWithSwap, cache));
    return room;
}

// "\040" and the like in a mount point of /proc/self/mountinfo.
std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\\' && text.size() - at >= 4) {
            const std::string_view digits = text.substr(at + 1, 3);
            int value = 0;
            const auto [ptr, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), value, 8);
            if (ec == std::errc() && ptr == digits.data() + digits.size()) {
                out.push_back(static_cast<char>(value));
                at += 3;
                continue;
            }
        }
        out.push_back(text[at]);
    }
    return out;
}

struct Mount {
    std::string root;   // the cgroup shown at the mount point
    std::string point;  // where it is mounted
    bool v2 = false;    // cgroup2; otherwise a v1 hierarchy holding the memory controller
};

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    while (!line.empty()) {
        const std::size_t end = line.find(' ');
        if (end != 0) out.push_back(line.substr(0, end));
        if (end == std::string_view::npos) break;
        line.remove_prefix(end + 1);
    }
    return out;
}

std::vector<Mount> memoryMounts(std::string_view mountinfo) {
    std::vector<Mount> mounts;
    for (const std::string_view line : lines(mountinfo)) {
        // id parent major:minor root point options [optional...] - type source super-options
        const std::vector<std::string_view> field = words(line);
        std::size_t dash = 6;
        while (dash < field.size() && field[dash] != "-") ++dash;
        if (field.size() < dash + 4) continue;
        const std::string_view type = field[dash + 1];
        const bool v2 = type == "cgroup2";
        if (!v2 && !(type == "cgroup" && hasWord(field[dash + 3], "memory"))) continue;
        mounts.push_back({unescape(field[3]), unescape(field[4]), v2});
    }
    return mounts;
}

// Where `path` (as /proc/self/cgroup names it) appears under `mount`: the
// part of it below the mount's root, or nothing when it lies elsewhere.
std::optional<std::string> below(const Mount& mount, const std::string& path) {
    if (mount.root == "/") return path == "/" ? std::string() : path;
    if (path == mount.root) return std::string();
    if (path.size() > mount.root.size() && path.compare(0, mount.root.size(), mount.root) == 0 &&
        path[mount.root.size()] == '/') {
        return path.substr(mount.root.size());
    }
    return std::nullopt;
}

// The cgroup's directory and those of its ancestors up to the mount point.
std::optional<std::uint64_t> roomOfHierarchy(const TextReader& read, const Mount& mount,
                                             std::string relative) {
    std::string point = mount.point;
    while (point.size() > 1 && point.back() == '/') point.pop_back();
    std::optional<std::uint64_t> room;
    for (;;) {
        const std::string dir = point + relative;
        takeSmaller(room, mount.v2 ? roomV2(read, dir) : roomV1(read, dir));
        if (relative.empty()) break;
        relative.erase(relative.rfind('/'));
    }
    return room;
}

}  // namespace

std::optional<std::string> readSystemFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

std::optional<std::uint64_t> cgroupRoom(const TextReader& read) {
    const auto membership = read("/proc/self/cgroup");
    const auto mountinfo = read("/proc/self/mountinfo");
    if (!membership || !mountinfo) return std::nullopt;
    const std::vector<Mount> mounts = memoryMounts(*mountinfo);

    std::optional<std::uint64_t> room;
    // "hierarchy-id:controllers:path"; v2 is "0::path".
    for (const std::string_view line : lines(*membership)) {
        const std::size_t first = line.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const bool v2 = line.substr(0, first) == "0" && controllers.empty();
        if (!v2 && !hasWord(controllers, "memory")) continue;
        const std::string path(line.substr(second + 1));
        if (path.empty() || path.front() != '/') continue;
        for (const Mount& mount : mounts) {
            if (mount.v2 != v2) continue;
            if (const auto relative = below(mount, path)) {
                takeSmaller(room, roomOfHierarchy(read, mount, *relative));
                break;
            }
        }
    }
    return room;
}

}  // namespace vk::lnx
