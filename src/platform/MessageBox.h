#pragma once
// The platform's modal message box with one OK button. show() returns once
// the user has closed it; while it waits, the dispatcher delivers nothing.
#include <string>

namespace vk {

enum class BoxIcon { Critical, Information };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, BoxIcon icon) = 0;
};

}  // namespace vk
