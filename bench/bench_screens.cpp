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
#include <cjson/cJSON.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "e2e_bad_input.h"
#include "gfx_ext.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "msg/msg.h"
#include "my_lib/my_bmp.h"

namespace {

constexpr int64_t kWallTime = 1767225600; // 2026-01-01 00:00:00 UTC
uint32_t g_tick = 0;
lv_disp_t* g_disp = nullptr;

void advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 20) {
        g_tick += 20;
        lv_timer_handler();
    }
}

void dispatch(const std::string& json) {
    cJSON* root = cJSON_Parse(json.c_str());
    MainScreen_SetData(root);
    cJSON_Delete(root);
    advance(500);
}

struct Screen {
    std::string name;
    void (*show)(const Screen&);
    int index;
};

void show_welcome(const Screen&) {}

void show_by_message(const Screen& s) {
    for (const e2e::ScreenState& state : e2e::c_screen_states) {
        if (state.screen == s.index) dispatch(e2e::full_status(state, e2e::StatusFields{}, kWallTime));
    }
}

void show_by_switch(const Screen& s) {
    MainScreen_SwitchScreen(s.index);
    advance(500);
}

void show_overlay(const Screen&) {
    dispatch(e2e::full_status(e2e::c_screen_states[0], e2e::StatusFields{}, kWallTime));
    dispatch(e2e::full_trigger("Prompt", "0", "0", "1"));
}

std::vector<Screen> screens() {
    std::vector<Screen> out{{"welcome", show_welcome, SCREEN_WELCOME}};
    for (const e2e::ScreenState& s : e2e::c_screen_states) out.push_back({s.name, show_by_message, s.screen});
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
    lv_init();
    my_bmp_init();
    g_disp = gfx_mem_display_create(320, 240, 0, true);
    if (g_disp == nullptr) return false;
    MainScreen_Init();
    advance(100);
    return true;
}

} // namespace

extern "C" uint32_t custom_tick_get(void) {
    return g_tick;
}

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
