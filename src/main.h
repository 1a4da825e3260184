// Process entry and event loop. The pieces below are exposed for the tests; the program itself only
// needs main().
#pragma once

#include <cstdint>

// The rotation mode from the command line: 4 without an argument, otherwise strtol of the first
// argument (so "abc" gives 0). Values outside 0..4 are returned as they are; main rejects them.
long main_rotation_mode(int argc, char** argv);
// Whether the timer event numbered by *counter runs the graphics library (every second event,
// starting with the first); advances the counter.
bool main_timer_event_runs_handler(uint32_t* counter);
