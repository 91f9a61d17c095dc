#pragma once
// The command line the program hands to its core: the text after the
// program's name, as Windows' own rule for the name reads it.
#include <string_view>

namespace vk::win32 {

// The text of `commandLine` (as GetCommandLineA gives it) after the
// program's name and the blanks and tabs that end the name. The name ends at
// the first blank or tab outside double quotes; quotes may enclose any part
// of it and have no other meaning there (no escapes). What follows is
// returned byte for byte, trailing blanks and inner quotes included.
std::string_view argumentText(std::string_view commandLine);

}  // namespace vk::win32
