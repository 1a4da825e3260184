// Animations: path curves, start and replacement, delays, playback and repeat, the animation
// timer, and callbacks that delete or start animations while the list is being updated.
#include "gfx_ext.h"
#include "lvgl.h"

#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Exec {
    uint32_t tick;
    int32_t value;
    bool operator==(const Exec&) const = default;
};
void PrintTo(const Exec& e, std::ostream* os) {
    *os << e.value << "@" << e.tick;
}

std::vector<Exec> g_exec;
std::vector<std::string> g_events;
int g_var = 0;
int g_other_var = 0;

void exec_record(void*, int32_t v) {
    g_exec.push_back({lv_tick_get(), v});
}
void exec_other(void*, int32_t) {}
void on_start(lv_anim_t*) {
    g_events.push_back("start@" + std::to_string(lv_tick_get()));
}
void on_ready(lv_anim_t*) {
    g_events.push_back("ready@" + std::to_string(lv_tick_get()));
}
void on_deleted(lv_anim_t*) {
    g_events.push_back("deleted@" + std::to_string(lv_tick_get()));
}

// Advances time in `step` ms slices and updates the animations after each.
void step_anims(uint32_t ms, uint32_t step) {
    for (uint32_t done = 0; done < ms; done += step) {
        gfx_virtual_time_advance(step);
        lv_anim_refr_now();
    }
}

// With a time that divides 1024 and a range equal to the time, a linear animation's value is
// exactly its elapsed time (plus the start), which keeps the expected sequences readable.
lv_anim_t make_anim(int32_t from, int32_t to, uint32_t time) {
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_var(&a, &g_var);
    lv_anim_set_exec_cb(&a, exec_record);
    lv_anim_set_values(&a, from, to);
    lv_anim_set_time(&a, time);
    return a;
}

class AnimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_exec.clear();
        g_events.clear();
        gfx_virtual_time_enable(0);
        _lv_timer_core_init();
        _lv_anim_core_init();
    }
    void TearDown() override {
        gfx_anim_reset_all();
        gfx_timer_reset_all();
        gfx_virtual_time_disable();
    }
};

int32_t path_at(lv_anim_path_cb_t path, int32_t start, int32_t end, int32_t time, int32_t t) {
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_values(&a, start, end);
    lv_anim_set_time(&a, time);
    a.act_time = t;
    return path(&a);
}

TEST(AnimPath, CurvesMatchTheReferenceTable) {
    struct Row {
        int32_t t, linear, ease_in, ease_out, ease_in_out, overshoot;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 0, 0},
        {128, 128, 20, 298, 55, 342},
        {256, 256, 51, 528, 170, 619},
        {384, 384, 101, 699, 326, 835},
        {512, 512, 183, 821, 503, 990},
        {640, 640, 306, 904, 681, 1084},
        {768, 768, 481, 958, 840, 1120},
        {896, 896, 716, 994, 961, 1100},
        {1024, 1024, 1024, 1024, 1024, 1024},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("t=" + std::to_string(r.t));
        EXPECT_EQ(path_at(lv_anim_path_linear, 0, 1024, 1024, r.t), r.linear);
        EXPECT_EQ(path_at(lv_anim_path_ease_in, 0, 1024, 1024, r.t), r.ease_in);
        EXPECT_EQ(path_at(lv_anim_path_ease_out, 0, 1024, 1024, r.t), r.ease_out);
        EXPECT_EQ(path_at(lv_anim_path_ease_in_out, 0, 1024, 1024, r.t), r.ease_in_out);
        EXPECT_EQ(path_at(lv_anim_path_overshoot, 0, 1024, 1024, r.t), r.overshoot);
    }
}

TEST(AnimPath, DecreasingValuesRoundTowardMinusInfinity) {
    const int32_t times[] = {50, 100, 150, 200, 250};
    const int32_t linear[] = {83, 66, 50, 33, 16};
    const int32_t ease_in_out[] = {91, 73, 50, 28, 9};
    for (int i = 0; i < 5; i++) {
        SCOPED_TRACE("t=" + std::to_string(times[i]));
        EXPECT_EQ(path_at(lv_anim_path_linear, 100, 0, 300, times[i]), linear[i]);
        EXPECT_EQ(path_at(lv_anim_path_ease_in_out, 100, 0, 300, times[i]), ease_in_out[i]);
    }
}

