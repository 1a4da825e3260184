// Renders the reference scene by invalidating the screen and refreshing.
//
//   bench_render [benchmark flags]         time per frame at 320x240 and 1024x600
//   bench_render --one-frame WxH           renders a warm-up frame, then exactly one frame inside
//                                          bench_render_one_frame() (for callgrind's toggle)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "reference_scene.h"

using bench::ReferenceScene;

extern "C" __attribute__((noinline)) void bench_render_one_frame(lv_disp_t* disp) {
    lv_obj_invalidate(lv_disp_get_scr_act(disp));
    lv_refr_now(disp);
}

static void BM_RenderFrame(benchmark::State& state) {
    ReferenceScene f;
    if (!f.open((lv_coord_t)state.range(0), (lv_coord_t)state.range(1))) {
        state.SkipWithError("cannot set up the frame (font missing?)");
        f.close();
        return;
    }
    for (auto _ : state) bench_render_one_frame(f.disp);
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    f.close();
}
BENCHMARK(BM_RenderFrame)->Args({320, 240})->Args({1024, 600})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--one-frame") == 0) {
        int w = 0, h = 0;
        if (std::sscanf(argv[2], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) return 2;
        ReferenceScene f;
        bool ok = f.open((lv_coord_t)w, (lv_coord_t)h);
        if (ok) bench_render_one_frame(f.disp); // open() already rendered a warm-up frame
        f.close();
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
