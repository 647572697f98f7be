#pragma once
// For tests that run the platform in a child process (a gtest exit test): each check that fails
// ends the child with its own status, which the parent's expectation reports.

#include <cstdlib>

#include "platform/core/platform.h"

namespace childcheck {

inline void Check(bool ok, int status) {
    if (!ok) std::_Exit(status);
}

// Takes the next message when it is waiting and is the one given.
inline bool NextMessageIs(MessageType type, uint32_t wparam = 0) {
    Message m;
    if (!PeekMessage(&m)) return false;
    GetMessage(&m);
    return m.type == type && m.wparam == wparam;
}

}  // namespace childcheck
