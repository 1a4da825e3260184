// Animations: a list of running descriptors advanced by one system timer.
#include "lv_anim.h"
#include "lv_assert.h"
#include "lv_math.h"
#include "lv_mem.h"

#include "misc/misc_internal.h"

#include <limits.h>

namespace {

// A running animation. `pins` keeps the memory alive while a callback of this very animation
// runs; a deletion meanwhile only unlinks it and the pinning code frees it afterwards.
struct AnimNode {
    lv_anim_t a;
    AnimNode* prev;
    AnimNode* next;
    uint32_t serial;
    uint8_t pins;
    bool removed;
};
AnimNode* s_head = nullptr;
lv_timer_t* s_timer = nullptr;
uint32_t s_last_tick = 0;
bool s_run_round = false;
bool s_list_changed = false;
bool s_in_update = false;
uint32_t s_serial = 0;

// The timer sleeps while nothing runs.
void mark_list_change() {
    s_list_changed = true;
    if (s_timer == nullptr || !gfx_timer_is_registered(s_timer)) return;
    if (s_head == nullptr)
        lv_timer_pause(s_timer);
    else
        lv_timer_resume(s_timer);
}

void link_head(AnimNode* n) {
    n->prev = nullptr;
    n->next = s_head;
    if (s_head != nullptr) s_head->prev = n;
    s_head = n;
}

void unlink(AnimNode* n) {
    if (n->prev != nullptr)
        n->prev->next = n->next;
    else
        s_head = n->next;
    if (n->next != nullptr) n->next->prev = n->prev;
    n->prev = nullptr;
    n->next = nullptr;
    n->removed = true;
}

// Frees an unlinked node unless someone up the stack still looks at it.
void release(AnimNode* n) {
    if (n->pins == 0) lv_mem_free(n);
}

void unpin(AnimNode* n) {
    n->pins--;
    if (n->removed) release(n);
}

bool matches(const lv_anim_t& a, void* var, lv_anim_exec_xcb_t exec_cb) {
    return (var == nullptr || a.var == var) && (exec_cb == nullptr || a.exec_cb == exec_cb);
}

// End of a run: finish, or turn round for playback / the next repeat.
void run_finished(AnimNode* n) {
    lv_anim_t* a = &n->a;
    if (!a->playback_now && a->repeat_cnt != 0 && a->repeat_cnt != LV_ANIM_REPEAT_INFINITE) a->repeat_cnt--;

    if (a->repeat_cnt == 0 && (a->playback_time == 0 || a->playback_now)) {
        // Out of the list first, so ready_cb already sees the animation as gone.
        unlink(n);
        mark_list_change();
        if (a->ready_cb != nullptr) a->ready_cb(a);
        if (a->deleted_cb != nullptr) a->deleted_cb(a);
        return;
    }

    a->act_time = -(int32_t)a->repeat_delay;
    if (a->playback_time != 0) {
        if (!a->playback_now) a->act_time = -(int32_t)a->playback_delay;
        a->playback_now = !a->playback_now;
        int32_t v = a->start_value;
        a->start_value = a->end_value;
        a->end_value = v;
        int32_t t = a->time;
        a->time = (int32_t)a->playback_time;
        a->playback_time = (uint32_t)t;
    }
}

// Advances one animation by `elapsed` ms. Stops as soon as a callback removed it.
void advance(AnimNode* n, uint32_t elapsed) {
    lv_anim_t* a = &n->a;
    int64_t next_time = (int64_t)a->act_time + elapsed;
    if (next_time > INT32_MAX) next_time = INT32_MAX;

    if (!a->start_cb_called && a->act_time <= 0 && next_time >= 0) {
        if (!a->early_apply && a->get_value_cb != nullptr) {
            int32_t ofs = a->get_value_cb(a);
            if (n->removed) return;
            a->start_value += ofs;
            a->end_value += ofs;
        }
        a->start_cb_called = 1;
        if (a->start_cb != nullptr) {
            a->start_cb(a);
            if (n->removed) return;
        }
    }

    a->act_time = (int32_t)next_time;
    if (a->act_time < 0) return;
    if (a->act_time > a->time) a->act_time = a->time; // time beyond the end is dropped

    lv_anim_path_cb_t path = a->path_cb != nullptr ? a->path_cb : lv_anim_path_linear;
    int32_t value = path(a);
    if (value != a->current_value) {
        a->current_value = value;
        if (a->exec_cb != nullptr) {
            a->exec_cb(a->var, value);
            if (n->removed) return;
        }
    }
    if (a->act_time >= a->time) run_finished(n);
}

void update_all() {
    if (s_in_update) return;
    s_in_update = true;

    uint32_t elapsed = lv_tick_elaps(s_last_tick);
    // Each pass flips the round bit; an animation whose bit already matches has run in this pass.
    s_run_round = !s_run_round;

    AnimNode* n = s_head;
    while (n != nullptr) {
        s_list_changed = false;
        if (n->a.run_round != (unsigned)s_run_round) {
            n->a.run_round = s_run_round;
            n->pins++;
            advance(n, elapsed);
            unpin(n);
        }
        // A callback that started or deleted animations may have freed the next node.
        n = s_list_changed ? s_head : n->next;
    }

    s_last_tick = lv_tick_get();
    s_in_update = false;
}

void anim_timer_cb(lv_timer_t*) {
    update_all();
}

// Shared by the Bezier-based paths: value at the curve's current point.
int32_t bezier_path(const lv_anim_t* a, uint32_t u1, uint32_t u2) {
    uint32_t t = (uint32_t)lv_map(a->act_time, 0, a->time, 0, LV_BEZIER_VAL_MAX);
    int32_t step = (int32_t)lv_bezier3(t, 0, u1, u2, LV_BEZIER_VAL_MAX);
    // 64-bit product; the shift of a negative value rounds toward minus infinity.
    int64_t v = ((int64_t)step * (a->end_value - a->start_value)) >> LV_BEZIER_VAL_SHIFT;
    return (int32_t)(v + a->start_value);
}

} // namespace