TEST(AnimPath, EdgesStepBounceAndHelpers) {
    // A zero-length animation is at its end at once.
    EXPECT_EQ(path_at(lv_anim_path_linear, 10, 20, 0, 0), 20);
    EXPECT_EQ(path_at(lv_anim_path_ease_out, 10, 20, 0, 0), 20);
    EXPECT_EQ(path_at(lv_anim_path_step, 10, 20, 100, 99), 10);
    EXPECT_EQ(path_at(lv_anim_path_step, 10, 20, 100, 100), 20);

    // Bounce starts at the start, ends at the end and never leaves the range in between.
    EXPECT_EQ(path_at(lv_anim_path_bounce, 0, 1000, 1000, 0), 0);
    EXPECT_EQ(path_at(lv_anim_path_bounce, 0, 1000, 1000, 1000), 1000);
    int below_end = 0;
    for (int32_t t = 0; t <= 1000; t += 5) {
        int32_t v = path_at(lv_anim_path_bounce, 0, 1000, 1000, t);
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 1000);
        if (t > 450 && v < 1000) below_end++;
    }
    EXPECT_GT(below_end, 0) << "no bounce after the first landing";

    EXPECT_EQ(lv_map(5, 0, 10, 0, 100), 50);
    EXPECT_EQ(lv_map(-3, 0, 10, 0, 100), 0);
    EXPECT_EQ(lv_map(30, 0, 10, 0, 100), 100);
    EXPECT_EQ(lv_bezier3(512, 0, 0, 1024, 1024), 512u);

    EXPECT_EQ(lv_anim_speed_to_time(100, 0, 50), 500u);
    EXPECT_EQ(lv_anim_speed_to_time(100, 50, 0), 500u);
    EXPECT_EQ(lv_anim_speed_to_time(1000, 0, 0), 1u);
}

TEST(AnimInit, Defaults) {
    lv_anim_t a;
    lv_anim_init(&a);
    EXPECT_EQ(a.time, 500);
    EXPECT_EQ(a.start_value, 0);
    EXPECT_EQ(a.end_value, 100);
    EXPECT_EQ(a.current_value, 0);
    EXPECT_EQ(a.repeat_cnt, 1);
    EXPECT_EQ(a.path_cb, lv_anim_path_linear);
    EXPECT_EQ(a.early_apply, 1);
    EXPECT_EQ(a.act_time, 0);
    EXPECT_EQ(a.exec_cb, nullptr);
}

TEST_F(AnimTest, TimerSleepsWhileNothingRunsAndTicksEvery30ms) {
    lv_timer_t* timer = lv_timer_get_next(nullptr);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->period, 30u);
    EXPECT_EQ(timer->paused, 1u);

    lv_anim_t a = make_anim(0, 256, 256);
    lv_anim_start(&a);
    EXPECT_EQ(timer->paused, 0u);
    gfx_run_for(400, 10);

    std::vector<Exec> want = {{0, 0}};
    for (uint32_t t = 30; t <= 240; t += 30) want.push_back({t, (int32_t)t});
    want.push_back({270, 256}); // the time beyond the end is dropped
    EXPECT_EQ(g_exec, want);
    EXPECT_EQ(lv_anim_count_running(), 0);
    EXPECT_EQ(timer->paused, 1u);
}

TEST_F(AnimTest, ALateStarterGetsTheTimeSinceThePreviousTick) {
    lv_anim_t first = make_anim(0, 1024, 1024);
    lv_anim_set_var(&first, &g_other_var);
    lv_anim_set_exec_cb(&first, exec_other);
    lv_anim_start(&first);
    gfx_run_for(50, 10); // the animation timer ran at 30
    lv_anim_t late = make_anim(0, 1024, 1024);
    lv_anim_start(&late);
    gfx_run_for(10, 10); // next tick at 60: 30 ms counted for the new one, not 10
    std::vector<Exec> want = {{50, 0}, {60, 30}};
    EXPECT_EQ(g_exec, want);
}

TEST_F(AnimTest, DelayWithEarlyApplySetsTheStartValueAtOnce) {
    lv_anim_t a = make_anim(10, 138, 128);
    lv_anim_set_delay(&a, 100);
    lv_anim_set_start_cb(&a, on_start);
    lv_anim_start(&a);
    EXPECT_EQ(g_exec, (std::vector<Exec>{{0, 10}}));
    step_anims(100, 10);
    // At the end of the delay the value equals the start value: nothing is written.
    EXPECT_EQ(g_exec, (std::vector<Exec>{{0, 10}}));
    EXPECT_EQ(g_events, (std::vector<std::string>{"start@100"}));
    step_anims(200, 10);
    ASSERT_EQ(g_exec.size(), 14u);
    EXPECT_EQ(g_exec[1], (Exec{110, 20}));
    EXPECT_EQ(g_exec.back(), (Exec{230, 138}));
    EXPECT_EQ(g_events, (std::vector<std::string>{"start@100"}));
}

