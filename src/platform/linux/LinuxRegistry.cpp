#include "platform/linux/LinuxRegistry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/SystemInformationKeys.h"

namespace vk {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string environmentPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "";
}

}  // namespace

std::string findSystemInfoTool(const std::vector<std::string>& tools,
                               const std::string& searchPath) {
    std::vector<std::string> directories;
    for (std::size_t begin = 0; begin <= searchPath.size();) {
        std::size_t end = searchPath.find(':', begin);
        if (end == std::string::npos) end = searchPath.size();
        std::string directory = searchPath.substr(begin, end - begin);
        if (!directory.empty() && directory.front() == '/') {
            while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
            directories.push_back(directory == "/" ? "" : directory);
        }
        begin = end + 1;
    }
    for (const std::string& tool : tools) {
        for (const std::string& directory : directories) {
            std::string candidate = directory + "/" + tool;  // moved out when found
            if (isExecutableFile(candidate)) return candidate;
        }
    }
    return {};
}

LinuxRegistry::LinuxRegistry(std::function<std::string()> searchPath)
    : searchPath_(searchPath ? std::move(searchPath) : environmentPath) {}

std::int32_t LinuxRegistry::openKey(std::uint32_t root, const std::string& key,
                                    std::uint32_t /*access*/, std::uint32_t& handle) {
    if (root != RegRoot::LocalMachine || !sameName(key, kSysInfoKey))
        return RegResult::FileNotFound;
    handle = nextHandle_++;
    open_[handle] = key;
    return RegResult::Success;
}

std::int32_t LinuxRegistry::queryValue(std::uint32_t handle, const std::string& name,
                                       std::uint32_t& type, std::vector<std::uint8_t>& buffer,
                                       std::uint32_t& size) {
    if (!open_.count(handle)) return RegResult::InvalidHandle;
    if (!sameName(name, kSysInfoValue)) return RegResult::FileNotFound;
    // Looked up afresh at each query: a tool installed meanwhile is found.
    const std::string path = findSystemInfoTool(kSystemInfoTools, searchPath_());
    if (path.empty()) return RegResult::FileNotFound;
    // A string value with its terminating zero, as the registry stores one.
    const std::size_t needed = path.size() + 1;
    const std::size_t room = std::min<std::size_t>(size, buffer.size());
    size = static_cast<std::uint32_t>(needed);
    if (needed > room) return RegResult::MoreData;
    std::copy(path.begin(), path.end(), buffer.begin());
    buffer[path.size()] = 0;
    type = RegType::String;
    return RegResult::Success;
}

std::int32_t LinuxRegistry::closeKey(std::uint32_t handle) {
    return open_.erase(handle) ? RegResult::Success : RegResult::InvalidHandle;
}

}  // namespace vk