void _lv_anim_core_init(void) {
    gfx_anim_reset_all();
    s_timer = lv_timer_create(anim_timer_cb, LV_DISP_DEF_REFR_PERIOD, nullptr);
    mark_list_change(); // empty: starts paused
    s_list_changed = false;
}

void gfx_anim_reset_all(void) {
    AnimNode* n = s_head;
    while (n != nullptr) {
        AnimNode* next = n->next;
        unlink(n);
        release(n);
        n = next;
    }
    s_head = nullptr;
    if (s_timer != nullptr && gfx_timer_is_registered(s_timer)) lv_timer_del(s_timer);
    s_timer = nullptr;
    s_list_changed = true;
}

void lv_anim_init(lv_anim_t* a) {
    *a = lv_anim_t{};
    a->time = 500;
    a->start_value = 0;
    a->end_value = 100;
    a->repeat_cnt = 1;
    a->path_cb = lv_anim_path_linear;
    a->early_apply = 1;
}

lv_anim_t* lv_anim_start(const lv_anim_t* a) {
    // One animation per variable and exec_cb: a new start replaces the old one.
    if (a->exec_cb != nullptr) lv_anim_del(a->var, a->exec_cb);

    // A paused animation timer's last run says nothing; count from now.
    if (s_head == nullptr) s_last_tick = lv_tick_get();

    auto* n = static_cast<AnimNode*>(lv_mem_alloc(sizeof(AnimNode)));
    LV_ASSERT_MALLOC(n);
    if (n == nullptr) return nullptr;
    n->a = *a;
    if (a->var == a) n->a.var = &n->a; // custom exec callbacks get the running copy
    n->a.run_round = s_run_round;      // not advanced by a pass that is already under way
    n->serial = ++s_serial;
    n->pins = 0;
    n->removed = false;
    link_head(n);

    lv_anim_t* na = &n->a;
    bool gone = false;
    if (na->early_apply) {
        n->pins++;
        if (na->get_value_cb != nullptr) {
            int32_t ofs = na->get_value_cb(na);
            na->start_value += ofs;
            na->end_value += ofs;
        }
        if (!n->removed && na->exec_cb != nullptr) na->exec_cb(na->var, na->start_value);
        gone = n->removed;
        unpin(n);
    }

    mark_list_change();
    return gone ? nullptr : na;
}

uint32_t lv_anim_get_playtime(lv_anim_t* a) {
    if (a->repeat_cnt == LV_ANIM_REPEAT_INFINITE) return LV_ANIM_PLAYTIME_INFINITE;
    // The rest of the current run (a negative act_time adds the remaining delay), then every
    // further run with its repeat delay.
    uint32_t run = (uint32_t)a->time;
    if (a->playback_time != 0) run += a->playback_delay + a->playback_time;
    uint32_t total = run - (uint32_t)a->act_time;
    if (a->repeat_cnt > 1) total += (a->repeat_delay + run) * (uint32_t)(a->repeat_cnt - 1);
    return total;
}

