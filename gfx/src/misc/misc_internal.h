// Internal entry points of the misc layer: teardown between tests and at gfx_deinit().
//
// Start-up order matters: _lv_timer_core_init() empties the timer list, so it comes before
// _lv_anim_core_init(), which creates the animation timer. The resets below may run in any order.
#pragma once

#include "lv_timer.h"

// Forgets the time of the previous log line and the registered print callback.
void gfx_log_reset(void);
// Deletes every timer (without calling anything) and clears the handler's bookkeeping.
void gfx_timer_reset_all(void);
// Frees every running animation (no callbacks) and deletes the animation timer if it still exists.
void gfx_anim_reset_all(void);
// Unregisters every file-system driver.
void gfx_fs_reset(void);
// True while `timer` is in the timer list (lets owners of system timers survive a reset in any order).
bool gfx_timer_is_registered(const lv_timer_t* timer);
