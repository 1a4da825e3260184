#include "fuzz_app.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sanitizer/allocator_interface.h>
#include <unistd.h>

#include "mainscreen.h"
#include "msg/msg.h"

namespace {

constexpr int64_t kWallStart = 1767225600; // 2026-01-01 00:00:00 UTC
constexpr uint32_t kStepMs = 20;
uint64_t g_elapsed_ms = 0; // does not wrap, unlike the tick

} // namespace

void fuzz_app_init(bool screens) {
    if (chdir(SD_FUZZ_ASSETS_DIR) != 0) {
        std::perror(SD_FUZZ_ASSETS_DIR);
        std::abort();
    }
    msg_pin_now(kWallStart);
    app_host_tick_set(UINT32_MAX - 30000);
    if (app_host_start(320, 240, false) == nullptr) {
        std::fprintf(stderr, "cannot register the display\n");
        std::abort();
    }
    if (screens) {
        MainScreen_Init();
        fuzz_app_advance(100);
    }
}

void fuzz_app_advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += kStepMs) {
        g_elapsed_ms += kStepMs;
        msg_pin_now(kWallStart + int64_t(g_elapsed_ms / 1000));
        app_host_run_for(kStepMs);
    }
}

void fuzz_app_check_heap(uint64_t warmup) {
    static uint64_t inputs = 0;
    static size_t warm_peak = 0;
    static const char* mb = std::getenv("FUZZ_HEAP_GROWTH_MB");
    static const uint64_t limit = (mb != nullptr ? std::strtoull(mb, nullptr, 10) : 64) * 1024 * 1024;
    inputs++;
    const size_t live = __sanitizer_get_current_allocated_bytes();
    if ((inputs & (inputs - 1)) == 0 && inputs >= 1024)
        std::fprintf(stderr, "fuzz: %" PRIu64 " inputs, live heap %zu KB\n", inputs, live / 1024);
    if (inputs <= warmup) {
        if (live > warm_peak) warm_peak = live;
        return;
    }
    if (live > warm_peak + limit) {
        std::fprintf(stderr,
                     "fuzz: the live heap grew from %zu KB after %" PRIu64 " inputs to %zu KB after %" PRIu64
                     "\n",
                     warm_peak / 1024, warmup, live / 1024, inputs);
        std::abort();
    }
}
