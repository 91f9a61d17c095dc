#pragma once
// The modal message box: QMessageBox with its icon, title, text and one OK
// button. While it waits in its own loop the dispatcher is busy, so nothing
// reaches a handler until it closes: by OK, or by dismissOpen() when the
// program is asked to end.
#include <QPointer>
#include <vector>

#include "platform/MessageBox.h"

class QMessageBox;

namespace vk::qt {

class QtMessageBoxes : public MessageBoxes {
  public:
    void show(const std::string& text, const std::string& title, BoxIcon icon) override;
    bool dismissOpen() override;

  private:
    // The boxes waiting now, innermost last.
    std::vector<QPointer<QMessageBox>> open_;
};

}  // namespace vk::qt
