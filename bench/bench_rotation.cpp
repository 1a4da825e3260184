// Full refresh of the reference scene on a panel turned by software, and the heap allocations a
// steady refresh makes (there should be none).
//
//   bench_rotation [benchmark flags]        time per refresh, 320x240 and 1024x600, at 0 and 90 degrees
//   bench_rotation --one-frame WxH ROT      one warm-up refresh, then exactly one refresh inside
//                                           bench_rotation_one_frame() (for callgrind's toggle)
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "reference_scene.h"

// Every heap allocation of the process goes through here and is counted. Sanitizers bring their
// own allocator, so there the count stays 0 and is reported as unavailable.
namespace {
std::atomic<uint64_t> g_allocs{0};
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kCountingAllocs = false;
#else
constexpr bool kCountingAllocs = true;
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t align, size_t size);
void __libc_free(void* p);

void* malloc(size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
void* memalign(size_t align, size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
int posix_memalign(void** out, size_t align, size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    *out = __libc_memalign(align, size);
    return *out != nullptr ? 0 : 12; // ENOMEM
}
void* aligned_alloc(size_t align, size_t size) {
    g_allocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
void free(void* p) {
    __libc_free(p);
}
}
#endif

using bench::ReferenceScene;

extern "C" __attribute__((noinline)) void bench_rotation_one_frame(lv_disp_t* disp) {
    lv_obj_invalidate(lv_disp_get_scr_act(disp));
    lv_refr_now(disp);
}

static void BM_Refresh(benchmark::State& state) {
    ReferenceScene f;
    const auto rot = (lv_disp_rot_t)(state.range(2) / 90);
    if (!f.open((lv_coord_t)state.range(0), (lv_coord_t)state.range(1), rot)) {
        state.SkipWithError("cannot set up the frame (font missing?)");
        f.close();
        return;
    }
    // The mem display records every flush; keep that list from growing during the run.
    gfx_mem_display_clear_flushes(f.disp);
    bench_rotation_one_frame(f.disp);
    gfx_mem_display_clear_flushes(f.disp);

    uint64_t allocs = 0;
    for (auto _ : state) {
        const uint64_t before = g_allocs.load(std::memory_order_relaxed);
        bench_rotation_one_frame(f.disp);
        allocs += g_allocs.load(std::memory_order_relaxed) - before;
        gfx_mem_display_clear_flushes(f.disp); // keeps its capacity: no allocation
    }
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    state.counters["allocs/frame"] =
        kCountingAllocs ? (double)allocs / (double)state.iterations() : std::nan("");
    f.close();
}
BENCHMARK(BM_Refresh)
    ->ArgNames({"w", "h", "deg"})
    ->Args({320, 240, 0})
    ->Args({320, 240, 90})
    ->Args({1024, 600, 0})
    ->Args({1024, 600, 90})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--one-frame") == 0) {
        int w = 0, h = 0;
        const int deg = std::atoi(argv[3]);
        if (std::sscanf(argv[2], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || deg % 90 != 0) return 2;
        ReferenceScene f;
        const bool ok = f.open((lv_coord_t)w, (lv_coord_t)h, (lv_disp_rot_t)((deg / 90) % 4));
        if (ok) {
            gfx_mem_display_clear_flushes(f.disp); // its record keeps room for a frame's flushes
            const uint64_t before = g_allocs.load();
            bench_rotation_one_frame(f.disp);
            const uint64_t during = g_allocs.load() - before;
            if (kCountingAllocs) {
                std::printf("allocations: %llu while setting up, %llu in the frame\n",
                            (unsigned long long)before, (unsigned long long)during);
            }
        }
        f.close();
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
