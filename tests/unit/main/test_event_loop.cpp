// Process entry and event loop: the rotation mode from the command line, the rate at which timer
// events run the graphics library, and the tick. Built together with main.cpp (without its main());
// the modes the program refuses are run on the real program in the end-to-end tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "custom_tick.h"
#include "main.h"

namespace {

long mode_of(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return main_rotation_mode(int(args.size()), argv.data());
}

TEST(EventLoop, RotationModeFromTheCommandLine) {
    const struct {
        std::vector<std::string> args;
        long mode;
    } cases[] = {
        {{"status-display"}, 4},           // no argument: full refresh without rotation
        {{"status-display", "abc"}, 0},    // not a number
        {{"status-display", "3"}, 3},      //
        {{"status-display", "5"}, 5},      // out of range: main refuses it
        {{"status-display", "-1"}, -1},    // negative: main refuses it
        {{"status-display", "2x"}, 2},     // the leading digits count
        {{"status-display", "1", "3"}, 1}, // further arguments are ignored
        {{"status-display", ""}, 0},       // an empty argument is no number
        {{"status-display", " +4"}, 4},    // strtol's own leading blanks and sign
    };
    for (const auto& c : cases) {
        std::string name;
        for (const std::string& a : c.args) name += "[" + a + "]";
        SCOPED_TRACE(name);
        EXPECT_EQ(mode_of(c.args), c.mode);
    }
}

TEST(EventLoop, TimerEventsRunTheLibraryEverySecondTime) {
    uint32_t counter = 0;
    std::string runs;
    for (int i = 0; i < 6; i++) runs += main_timer_event_runs_handler(&counter) ? 'R' : '-';
    EXPECT_EQ(runs, "R-R-R-") << "1st, 3rd and 5th timer events run lv_timer_handler";
    EXPECT_EQ(counter, 6u);

    // The counter wraps after 2^32 events without breaking the alternation.
    counter = UINT32_MAX - 1;
    runs.clear();
    for (int i = 0; i < 4; i++) runs += main_timer_event_runs_handler(&counter) ? 'R' : '-';
    EXPECT_EQ(runs, "R-R-");
    EXPECT_EQ(counter, 2u);
}

TEST(EventLoop, TickCountsMillisecondsFromItsFirstCall) {
    EXPECT_EQ(custom_tick_get(), 0u) << "the first call is the origin";
    timespec before{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    const timespec pause{0, 30 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    const uint32_t t1 = custom_tick_get();
    timespec after{};
    clock_gettime(CLOCK_MONOTONIC, &after);
    const int64_t elapsed_ms =
        (int64_t(after.tv_sec) - before.tv_sec) * 1000 + (after.tv_nsec - before.tv_nsec) / 1000000;
    EXPECT_GE(t1, 30u) << "a 30 ms pause advances the tick by at least 30";
    EXPECT_LE(int64_t(t1), elapsed_ms + 2) << "the tick runs at the monotonic clock's rate";
    EXPECT_GE(custom_tick_get(), t1) << "the tick never goes back";
}

} // namespace