bool lv_anim_del(void* var, lv_anim_exec_xcb_t exec_cb) {
    // Animations started by a deleted_cb during this call are newer than `limit` and stay.
    uint32_t limit = s_serial;
    bool any = false;
    AnimNode* n = s_head;
    while (n != nullptr) {
        if (n->serial > limit || !matches(n->a, var, exec_cb)) {
            n = n->next;
            continue;
        }
        unlink(n);
        mark_list_change();
        n->pins++;
        if (n->a.deleted_cb != nullptr) n->a.deleted_cb(&n->a);
        unpin(n);
        any = true;
        // The callback may have changed anything; matched nodes are out of the list already.
        n = s_head;
    }
    return any;
}

void lv_anim_del_all(void) {
    AnimNode* n = s_head;
    while (n != nullptr) {
        AnimNode* next = n->next;
        unlink(n);
        release(n);
        n = next;
    }
    mark_list_change();
}

lv_anim_t* lv_anim_get(void* var, lv_anim_exec_xcb_t exec_cb) {
    for (AnimNode* n = s_head; n != nullptr; n = n->next) {
        if (n->a.var == var && (exec_cb == nullptr || n->a.exec_cb == exec_cb)) return &n->a;
    }
    return nullptr;
}

uint16_t lv_anim_count_running(void) {
    uint16_t count = 0;
    for (AnimNode* n = s_head; n != nullptr; n = n->next) count++;
    return count;
}

uint32_t lv_anim_speed_to_time(uint32_t speed, int32_t start, int32_t end) {
    int64_t d = (int64_t)start - end;
    uint32_t dist = (uint32_t)(d < 0 ? -d : d);
    uint32_t ms = speed == 0 ? 0 : (uint32_t)((uint64_t)dist * 1000u / speed);
    return ms == 0 ? 1 : ms;
}

void lv_anim_refr_now(void) {
    update_all();
}

int32_t lv_anim_path_linear(const lv_anim_t* a) {
    int32_t step = lv_map(a->act_time, 0, a->time, 0, LV_BEZIER_VAL_MAX);
    int64_t v = ((int64_t)step * (a->end_value - a->start_value)) >> LV_BEZIER_VAL_SHIFT;
    return (int32_t)(v + a->start_value);
}

int32_t lv_anim_path_ease_in(const lv_anim_t* a) {
    return bezier_path(a, 50, 100);
}

int32_t lv_anim_path_ease_out(const lv_anim_t* a) {
    return bezier_path(a, 900, 950);
}

int32_t lv_anim_path_ease_in_out(const lv_anim_t* a) {
    return bezier_path(a, 50, 952);
}

int32_t lv_anim_path_overshoot(const lv_anim_t* a) {
    return bezier_path(a, 1000, 1300);
}

int32_t lv_anim_path_bounce(const lv_anim_t* a) {
    // A fall that lands on the end value at 40 % of the time, then three shrinking hops back
    // towards the start (1/8, 1/32 and 1/128 of the distance), each a parabola.
    int32_t t = lv_map(a->act_time, 0, a->time, 0, LV_BEZIER_VAL_MAX);
    int64_t diff = (int64_t)a->end_value - a->start_value;
    if (t < 410) {
        int64_t f = (int64_t)t * t * LV_BEZIER_VAL_MAX / (410 * 410); // 0..1024, accelerating
        return (int32_t)(a->start_value + ((f * diff) >> LV_BEZIER_VAL_SHIFT));
    }
    struct Hop {
        int32_t from, to, height_shift;
    };
    constexpr Hop hops[] = {{410, 760, 3}, {760, 940, 5}, {940, 1024, 7}};
    for (const Hop& h : hops) {
        if (t >= h.to) continue;
        // 4 x (1 - x) over the hop, 0..1024..0.
        int64_t len = h.to - h.from;
        int64_t x = t - h.from;
        int64_t up = 4 * x * (len - x) * LV_BEZIER_VAL_MAX / (len * len);
        int64_t back = (up * diff) >> (LV_BEZIER_VAL_SHIFT + h.height_shift);
        return (int32_t)(a->end_value - back);
    }
    return a->end_value;
}

int32_t lv_anim_path_step(const lv_anim_t* a) {
    return a->act_time >= a->time ? a->end_value : a->start_value;
}
