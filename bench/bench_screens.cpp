// Renders one full frame of each screen the program shows, at 320x240 in full-refresh mode as the
// program runs on the board: the real application modules on a memory display, each screen reached by
// a status message (the two swiping screens the way the screen manager switches, the overlay by a
// trigger message), at a pinned wall time and virtual tick.
//
//   bench_screens [benchmark flags]    time per full frame of each screen
//   bench_screens --list               the screens' names
//   bench_screens --one-frame NAME     shows the screen, renders a warm-up frame, then exactly one frame
//                                      inside bench_screen_one_frame() (for callgrind's toggle)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "app_host.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "messages.h"
#include "msg/msg.h"

namespace {

constexpr int64_t kWallTime = 1767225600; // 2026-01-01 00:00:00 UTC
lv_disp_t* g_disp = nullptr;

void advance(uint32_t ms) {
    app_host_run_for(ms);
}

void dispatch(const std::string& json) {
    app_host_datagram(json.data(), json.size());
    advance(500);
}

struct Screen {
    std::string name;
    void (*show)(const Screen&);
    int index;
};

void show_welcome(const Screen&) {}

void show_by_message(const Screen& s) {
    dispatch(harness::status_message(harness::screen_state(s.index), {}, kWallTime));
}

void show_by_switch(const Screen& s) {
    MainScreen_SwitchScreen(s.index);
    advance(500);
}

void show_overlay(const Screen&) {
    dispatch(harness::status_message(harness::screen_state(SCREEN_IDLE), {}, kWallTime));
    dispatch(harness::trigger_message("Prompt", {.msg = "1", .percent = "0", .seconds = "0"}));
}

std::vector<Screen> screens() {
    std::vector<Screen> out{{"welcome", show_welcome, SCREEN_WELCOME}};
    for (const harness::ScreenState& s : harness::kScreenStates)
        out.push_back({s.name, show_by_message, s.screen});
    out.push_back({"swiping_card", show_by_switch, SCREEN_SWIPING_CARD});
    out.push_back({"swiping_rfid", show_by_switch, SCREEN_SWIPING_RFID});
    out.push_back({"trigger_overlay", show_overlay, SCREEN_IDLE});
    return out;
}

// The program once per process, as it starts: runtime, BMP decoder, a full-refresh display, manager.
bool bring_up() {
    if (chdir(SD_BUILD_DIR) != 0) { // the asset set lives in the build directory
        std::perror(SD_BUILD_DIR);
        return false;
    }
    msg_pin_now(kWallTime);
    g_disp = app_host_start(320, 240, true);
    if (g_disp == nullptr) return false;
    MainScreen_Init();
    advance(100);
    return true;
}

} // namespace

extern "C" __attribute__((noinline)) void bench_screen_one_frame(lv_disp_t* disp) {
    lv_obj_invalidate(lv_disp_get_scr_act(disp));
    lv_refr_now(disp);
}

static void BM_ScreenFrame(benchmark::State& state, Screen screen) {
    screen.show(screen);
    bench_screen_one_frame(g_disp); // warm-up: pictures decoded, glyphs cached
    for (auto _ : state) bench_screen_one_frame(g_disp);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

int main(int argc, char** argv) {
    const std::vector<Screen> all = screens();
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const Screen& s : all) std::printf("%s\n", s.name.c_str());
        return 0;
    }
    if (!bring_up()) return 1;
    if (argc == 3 && std::strcmp(argv[1], "--one-frame") == 0) {
        for (const Screen& s : all) {
            if (s.name != argv[2]) continue;
            s.show(s);
            bench_screen_one_frame(g_disp); // warm-up
            bench_screen_one_frame(g_disp);
            return 0;
        }
        std::fprintf(stderr, "no screen %s (see --list)\n", argv[2]);
        return 2;
    }
    for (const Screen& s : all) {
        benchmark::RegisterBenchmark(("BM_ScreenFrame/" + s.name).c_str(), BM_ScreenFrame, s)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
