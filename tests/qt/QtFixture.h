#pragma once
// The Qt platform with the real Linux services, as the program wires them,
// for tests that open real widgets (offscreen or on a virtual display).
#include <QApplication>
#include <QTest>
#include <functional>

#include "platform/qt/QtPlatform.h"

namespace vk::qt::test {

using QtPlatform = vk::qt::QtPlatform;

// Runs the event loop until `condition` holds; false after `ms` without.
inline bool waitFor(const std::function<bool()>& condition, int ms = 5000) {
    return QTest::qWaitFor(condition, ms);
}

}  // namespace vk::qt::test
