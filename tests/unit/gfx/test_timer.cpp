// Timers and animations as LVGL 8.3 runs them: first fire, order, pause and resume, repeat counts,
// callbacks that change the lists; path curves, the animation timer, delays, playback and repeat,
// replacement.
#include "gfx_fixture.h"

#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Seq = std::vector<std::string>;
Seq g_calls, g_events; // "what@tick" per timer or exec callback, and per other animation callback
lv_timer_t* g_victim = nullptr;
int g_var = 0, g_other_var = 0;

std::string at(const std::string& what) {
    return what + "@" + std::to_string(lv_tick_get());
}
void record(lv_timer_t* t) {
    g_calls.push_back(at(static_cast<const char*>(t->user_data)));
}
void delete_self(lv_timer_t* t) {
    record(t);
    lv_timer_del(t);
}
void delete_victim(lv_timer_t* t) {
    record(t);
    lv_timer_del(g_victim);
}
void spawn_one_shot(lv_timer_t* t) {
    record(t);
    lv_timer_set_repeat_count(lv_timer_create(record, 0, (void*)"child"), 1);
}
void exec_record(void*, int32_t v) {
    g_calls.push_back(at(std::to_string(v)));
}

// Linear from `from` to `to` on g_var; with a time that divides 1024 and a range equal to the time,
// the value is the elapsed time (plus the start), which keeps the sequences readable.
lv_anim_t make_anim(int32_t from, int32_t to, uint32_t time, void* var = &g_var) {
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_var(&a, var);
    lv_anim_set_exec_cb(&a, exec_record);
    lv_anim_set_values(&a, from, to);
    lv_anim_set_time(&a, time);
    lv_anim_set_start_cb(&a, [](lv_anim_t*) { g_events.push_back(at("start")); });
    lv_anim_set_deleted_cb(&a, [](lv_anim_t*) { g_events.push_back(at("deleted")); });
    return a;
}

class Timing : public ::testing::Test {
  protected:
    void SetUp() override { restart(); }
    void TearDown() override {
        gfx_anim_reset_all();
        gfx_timer_reset_all();
        gfx_virtual_time_disable();
    }
    // No timers but the sleeping animation timer, time 0.
    static void restart() {
        g_calls.clear();
        g_events.clear();
        gfx_virtual_time_enable(0);
        _lv_timer_core_init();
        _lv_anim_core_init();
    }
    // Advances time in `step` ms slices and updates the animations after each.
    static void step_anims(uint32_t ms, uint32_t step) {
        for (uint32_t done = 0; done < ms; done += step) {
            gfx_virtual_time_advance(step);
            lv_anim_refr_now();
        }
    }
};

TEST_F(Timing, TimerNewestRunsFirstAndCallbacksMayChangeTheList) {
    g_victim = lv_timer_create(record, 10, (void*)"victim");
    lv_timer_create(delete_victim, 10, (void*)"killer");
    lv_timer_create(delete_self, 10, (void*)"self");
    lv_timer_create(record, 10, (void*)"newest");
    gfx_run_for(10, 10);
    EXPECT_EQ(g_calls, (Seq{"newest@10", "self@10", "killer@10"}));
    EXPECT_EQ(gfx_test_timer_count(), 3u); // and the animation timer
    // A timer created in a callback runs in the same handler call: the walk starts over, and timers
    // that already ran are not due again.
    restart();
    lv_timer_create(record, 10, (void*)"older");
    lv_timer_create(spawn_one_shot, 10, (void*)"parent");
    gfx_run_for(10, 10);
    EXPECT_EQ(g_calls, (Seq{"parent@10", "child@10", "older@10"}));
}

TEST_F(Timing, TimerRepeatCountsEndInDeletion) {
    lv_timer_set_repeat_count(lv_timer_create(record, 10, (void*)"two"), 2);
    lv_timer_set_repeat_count(lv_timer_create(record, 10, (void*)"zero"), 0); // deleted unseen
    gfx_run_for(100, 5);
    EXPECT_EQ(g_calls, (Seq{"two@10", "two@20"}));
    EXPECT_EQ(gfx_test_timer_count(), 1u);
}

TEST_F(Timing, TimerPauseResumeResetReadyAndPeriodKeepTheLastRun) {
    lv_timer_t* t = lv_timer_create(record, 100, (void*)"t");
    gfx_run_for(150, 10);
    lv_timer_pause(t);
    gfx_run_for(1000, 10);
    lv_timer_resume(t); // after more than a period: fires at the very next handler call
    gfx_run_for(1, 1);
    lv_timer_pause(t);
    gfx_run_for(500, 10);
    lv_timer_resume(t); // reset as well: a whole period
    lv_timer_reset(t);
    gfx_run_for(150, 10);
    lv_timer_ready(t); // due at the next call
    gfx_run_for(1, 1);
    lv_timer_set_period(t, 30); // counts from the last run
    gfx_run_for(40, 10);
    EXPECT_EQ(g_calls, (Seq{"t@100", "t@1151", "t@1751", "t@1802", "t@1832"}));
}