TEST_F(AnimTest, DelayWithoutEarlyApplyNeverWritesTheStartValue) {
    lv_anim_t a = make_anim(10, 138, 128);
    lv_anim_set_delay(&a, 100);
    lv_anim_set_early_apply(&a, false);
    lv_anim_set_start_cb(&a, on_start);
    lv_anim_start(&a);
    step_anims(300, 10);
    EXPECT_EQ(g_events, (std::vector<std::string>{"start@100"}));
    ASSERT_EQ(g_exec.size(), 13u);
    EXPECT_EQ(g_exec.front(), (Exec{110, 20}));
    EXPECT_EQ(g_exec.back(), (Exec{230, 138}));
}

TEST_F(AnimTest, PlaybackAndRepeatSequence) {
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_set_playback_delay(&a, 50);
    lv_anim_set_playback_time(&a, 200);
    lv_anim_set_repeat_count(&a, 2);
    lv_anim_set_repeat_delay(&a, 40);
    lv_anim_set_ready_cb(&a, on_ready);
    lv_anim_t* running = lv_anim_start(&a);
    // delay 0 | fwd 100 | playback delay 50 | back 200 | repeat delay 40 | fwd 100 | 50 | back 200
    EXPECT_EQ(lv_anim_get_playtime(running), 740u);
    step_anims(800, 10);

    auto value_at = [](uint32_t tick) -> int {
        for (const Exec& e : g_exec)
            if (e.tick == tick) return e.value;
        return -1; // no call at that tick
    };
    EXPECT_EQ(value_at(0), 0);
    EXPECT_EQ(value_at(100), 100);
    for (uint32_t t = 110; t <= 150; t += 10) EXPECT_EQ(value_at(t), -1) << "playback delay, t=" << t;
    EXPECT_EQ(value_at(160), 95); // 100 - 5: the shift rounds toward minus infinity
    EXPECT_EQ(value_at(350), 0);
    for (uint32_t t = 360; t <= 390; t += 10) EXPECT_EQ(value_at(t), -1) << "repeat delay, t=" << t;
    EXPECT_EQ(value_at(400), 9); // 100 * (102 / 1024), truncated
    EXPECT_EQ(value_at(490), 100);
    EXPECT_EQ(value_at(550), 95);
    EXPECT_EQ(value_at(740), 0);
    EXPECT_EQ(g_exec.back().tick, 740u);
    EXPECT_EQ(g_events, (std::vector<std::string>{"ready@740"}));
    EXPECT_EQ(lv_anim_count_running(), 0);
}

TEST_F(AnimTest, PlaytimePredictsTheEnd) {
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_set_delay(&a, 20);
    lv_anim_set_playback_delay(&a, 10);
    lv_anim_set_playback_time(&a, 50);
    lv_anim_set_repeat_count(&a, 3);
    lv_anim_set_repeat_delay(&a, 5);
    lv_anim_set_ready_cb(&a, on_ready);
    uint32_t playtime = lv_anim_get_playtime(lv_anim_start(&a));
    step_anims(1000, 5);
    EXPECT_EQ(g_events, (std::vector<std::string>{"ready@" + std::to_string(playtime)}));

    lv_anim_set_repeat_count(&a, LV_ANIM_REPEAT_INFINITE);
    EXPECT_EQ(lv_anim_get_playtime(lv_anim_start(&a)), (uint32_t)LV_ANIM_PLAYTIME_INFINITE);
}

TEST_F(AnimTest, StartingAgainReplacesTheRunningAnimation) {
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_set_deleted_cb(&a, on_deleted);
    lv_anim_start(&a);
    step_anims(50, 10);

    lv_anim_t b = make_anim(500, 600, 100);
    lv_anim_t* second = lv_anim_start(&b);
    EXPECT_EQ(g_events, (std::vector<std::string>{"deleted@50"}));
    EXPECT_EQ(lv_anim_count_running(), 1);
    EXPECT_EQ(lv_anim_get(&g_var, exec_record), second);
    EXPECT_EQ(lv_anim_get(&g_var, nullptr), second);

    // Another exec_cb on the same variable runs alongside.
    lv_anim_t c = make_anim(0, 1, 100);
    lv_anim_set_exec_cb(&c, exec_other);
    lv_anim_start(&c);
    EXPECT_EQ(lv_anim_count_running(), 2);
    EXPECT_EQ(lv_anim_get(&g_var, exec_record), second);

    // NULL matches anything.
    EXPECT_TRUE(lv_anim_del(&g_var, nullptr));
    EXPECT_EQ(lv_anim_count_running(), 0);
    EXPECT_FALSE(lv_anim_del(nullptr, nullptr));
}

