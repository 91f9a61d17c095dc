#pragma once
// The program icon for Qt, drawn from the one picture in the core.
#include <QIcon>
#include <QImage>

#include "platform/ProgramIcon.h"

namespace vk::qt {

// The indexed picture as an 8-bit indexed image with its 16-colour table.
QImage toQImage(const IndexedIcon& icon);

QIcon programQIcon();

}  // namespace vk::qt
