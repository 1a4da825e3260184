// Readiness and watchdog for systemd. When systemd starts the program as a notify service (NOTIFY_SOCKET
// in the environment), the program says it is ready once the panel shows its first frame, and pings
// the watchdog from its event loop. Started any other way, nothing is sent.
#pragma once

// Reads the watchdog interval systemd gives (WATCHDOG_USEC); the pings come at half of it.
void service_init();

// Called after the last flush of each frame; the first one tells systemd READY=1.
void service_frame_shown();

// Called every time the event loop runs the graphics library: WATCHDOG=1 once half the interval has
// passed since the last ping. A loop stuck in drawing or reading stops the pings, and systemd restarts
// the service.
void service_loop_turned();
