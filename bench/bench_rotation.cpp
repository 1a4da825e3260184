// Full refresh of a representative frame (black screen, six 36x29 PNG icons with alpha, four
// labels in a 20 px TrueType font, one rounded bordered card) on a panel turned by software, and
// the heap allocations a steady refresh makes (there should be none).
//
//   bench_rotation [benchmark flags]        time per refresh, 320x240 and 1024x600, at 0 and 90 degrees
//   bench_rotation --one-frame WxH ROT      one warm-up refresh, then exactly one refresh inside
//                                           bench_rotation_one_frame() (for callgrind's toggle)
#include <benchmark/benchmark.h>
#include <lodepng.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx_ext.h"
#include "lvgl.h"

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

namespace {

constexpr int kIcons = 6;
constexpr unsigned kIconW = 36, kIconH = 29;

// Icon i: a coloured blob with a soft edge and a translucent notch.
std::string make_icon(int i) {
    std::vector<unsigned char> rgba(kIconW * kIconH * 4);
    const double cx = kIconW / 2.0, cy = kIconH / 2.0, r = 12.0 - i % 3;
    for (unsigned y = 0; y < kIconH; y++) {
        for (unsigned x = 0; x < kIconW; x++) {
            unsigned char* p = &rgba[(y * kIconW + x) * 4];
            const double d = std::hypot((x + 0.5 - cx) * 0.8, y + 0.5 - cy);
            double a = std::clamp(r - d + 0.5, 0.0, 1.0);
            if (y > cy && x % 9 < 2) a *= 0.5;
            p[0] = (unsigned char)(200 - 30 * i);
            p[1] = (unsigned char)(y * 8);
            p[2] = (unsigned char)(50 + 30 * i);
            p[3] = (unsigned char)std::lround(a * 255);
        }
    }
    std::filesystem::create_directories(BENCH_OUT_DIR "/rot_icons");
    const std::string path = std::string(BENCH_OUT_DIR "/rot_icons/icon") + std::to_string(i) + ".png";
    lodepng_encode32_file(path.c_str(), rgba.data(), kIconW, kIconH);
    return "A:" + path;
}

// The runtime and the font come up once per process, as in the program.
lv_font_t* runtime_font() {
    static lv_font_t* font = [] {
        lv_init();
        gfx_virtual_time_enable(0);
        lv_ft_info_t info{};
        info.name = SD_NODE_MODULES "/@expo-google-fonts/montserrat/400Regular/Montserrat_400Regular.ttf";
        info.weight = 20;
        info.style = FT_FONT_STYLE_NORMAL;
        return lv_ft_font_init(&info) ? info.font : nullptr;
    }();
    return font;
}

struct Frame {
    lv_disp_t* disp = nullptr;
    std::vector<std::string> icons;

    // A panel of w x h turned by `rot`; the scene is laid out on the turned resolution.
    bool open(lv_coord_t w, lv_coord_t h, lv_disp_rot_t rot) {
        lv_font_t* font = runtime_font();
        if (font == nullptr) return false;
        disp = gfx_mem_display_create(w, h, 0, false);
        if (disp == nullptr) return false;
        gfx_disp_get_drv(disp)->sw_rotate = 1;
        lv_disp_set_rotation(disp, rot);
        const lv_coord_t lw = lv_disp_get_hor_res(disp);
        const lv_coord_t lh = lv_disp_get_ver_res(disp);

        lv_obj_t* scr = lv_disp_get_scr_act(disp);
        lv_obj_set_style_bg_color(scr, lv_color_black(), 0);
        for (int i = 0; i < kIcons; i++) {
            icons.push_back(make_icon(i));
            lv_obj_t* img = lv_img_create(scr);
            lv_img_set_src(img, icons.back().c_str());
            lv_obj_set_pos(img, (lv_coord_t)(10 + i * (lw - 20 - kIconW) / (kIcons - 1)), 8);
        }
        const char* texts[] = {"Charging", "22.5 kW", "01h 23m 45s", "Plug in the cable"};
        for (int i = 0; i < 4; i++) {
            lv_obj_t* l = lv_label_create(scr);
            lv_label_set_text(l, texts[i]);
            lv_obj_set_style_text_font(l, font, 0);
            lv_obj_set_style_text_color(l, lv_color_white(), 0);
            lv_obj_set_pos(l, 12, (lv_coord_t)(48 + i * 28));
        }
        lv_obj_t* card = lv_obj_create(scr);
        lv_obj_set_size(card, (lv_coord_t)(lw * 6 / 10), (lv_coord_t)(lh * 35 / 100));
        lv_obj_align(card, LV_ALIGN_BOTTOM_MID, 0, -8);
        lv_refr_now(disp); // decodes the icons, fills the glyph cache, sizes the rotation buffer
        return true;
    }

    void close() {
        if (disp != nullptr) gfx_mem_display_delete(disp);
        disp = nullptr;
    }
};

} // namespace

extern "C" __attribute__((noinline)) void bench_rotation_one_frame(lv_disp_t* disp) {
    lv_obj_invalidate(lv_disp_get_scr_act(disp));
    lv_refr_now(disp);
}

static void BM_Refresh(benchmark::State& state) {
    Frame f;
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
        Frame f;
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
