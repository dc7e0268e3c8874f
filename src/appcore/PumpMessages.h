#pragma once

// Long work on the user-interface thread (the RCON reply wait, the database
// update run) calls these to keep every window live meanwhile.
//
// A quit request met while dispatching is not lost: Qt marks the running event
// loops to end, and they do so once control returns to them, after the work.

// Dispatches every event waiting in this thread's queue; returns when none is
// left.
void PumpMessages();

// Sleeps until at least one event arrives (a timer, a socket, input), then
// dispatches every event waiting. Only for loops that know an event is due,
// such as a timer they started.
void WaitAndPumpMessages();
