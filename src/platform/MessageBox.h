#pragma once
// The platform's modal message box with one OK button. show() returns once
// the box is closed; while it waits, the dispatcher delivers nothing.
#include <cstdint>
#include <string>

namespace vk {

enum class BoxIcon : std::uint8_t { Critical, Information };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, BoxIcon icon) = 0;
    // Closes the box that waits now as if OK was pressed, so the handler that
    // opened it goes on (a request to end the program never waits for a
    // button). False when no box is open.
    virtual bool dismissOpen() = 0;
};

}  // namespace vk
