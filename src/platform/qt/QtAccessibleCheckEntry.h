#pragma once
// A menu entry with a check mark as a screen reader is to hear it.
class QAccessibleInterface;
class QAction;

namespace vk::qt {

// The description of a check-mark menu entry; nullptr for any other action,
// which keeps Qt's own.
QAccessibleInterface* describeCheckEntry(QAction* action);

}  // namespace vk::qt
