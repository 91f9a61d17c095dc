#pragma once
// Where the System Information tool is recorded, both under the machine
// root: first the tool's full path, then the folder that holds it. The About
// dialog looks them up; a platform's registry may answer for them.
namespace vk {

inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kSysInfoValue = "PATH";
inline constexpr const char* kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kSysInfoFolderValue = "MSINFO";
inline constexpr const char* kSysInfoFile = "\\MSINFO32.EXE";

}  // namespace vk
