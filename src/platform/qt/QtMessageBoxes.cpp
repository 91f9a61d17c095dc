#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>

namespace vk::qt {

void QtMessageBoxes::show(const std::string& text, const std::string& title, BoxIcon icon) {
    QMessageBox box(icon == BoxIcon::Critical ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace vk::qt
