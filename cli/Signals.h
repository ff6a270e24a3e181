#pragma once
// SIGINT, SIGTERM and SIGHUP: the first one is told to the event loop, so that every unit stops
// at the next line boundary and says what it holds; a second one ends the program at once.
#include <functional>
#include <sys/types.h>

namespace CliSignals {
// Installs the handlers; `stop` runs in the event loop with the signal's number.
void install(std::function<void(int)> stop);
// The first signal received, or 0.
int received();
// Processes a second signal ends at once with this one (the workers of a parent).
void killOnSecond(pid_t pid);
void forget(pid_t pid);
// A worker ends when its parent does, whatever ends the parent.
void endWithParent();
} // namespace CliSignals
