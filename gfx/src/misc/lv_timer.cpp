// Timers: a list walked newest first by lv_timer_handler().
#include "lv_assert.h"
#include "lv_log.h"
#include "lv_mem.h"
#include "lv_timer.h"

#include "misc/misc_internal.h"

namespace {

// A timer and its links; the public record comes first so the two convert into each other.
struct TimerNode {
    lv_timer_t t;
    TimerNode* prev;
    TimerNode* next;
};
static_assert(offsetof(TimerNode, t) == 0);

constexpr uint32_t kIdleMeasurePeriod = 500;
constexpr uint32_t kZeroTickRunsBeforeWarning = 100;

TimerNode* s_head = nullptr;
bool s_enabled = false;
bool s_in_handler = false;
// Set when a timer is created or deleted; the walk then starts over from the head.
bool s_created = false;
bool s_deleted = false;

uint32_t s_idle_last = 0;
uint32_t s_busy_time = 0;
uint32_t s_idle_period_start = 0;
uint32_t s_zero_tick_runs = 0;

TimerNode* node_of(lv_timer_t* t) {
    return reinterpret_cast<TimerNode*>(t);
}

uint32_t time_remaining(const lv_timer_t* t) {
    uint32_t elapsed = lv_tick_elaps(t->last_run);
    return elapsed >= t->period ? 0 : t->period - elapsed;
}

// Runs one timer if it is due. Returns true if it was due (whether or not its callback ran).
bool exec(TimerNode* n) {
    lv_timer_t* t = &n->t;
    if (t->paused || time_remaining(t) != 0) return false;

    int32_t repeats_before = t->repeat_count;
    if (t->repeat_count > 0) t->repeat_count--;
    // Measured from the start of the callback; missed periods are not caught up.
    t->last_run = lv_tick_get();
    if (t->timer_cb != nullptr && repeats_before != 0) t->timer_cb(t);

    // After any deletion `t` may be gone; its own end is then handled when the walk meets it again.
    if (!s_deleted && t->repeat_count == 0) lv_timer_del(t);
    return true;
}

void free_all() {
    TimerNode* n = s_head;
    while (n != nullptr) {
        TimerNode* next = n->next;
        lv_mem_free(n);
        n = next;
    }
    s_head = nullptr;
}

} // namespace

void _lv_timer_core_init(void) {
    gfx_timer_reset_all();
    lv_timer_enable(true);
}

void gfx_timer_reset_all(void) {
    free_all();
    s_enabled = false;
    s_created = false;
    // A reset from inside a callback must stop the walk that is under way.
    s_deleted = true;
    s_idle_last = 0;
    s_busy_time = 0;
    s_idle_period_start = lv_tick_get();
    s_zero_tick_runs = 0;
}

bool gfx_timer_is_registered(const lv_timer_t* timer) {
    for (TimerNode* n = s_head; n != nullptr; n = n->next) {
        if (&n->t == timer) return true;
    }
    return false;
}

uint32_t lv_timer_handler(void) {
    if (s_in_handler) return 1;
    if (!s_enabled) return 1;
    s_in_handler = true;

    uint32_t handler_start = lv_tick_get();
    if (handler_start == 0) {
        if (++s_zero_tick_runs > kZeroTickRunsBeforeWarning) {
            s_zero_tick_runs = 0;
            LV_LOG_WARN("It seems lv_tick_inc() is not called.");
        }
    } else {
        s_zero_tick_runs = 0;
    }

    TimerNode* act;
    do {
        s_created = false;
        s_deleted = false;
        act = s_head;
        while (act != nullptr) {
            // Taken before the callback: if that deletes anything the walk restarts instead.
            TimerNode* next = act->next;
            if (exec(act) && (s_created || s_deleted)) break;
            act = next;
        }
    } while (act != nullptr);

    uint32_t until_next = LV_NO_TIMER_READY;
    for (TimerNode* n = s_head; n != nullptr; n = n->next) {
        if (n->t.paused) continue;
        uint32_t r = time_remaining(&n->t);
        if (r < until_next) until_next = r;
    }

    s_busy_time += lv_tick_elaps(handler_start);
    uint32_t period = lv_tick_elaps(s_idle_period_start);
    if (period >= kIdleMeasurePeriod) {
        uint32_t busy_pct = s_busy_time * 100 / period;
        s_idle_last = busy_pct > 100 ? 0 : 100 - busy_pct;
        s_busy_time = 0;
        s_idle_period_start = lv_tick_get();
    }

    s_in_handler = false;
    return until_next;
}

lv_timer_t* lv_timer_create_basic(void) {
    return lv_timer_create(nullptr, 500, nullptr);
}

lv_timer_t* lv_timer_create(lv_timer_cb_t timer_xcb, uint32_t period, void* user_data) {
    auto* n = static_cast<TimerNode*>(lv_mem_alloc(sizeof(TimerNode)));
    LV_ASSERT_MALLOC(n);
    if (n == nullptr) return nullptr;

    n->t.period = period;
    n->t.last_run = lv_tick_get();
    n->t.timer_cb = timer_xcb;
    n->t.user_data = user_data;
    n->t.repeat_count = -1;
    n->t.paused = 0;

    n->prev = nullptr;
    n->next = s_head;
    if (s_head != nullptr) s_head->prev = n;
    s_head = n;
    s_created = true;
    return &n->t;
}

void lv_timer_del(lv_timer_t* timer) {
    if (timer == nullptr) return;
    TimerNode* n = node_of(timer);
    if (n->prev != nullptr)
        n->prev->next = n->next;
    else
        s_head = n->next;
    if (n->next != nullptr) n->next->prev = n->prev;
    s_deleted = true;
    lv_mem_free(n);
}

void lv_timer_pause(lv_timer_t* timer) {
    timer->paused = 1;
}

void lv_timer_resume(lv_timer_t* timer) {
    timer->paused = 0;
}

void lv_timer_set_cb(lv_timer_t* timer, lv_timer_cb_t timer_cb) {
    timer->timer_cb = timer_cb;
}

void lv_timer_set_period(lv_timer_t* timer, uint32_t period) {
    timer->period = period;
}

void lv_timer_ready(lv_timer_t* timer) {
    timer->last_run = lv_tick_get() - timer->period - 1;
}

void lv_timer_set_repeat_count(lv_timer_t* timer, int32_t repeat_count) {
    timer->repeat_count = repeat_count;
}

void lv_timer_reset(lv_timer_t* timer) {
    timer->last_run = lv_tick_get();
}

void lv_timer_enable(bool en) {
    s_enabled = en;
}

uint8_t lv_timer_get_idle(void) {
    return (uint8_t)s_idle_last;
}

lv_timer_t* lv_timer_get_next(lv_timer_t* timer) {
    if (timer == nullptr) return s_head != nullptr ? &s_head->t : nullptr;
    TimerNode* next = node_of(timer)->next;
    return next != nullptr ? &next->t : nullptr;
}
