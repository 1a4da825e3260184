// Timers: when they first fire, their order, pause/resume, repeat counts and callbacks that
// create or delete timers.
#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"

#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the callbacks saw: (tick, name) per call.
struct Call {
    uint32_t tick;
    std::string name;
    bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;

void PrintTo(const Call& c, std::ostream* os) {
    *os << c.name << "@" << c.tick;
}

void record(lv_timer_t* t) {
    g_calls.push_back({lv_tick_get(), static_cast<const char*>(t->user_data)});
}

std::vector<uint32_t> ticks_of(const std::string& name) {
    std::vector<uint32_t> out;
    for (const Call& c : g_calls)
        if (c.name == name) out.push_back(c.tick);
    return out;
}

std::vector<lv_timer_t*> timer_list() {
    std::vector<lv_timer_t*> out;
    for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) out.push_back(t);
    return out;
}

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_calls.clear();
        gfx_virtual_time_enable(0);
        _lv_timer_core_init();
    }
    void TearDown() override {
        gfx_timer_reset_all();
        gfx_log_reset();
        gfx_virtual_time_disable();
    }
};

TEST_F(TimerTest, FirstFiresAtTheFirstHandlerCallAfterItsPeriod) {
    lv_timer_create(record, 100, (void*)"t");
    gfx_run_for(400, 30);
    // Due at 100, but the handler runs at 90 and 120; each run restarts the period.
    EXPECT_EQ(ticks_of("t"), (std::vector<uint32_t>{120, 240, 360}));
}

TEST_F(TimerTest, NewTimersGoToTheHeadAndRunFirst) {
    lv_timer_t* b = lv_timer_create(record, 10, (void*)"B");
    gfx_virtual_time_set(5);
    lv_timer_t* c = lv_timer_create(record, 10, (void*)"C");
    lv_timer_t* d = lv_timer_create(record, 10, (void*)"D");
    EXPECT_EQ(timer_list(), (std::vector<lv_timer_t*>{d, c, b}));
    EXPECT_EQ(c->last_run, 5u);
    EXPECT_EQ(c->repeat_count, -1);
    EXPECT_EQ(c->paused, 0u);

    gfx_run_for(15, 15);
    std::vector<Call> want = {{20, "D"}, {20, "C"}, {20, "B"}};
    EXPECT_EQ(g_calls, want);

    lv_timer_t* basic = lv_timer_create_basic();
    EXPECT_EQ(basic->period, 500u);
    EXPECT_EQ(basic->timer_cb, nullptr);
    gfx_run_for(600, 100); // a timer without callback just runs
    EXPECT_EQ(timer_list().front(), basic);
}

TEST_F(TimerTest, ResumeAfterALongPauseFiresAtTheNextHandlerCall) {
    lv_timer_t* t = lv_timer_create(record, 100, (void*)"t");
    gfx_run_for(150, 10);
    lv_timer_pause(t);
    gfx_run_for(1000, 10);
    EXPECT_EQ(ticks_of("t"), (std::vector<uint32_t>{100}));

    lv_timer_resume(t);
    gfx_run_for(1, 1);
    EXPECT_EQ(ticks_of("t"), (std::vector<uint32_t>{100, 1151}));

    // With a reset after resuming, the full period is waited for.
    lv_timer_pause(t);
    gfx_run_for(500, 10);
    lv_timer_resume(t);
    lv_timer_reset(t);
    gfx_run_for(150, 10);
    EXPECT_EQ(ticks_of("t"), (std::vector<uint32_t>{100, 1151, 1751}));
}

TEST_F(TimerTest, PeriodChangesCountFromTheLastRun) {
    lv_timer_t* longer = lv_timer_create(record, 100, (void*)"longer");
    lv_timer_t* shorter = lv_timer_create(record, 100, (void*)"shorter");
    gfx_run_for(50, 10);
    lv_timer_set_period(longer, 200);
    lv_timer_set_period(shorter, 30);
    gfx_run_for(200, 10);
    EXPECT_EQ(ticks_of("shorter"), (std::vector<uint32_t>{60, 90, 120, 150, 180, 210, 240}));
    EXPECT_EQ(ticks_of("longer"), (std::vector<uint32_t>{200}));

    // ready: due at the very next handler call.
    lv_timer_ready(longer);
    gfx_run_for(1, 1);
    EXPECT_EQ(ticks_of("longer"), (std::vector<uint32_t>{200, 251}));
}

TEST_F(TimerTest, RepeatCountRunsNTimesThenDeletesTheTimer) {
    lv_timer_t* t = lv_timer_create(record, 10, (void*)"two");
    lv_timer_set_repeat_count(t, 2);
    lv_timer_t* zero = lv_timer_create(record, 10, (void*)"zero");
    lv_timer_set_repeat_count(zero, 0);
    gfx_run_for(15, 5);
    // The zero-count timer is removed at its due time without a call.
    EXPECT_EQ(timer_list(), (std::vector<lv_timer_t*>{t}));
    gfx_run_for(100, 5);
    EXPECT_EQ(ticks_of("two"), (std::vector<uint32_t>{10, 20}));
    EXPECT_TRUE(ticks_of("zero").empty());
    EXPECT_TRUE(timer_list().empty());
}

