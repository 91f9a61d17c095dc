#pragma once
// The modal message box: QMessageBox with its icon, title, text and one OK
// button. While it waits in its own loop the dispatcher is busy, so nothing
// reaches a handler until OK.
#include "platform/MessageBox.h"

namespace vk::qt {

class QtMessageBoxes : public MessageBoxes {
  public:
    void show(const std::string& text, const std::string& title, BoxIcon icon) override;
};

}  // namespace vk::qt
