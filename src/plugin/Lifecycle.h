#pragma once
#include "plugin/TorvexPlugin.h"

namespace torvex {

// Frees the engine and the instance. The box must be stopped already, and none of its messages
// still being handled: the engine's code or the instance may be in use until then.
void ReleaseInstance(TorvexPlugin* plugin);

}  // namespace torvex
