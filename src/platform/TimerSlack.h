#pragma once
// Timed waits of the calling thread wake close to their deadline: the system
// may otherwise defer a timer wake-up to batch it with others (tens of
// microseconds on Linux), which a macro of 1 ms steps feels. Each platform
// folder supplies the body; it is harmless to call more than once.

namespace platform {

void LowerTimerSlackOfThisThread();

}  // namespace platform
