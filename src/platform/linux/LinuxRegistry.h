#pragma once
// A read-only stand-in for the two registry values that locate the System
// Information tool. Linux has no such tool of its own, so the "PATH" value
// of "SOFTWARE\Microsoft\Shared Tools\MSINFO" names the first program of
// kSystemInfoTools that is installed, searched on PATH in the list's order.
// The "Shared Tools Location" folder value does not exist. Key and value
// names compare without regard to case, as the registry's do.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace vk {

// System-information programs of the common desktops, the most detailed
// first: KDE's info center, the hardware lister, then the system monitors of
// GNOME, MATE and Xfce.
inline const std::vector<std::string> kSystemInfoTools = {
    "kinfocenter", "hardinfo", "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager",
};

// The first of `tools` that is an executable ordinary file in one of the
// directories of `searchPath` (colon-separated), tools in list order and
// directories in path order; empty when none is. Relative and empty entries
// of the search path are passed over, so the current directory never
// supplies a tool.
std::string findSystemInfoTool(const std::vector<std::string>& tools,
                               const std::string& searchPath);

class LinuxRegistry : public Registry {
  public:
    // `searchPath` gives the directories to search at each query; by default
    // the PATH of the environment.
    explicit LinuxRegistry(std::function<std::string()> searchPath = {});

    // Any access is granted: nothing can be written through this registry.
    std::int32_t openKey(std::uint32_t root, const std::string& key, std::uint32_t access,
                         std::uint32_t& handle) override;
    std::int32_t queryValue(std::uint32_t handle, const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    std::int32_t closeKey(std::uint32_t handle) override;

  private:
    std::function<std::string()> searchPath_;
    std::map<std::uint32_t, std::string> open_;  // handle -> key
    std::uint32_t nextHandle_ = 1;
};

}  // namespace vk
