#pragma once
// "Skip and go on" error handling: a handler is written as its list of
// statements, each wrapped so that a failing one is skipped and the next runs.
// Whatever the skipped statement would have set keeps its previous value.
#include <exception>
#include <utility>

namespace vk {

template <class Statement>
void step(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
    } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch): skipping is the point
        // Skipped on purpose: the handler goes on with its next statement.
    }
}

// The test of an if under "skip and go on": when evaluating the condition
// fails, execution continues with the first statement inside the if, so the
// failed test counts as true.
template <class Condition>
bool stepTest(Condition&& condition) noexcept {
    try {
        return std::forward<Condition>(condition)();
    } catch (const std::exception&) {
        return true;
    }
}

}  // namespace vk
