// Renders a representative frame (black screen, six 36x29 PNG icons with alpha, four labels in a
// 20 px TrueType font, one rounded bordered card) by invalidating the screen and refreshing.
//
//   bench_render [benchmark flags]         time per frame at 320x240 and 1024x600
//   bench_render --one-frame WxH           renders a warm-up frame, then exactly one frame inside
//                                          bench_render_one_frame() (for callgrind's toggle)
#include <benchmark/benchmark.h>
#include <lodepng.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx_ext.h"
#include "lvgl.h"

namespace {

constexpr int kIcons = 6;
constexpr unsigned kIconW = 36, kIconH = 29;

// Icon i: a coloured rounded blob with a soft edge and a transparent notch, so rows mix opaque,
// translucent and empty pixels as real icons do.
std::string make_icon(int i) {
    std::vector<unsigned char> rgba(kIconW * kIconH * 4);
    const double cx = kIconW / 2.0, cy = kIconH / 2.0, r = 13.0 - i % 3;
    for (unsigned y = 0; y < kIconH; y++) {
        for (unsigned x = 0; x < kIconW; x++) {
            unsigned char* p = &rgba[(y * kIconW + x) * 4];
            double d = std::hypot((x + 0.5 - cx) * 0.8, y + 0.5 - cy);
            double a = std::clamp(r - d + 0.5, 0.0, 1.0);
            if (std::abs((int)x - (int)cx) < 3 && y < cy) a *= 0.25;
            p[0] = (unsigned char)(40 * i + 30);
            p[1] = (unsigned char)(200 - 25 * i);
            p[2] = (unsigned char)(x * 7);
            p[3] = (unsigned char)std::lround(a * 255);
        }
    }
    std::filesystem::create_directories(BENCH_OUT_DIR "/icons");
    std::string path = std::string(BENCH_OUT_DIR "/icons/icon") + std::to_string(i) + ".png";
    lodepng_encode32_file(path.c_str(), rgba.data(), kIconW, kIconH);
    return "A:" + path;
}

// The runtime and the font are brought up once per process, as the program does; each benchmark
// run gets its own display.
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

    bool open(lv_coord_t w, lv_coord_t h) {
        lv_font_t* font = runtime_font();
        if (font == nullptr) return false;
        disp = gfx_mem_display_create(w, h, 0, false);
        if (disp == nullptr) return false;

        lv_obj_t* scr = lv_disp_get_scr_act(disp);
        lv_obj_set_style_bg_color(scr, lv_color_black(), 0);
        for (int i = 0; i < kIcons; i++) {
            icons.push_back(make_icon(i));
            lv_obj_t* img = lv_img_create(scr);
            lv_img_set_src(img, icons.back().c_str());
            lv_obj_set_pos(img, (lv_coord_t)(10 + i * (w - 20 - kIconW) / (kIcons - 1)), 8);
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
        lv_obj_set_size(card, (lv_coord_t)(w * 6 / 10), (lv_coord_t)(h * 35 / 100));
        lv_obj_align(card, LV_ALIGN_BOTTOM_MID, 0, -8);
        lv_refr_now(disp); // decodes the icons and fills the glyph cache
        return true;
    }

    void close() {
        if (disp != nullptr) gfx_mem_display_delete(disp);
        disp = nullptr;
    }
};

} // namespace

extern "C" __attribute__((noinline)) void bench_render_one_frame(lv_disp_t* disp) {
    lv_obj_invalidate(lv_disp_get_scr_act(disp));
    lv_refr_now(disp);
}

static void BM_RenderFrame(benchmark::State& state) {
    Frame f;
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
        Frame f;
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
