#pragma once
// The program's title and version as the program file's version record has
// them.
namespace vk {

inline constexpr const char* kProgramTitle = "Velkrom";
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

}  // namespace vk
