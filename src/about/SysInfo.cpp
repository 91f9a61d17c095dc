// Finding and starting the System Information tool through the two registry
// values that the platform's shared tools record.
#include <algorithm>
#include <exception>
#include <vector>

#include "about/AboutDialog.h"
#include "platform/Errors.h"
#include "platform/Skip.h"

namespace vk {
namespace {

// A number value's text. Nothing reads it as a number, so plain decimal of
// the little-endian bytes that were kept is enough.
std::string numberValueText(const std::string& bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = std::min<std::size_t>(bytes.size(), 8); i-- > 0;) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[i]);
    }
    return std::to_string(value);
}

}  // namespace

void AboutDialog::StartSysInfo() {
    try {
        std::string path;
        if (!GetKeyValue(RegRoot::LocalMachine, kSysInfoKey, kSysInfoValue, path)) {
            // The tool's full path is unknown; look in the shared tools folder.
            // An empty folder counts as not found: nothing is started from the
            // root of the current drive.
            if (!GetKeyValue(RegRoot::LocalMachine, kSysInfoFolderKey, kSysInfoFolderValue, path) ||
                path.empty()) {
                throw ServiceError("System Information not found");
            }
            if (!sys_.programs.isOrdinaryFile(path + kSysInfoFile)) {
                throw ServiceError("System Information not in its folder");
            }
            path += kSysInfoFile;
        }
        // A path from the registry is started as it is, without testing it
        // first; a wrong one fails here.
        sys_.programs.start(path);
    } catch (const std::exception&) {
        sys_.boxes.show(kSysInfoFailure, "Error", BoxIcon::Critical);
    }
}

bool AboutDialog::GetKeyValue(const std::uint32_t& KeyRoot, const std::string& KeyName,
                              const std::string& SubKeyRef, std::string& KeyVal) {
    Registry& registry = sys_.registry;
    std::uint32_t hKey = 0;
    std::int32_t rc = RegResult::Success;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> buffer;
    std::uint32_t size = 0;
    std::string text;

    // The lookup, statement by statement; returns false for the failure path.
    const auto read = [&] {
        step([&] { rc = registry.openKey(KeyRoot, KeyName, kSysInfoKeyAccess, hKey); });
        if (stepTest([&] { return rc != RegResult::Success; })) return false;
        step([&] { buffer.assign(kRegistryValueRoom, 0); });
        step([&] { size = kRegistryValueRoom; });
        step([&] { rc = registry.queryValue(hKey, SubKeyRef, type, buffer, size); });
        // A value longer than the room fails here too.
        if (stepTest([&] { return rc != RegResult::Success; })) return false;
        step([&] {
            // Never trust a size beyond what was written into the buffer.
            const std::size_t written = std::min<std::size_t>(size, buffer.size());
            // A value stored with its terminating zero loses only the zero;
            // one stored without keeps all its characters. An empty value
            // gives an empty text.
            const std::size_t kept =
                written > 0 && buffer[written - 1] == 0 ? written - 1 : written;
            text.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
        });
        step([&] {
            if (type == RegType::String) {
                KeyVal = text;
            } else if (type == RegType::Dword) {
                KeyVal = numberValueText(text);
            }
            // Any other type leaves KeyVal as it was.
        });
        step([&] { registry.closeKey(hKey); });
        return true;
    };

    if (read()) return true;
    step([&] { KeyVal.clear(); });
    // Closed whether or not the open succeeded.
    step([&] { registry.closeKey(hKey); });
    return false;
}

}  // namespace vk
