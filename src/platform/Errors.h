#pragma once
// The failures a handler can meet. Every one is an ordinary exception of our
// own type, so "skip this statement and go on" can catch them uniformly and
// nothing ever falls through to undefined behaviour.
#include <stdexcept>
#include <string>

namespace vk {

class VkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A control refused a property value (bad width, destroyed widget, ...).
class PropertyRefused : public VkError {
  public:
    using VkError::VkError;
};

// An integer result does not fit its type.
class OverflowError : public VkError {
  public:
    OverflowError() : VkError("overflow") {}
};

class DivisionByZero : public VkError {
  public:
    DivisionByZero() : VkError("division by zero") {}
};

// A text could not be read as a number.
class TypeMismatch : public VkError {
  public:
    explicit TypeMismatch(const std::string& text) : VkError("type mismatch: '" + text + "'") {}
};

// Memory could not be obtained (the freeing run's block, mostly).
class OutOfMemory : public VkError {
  public:
    explicit OutOfMemory(const std::string& why) : VkError("out of memory: " + why) {}
};

// An operating-system service failed (memory figures unreadable, start failed, ...).
class ServiceError : public VkError {
  public:
    using VkError::VkError;
};

}  // namespace vk
