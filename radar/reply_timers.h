#pragma once
// One-shot reply timers that any thread may start and stop.
//
// A radar arms a timer for the command whose reply it awaits, on whichever thread
// sends the command (the user-interface thread or a reader thread), and the reader
// thread stops it when the reply arrives. The expiry always runs on the
// user-interface thread, from its message loop or ProcessMessages, through the
// toolkit's one-shot timers; a timer started on another thread is handed to the
// user-interface thread first. A stopped timer never fires.
//
// Ids are 1..65535 and unique among running timers.

#include <cstdint>
#include <functional>

using TReplyTimerProc = std::function<void(uint32_t id)>;

// Starts a timer of elapseMs; onExpiry(id) runs on expiry unless the timer was
// stopped first. Returns 0 when the toolkit could not set a timer on the
// user-interface thread (a timer handed over from another thread that cannot be set
// there expires at once instead, so that nobody waits for it forever).
uint32_t StartReplyTimer(uint32_t elapseMs, TReplyTimerProc onExpiry);
// Any thread. True when the timer was running; it will not fire afterwards.
bool StopReplyTimer(uint32_t id);
bool ReplyTimerRunning(uint32_t id);