lv_anim_t* g_seen_in_ready = reinterpret_cast<lv_anim_t*>(1);
uint16_t g_running_in_ready = 99;
void ready_checks_list(lv_anim_t* a) {
    g_seen_in_ready = lv_anim_get(a->var, exec_record);
    g_running_in_ready = lv_anim_count_running();
    on_ready(a);
}

TEST_F(AnimTest, ReadyComesBeforeDeletedAndSeesTheAnimationGone) {
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_set_ready_cb(&a, ready_checks_list);
    lv_anim_set_deleted_cb(&a, on_deleted);
    lv_anim_start(&a);
    step_anims(100, 10);
    EXPECT_EQ(g_events, (std::vector<std::string>{"ready@100", "deleted@100"}));
    EXPECT_EQ(g_seen_in_ready, nullptr);
    EXPECT_EQ(g_running_in_ready, 0);
}

void exec_deletes_itself(void* var, int32_t v) {
    exec_record(var, v);
    if (v >= 30) lv_anim_del(var, exec_deletes_itself);
}
void exec_deletes_other(void* var, int32_t v) {
    exec_record(var, v);
    lv_anim_del(&g_other_var, nullptr);
}

TEST_F(AnimTest, CallbacksMayDeleteTheirOwnAndOtherAnimations) {
    lv_anim_t self = make_anim(0, 128, 128);
    lv_anim_set_exec_cb(&self, exec_deletes_itself);
    lv_anim_set_early_apply(&self, false);
    lv_anim_set_deleted_cb(&self, on_deleted);
    lv_anim_start(&self);
    step_anims(100, 10);
    EXPECT_EQ(g_exec.back(), (Exec{30, 30}));
    EXPECT_EQ(g_events, (std::vector<std::string>{"deleted@30"}));
    EXPECT_EQ(lv_anim_count_running(), 0);

    g_exec.clear();
    g_events.clear();
    lv_anim_t other = make_anim(0, 128, 128);
    lv_anim_set_var(&other, &g_other_var);
    lv_anim_set_deleted_cb(&other, on_deleted);
    lv_anim_start(&other); // older: updated after the killer
    lv_anim_t killer = make_anim(0, 128, 128);
    lv_anim_set_exec_cb(&killer, exec_deletes_other);
    lv_anim_set_early_apply(&killer, false);
    lv_anim_start(&killer);
    g_exec.clear();
    step_anims(10, 10);
    EXPECT_EQ(g_exec, (std::vector<Exec>{{110, 10}}));
    EXPECT_EQ(g_events, (std::vector<std::string>{"deleted@110"}));
    EXPECT_EQ(lv_anim_count_running(), 1);
}

void chain_next(lv_anim_t*) {
    on_ready(nullptr);
    lv_anim_t next = make_anim(64, 0, 64);
    lv_anim_start(&next);
}

TEST_F(AnimTest, AReadyCallbackCanStartTheNextAnimation) {
    lv_anim_t a = make_anim(0, 64, 64);
    lv_anim_set_ready_cb(&a, chain_next);
    lv_anim_start(&a);
    step_anims(160, 8);
    // The chained animation applies its start value at once and then runs from the next update.
    std::vector<Exec> want;
    for (int32_t t = 0; t <= 64; t += 8) want.push_back({(uint32_t)t, t});
    for (int32_t t = 64; t <= 128; t += 8) want.push_back({(uint32_t)t, 128 - t});
    EXPECT_EQ(g_exec, want);
    EXPECT_EQ(lv_anim_count_running(), 0);
}

TEST_F(AnimTest, CustomExecCallbackReceivesTheRunningCopy) {
    static lv_anim_t* seen = nullptr;
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_custom_exec_cb(&a, [](lv_anim_t* running, int32_t) { seen = running; });
    lv_anim_t* copy = lv_anim_start(&a);
    EXPECT_EQ(seen, copy);
    EXPECT_EQ(copy->var, copy);
    lv_anim_del_all();
    EXPECT_EQ(lv_anim_count_running(), 0);
}

} // namespace