lv_timer_t* g_victim = nullptr;
void delete_self(lv_timer_t* t) {
    record(t);
    lv_timer_del(t);
}
void delete_victim(lv_timer_t* t) {
    record(t);
    lv_timer_del(g_victim);
    g_victim = nullptr;
}

TEST_F(TimerTest, CallbacksMayDeleteThemselvesAndOthers) {
    g_victim = lv_timer_create(record, 10, (void*)"victim");
    lv_timer_t* killer = lv_timer_create(delete_victim, 10, (void*)"killer");
    lv_timer_create(delete_self, 10, (void*)"self");
    gfx_run_for(10, 10);

    std::vector<Call> want = {{10, "self"}, {10, "killer"}};
    EXPECT_EQ(g_calls, want);
    EXPECT_EQ(timer_list(), (std::vector<lv_timer_t*>{killer}));
}

TEST_F(TimerTest, SelfDeletionIsPostponedWhenTheLastCallDeletedAnotherTimer) {
    g_victim = lv_timer_create(record, 10, (void*)"victim");
    lv_timer_t* killer = lv_timer_create(delete_victim, 10, (void*)"killer");
    lv_timer_set_repeat_count(killer, 1);
    gfx_run_for(10, 10);
    // Its count reached 0, but it deleted the victim in the same step: it survives this call...
    EXPECT_EQ(timer_list(), (std::vector<lv_timer_t*>{killer}));
    // ...and goes at its next due time, without another call.
    gfx_run_for(10, 10);
    EXPECT_TRUE(timer_list().empty());
    EXPECT_EQ(ticks_of("killer"), (std::vector<uint32_t>{10}));
}

void spawn_one_shot(lv_timer_t* t) {
    record(t);
    lv_timer_t* child = lv_timer_create(record, 0, (void*)"child");
    lv_timer_set_repeat_count(child, 1);
}

TEST_F(TimerTest, ATimerCreatedInACallbackRunsInTheSameHandlerCall) {
    lv_timer_create(record, 10, (void*)"older");
    lv_timer_create(spawn_one_shot, 10, (void*)"parent");
    gfx_run_for(10, 10);
    // The walk restarts from the head; timers that already ran are not due again.
    std::vector<Call> want = {{10, "parent"}, {10, "child"}, {10, "older"}};
    EXPECT_EQ(g_calls, want);
    EXPECT_EQ(timer_list().size(), 2u);
}

TEST_F(TimerTest, HandlerReturnsTheTimeToTheNextNonPausedTimer) {
    EXPECT_EQ(lv_timer_handler(), (uint32_t)LV_NO_TIMER_READY);

    lv_timer_t* slow = lv_timer_create(record, 100, (void*)"slow");
    lv_timer_t* fast = lv_timer_create(record, 40, (void*)"fast");
    gfx_virtual_time_set(30);
    EXPECT_EQ(lv_timer_handler(), 10u);
    lv_timer_pause(fast);
    EXPECT_EQ(lv_timer_handler(), 70u);
    lv_timer_pause(slow);
    EXPECT_EQ(lv_timer_handler(), (uint32_t)LV_NO_TIMER_READY);

    // A timer that is already overdue counts as 0 (it just ran, so this needs a period of 0).
    lv_timer_create(record, 0, (void*)"busy");
    EXPECT_EQ(lv_timer_handler(), 0u);
}

uint32_t g_nested_result = 0;
void nested_handler(lv_timer_t* t) {
    record(t);
    g_nested_result = lv_timer_handler();
}

TEST_F(TimerTest, HandlerIsNotReentrantAndCanBeDisabled) {
    lv_timer_create(nested_handler, 10, (void*)"nested");
    gfx_run_for(10, 10);
    EXPECT_EQ(g_nested_result, 1u);
    EXPECT_EQ(g_calls.size(), 1u);

    lv_timer_enable(false);
    gfx_virtual_time_advance(100);
    EXPECT_EQ(lv_timer_handler(), 1u);
    EXPECT_EQ(g_calls.size(), 1u);
    lv_timer_enable(true);
    lv_timer_handler();
    EXPECT_EQ(g_calls.size(), 2u);
}

TEST_F(TimerTest, WarnsWhenTheTickNeverMoves) {
    StdoutLog log;
    for (int i = 0; i < 100; i++) lv_timer_handler();
    EXPECT_TRUE(log.lines().empty());
    lv_timer_handler();
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("[Warn]"), std::string::npos);
    EXPECT_NE(log.lines()[0].find(": It seems lv_tick_inc() is not called. \t(in "), std::string::npos);
}

} // namespace
