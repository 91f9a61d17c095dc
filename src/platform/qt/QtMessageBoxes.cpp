#include "platform/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace vk::qt {

void QtMessageBoxes::show(const std::string& text, const std::string& title, BoxIcon icon) {
    QMessageBox box(icon == BoxIcon::Critical ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    open_.emplace_back(&box);
    box.exec();
    open_.pop_back();
}

bool QtMessageBoxes::dismissOpen() {
    if (open_.empty() || !open_.back() || !open_.back()->isVisible()) return false;
    // The OK button's own click: the box closes exactly as if it was pressed,
    // and exec() returns once control is back in the box's loop.
    open_.back()->button(QMessageBox::Ok)->click();
    return true;
}

}  // namespace vk::qt
