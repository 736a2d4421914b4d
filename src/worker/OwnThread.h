#pragma once
// A thread of the box's own that holds a reference on the module it runs in, taken before the
// thread can run and given back by FreeLibraryAndExitThread as it ends, so that a stop followed
// by an unload never leaves it running code that is gone. Nothing the body throws leaves it.
#include <functional>

namespace torvex {

// Not under the loader lock. False when there is no thread: the body never runs.
bool StartOwnThread(std::function<void()> body);

}  // namespace torvex