TEST(AnimPath, CurvesMatchLvgl) {
    const struct {
        int32_t start, end, time, t;
        int32_t linear, ease_in, ease_out, ease_in_out, overshoot, step;
    } rows[] = {
        {0, 1024, 1024, 128, 128, 20, 298, 55, 342, 0},
        {0, 1024, 1024, 640, 640, 306, 904, 681, 1084, 0},
        {0, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024},
        {100, 0, 300, 50, 83, 97, 62, 91, 57, 100}, // falling: the shift rounds toward minus infinity
        {100, 0, 300, 250, 16, 38, 4, 9, -9, 100},
        {10, 20, 0, 0, 20, 20, 20, 20, 20, 20}, // no time: the end
    };
    for (const auto& r : rows) {
        lv_anim_t a = make_anim(r.start, r.end, (uint32_t)r.time);
        a.act_time = r.t;
        EXPECT_EQ((std::vector<int32_t>{lv_anim_path_linear(&a), lv_anim_path_ease_in(&a),
                                        lv_anim_path_ease_out(&a), lv_anim_path_ease_in_out(&a),
                                        lv_anim_path_overshoot(&a), lv_anim_path_step(&a)}),
                  (std::vector<int32_t>{r.linear, r.ease_in, r.ease_out, r.ease_in_out, r.overshoot, r.step}))
            << r.start << ".." << r.end << " at " << r.t;
    }
}

TEST_F(Timing, AnimTimerTicksEvery30msAndSleepsWhileNothingRuns) {
    lv_timer_t* timer = lv_timer_get_next(nullptr); // the animation timer
    lv_anim_t a = make_anim(0, 256, 256);
    lv_anim_start(&a);
    gfx_run_for(50, 10);
    // Started while another runs, it counts from the previous tick (at 30): 30 ms at the tick at 60.
    // The newest is updated first; time beyond the end is dropped.
    lv_anim_t late = make_anim(1000, 1128, 128, &g_other_var);
    lv_anim_start(&late);
    gfx_run_for(350, 10);
    EXPECT_EQ(g_calls,
              (Seq{"0@0", "30@30", "1000@50", "1030@60", "60@60", "1060@90", "90@90", "1090@120", "120@120",
                   "1120@150", "150@150", "1128@180", "180@180", "210@210", "240@240", "256@270"}));
    EXPECT_EQ(timer->paused, 1u);
}

TEST_F(Timing, AnimDelayWithAndWithoutEarlyApply) {
    // Without early apply the start value equals the current one when the delay ends: never written.
    for (bool early_apply : {true, false}) {
        restart();
        lv_anim_t a = make_anim(10, 138, 128);
        lv_anim_set_delay(&a, 100);
        lv_anim_set_early_apply(&a, early_apply);
        lv_anim_start(&a);
        step_anims(300, 10);
        EXPECT_EQ(Seq(g_calls.begin(), g_calls.begin() + 2),
                  early_apply ? (Seq{"10@0", "20@110"}) : (Seq{"20@110", "30@120"}));
        EXPECT_EQ(g_calls.back(), "138@230");
        EXPECT_EQ(g_events, (Seq{"start@100", "deleted@230"}));
    }
}

TEST_F(Timing, AnimPlaybackAndRepeatFollowEachOther) {
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_set_playback_delay(&a, 50);
    lv_anim_set_playback_time(&a, 200);
    lv_anim_set_repeat_count(&a, 2);
    lv_anim_set_repeat_delay(&a, 40);
    lv_anim_set_ready_cb(&a, [](lv_anim_t* r) { // out of the list already
        g_events.push_back(at(lv_anim_get(r->var, nullptr) ? "ready, listed" : "ready"));
    });
    // fwd 100 | playback delay 50 | back 200 | repeat delay 40 | fwd 100 | 50 | back 200
    EXPECT_EQ(lv_anim_get_playtime(lv_anim_start(&a)), 740u);
    step_anims(800, 10);
    std::string seen; // the value at some ticks, "-" where none was written
    for (uint32_t tick : {100, 110, 150, 160, 350, 360, 390, 400, 490, 550, 740, 750}) {
        std::string v = "-";
        for (const std::string& e : g_calls)
            if (e.substr(e.find('@') + 1) == std::to_string(tick)) v = e.substr(0, e.find('@'));
        seen += v + " ";
    }
    EXPECT_EQ(seen, "100 - - 95 0 - - 9 100 95 0 - ");
    EXPECT_EQ(g_events, (Seq{"start@10", "ready@740", "deleted@740"}));
    lv_anim_set_repeat_count(&a, LV_ANIM_REPEAT_INFINITE);
    EXPECT_EQ(lv_anim_get_playtime(lv_anim_start(&a)), (uint32_t)LV_ANIM_PLAYTIME_INFINITE);
}

TEST_F(Timing, AnimStartingAgainReplacesAndCallbacksMayChangeTheList) {
    // Same variable and exec callback: the running one goes; another exec callback runs alongside.
    lv_anim_t a = make_anim(0, 100, 100);
    lv_anim_start(&a);
    step_anims(50, 10);
    lv_anim_t* second = lv_anim_start(&a);
    lv_anim_set_exec_cb(&a, [](void*, int32_t) {});
    lv_anim_start(&a);
    EXPECT_EQ(g_events, (Seq{"start@10", "deleted@50"}));
    EXPECT_EQ(lv_anim_count_running(), 2);
    EXPECT_EQ(lv_anim_get(&g_var, exec_record), second);
    lv_anim_del(&g_var, nullptr);
    // A ready callback starts the next animation, which applies its start value at once.
    g_calls.clear();
    lv_anim_t first = make_anim(0, 32, 32);
    lv_anim_set_ready_cb(&first, [](lv_anim_t*) {
        lv_anim_t next = make_anim(64, 0, 64);
        lv_anim_start(&next);
    });
    lv_anim_start(&first);
    step_anims(80, 16);
    EXPECT_EQ(g_calls, (Seq{"0@50", "16@66", "32@82", "64@82", "48@98", "32@114", "16@130"}));
}

} // namespace
