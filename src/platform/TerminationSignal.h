#pragma once
// A request from outside to end the program (SIGTERM, SIGINT, SIGHUP on Linux),
// turned into a descriptor that becomes readable, so the UI thread can close
// down in order from its event loop instead of dying mid-stroke.
namespace platform {

// Installs the handlers once and returns the descriptor to watch, or -1 where
// the platform has none.
int TerminationSignalFd();
// Empties the descriptor after it became readable.
void DrainTerminationSignal();

}  // namespace platform
