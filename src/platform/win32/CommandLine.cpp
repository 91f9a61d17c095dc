#include "platform/win32/CommandLine.h"

namespace vk::win32 {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

// The C runtime's rule for argv[0]: a name like C:\"Program Files"\v.exe is
// one name, and a quote left open runs to the end of the line.
std::string_view argumentText(std::string_view commandLine) {
    std::size_t at = 0;
    bool quoted = false;
    for (; at < commandLine.size(); ++at) {
        const char c = commandLine[at];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        }
    }
    while (at < commandLine.size() && isBlank(commandLine[at])) ++at;
    return commandLine.substr(at);
}

}  // namespace vk::win32
