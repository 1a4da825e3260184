// Widget benchmarks: one GIF frame step (decode and compose the next frame, then redraw the widget)
// and one QR code update of 100 bytes at size 100 (encode and draw into the widget's canvas).
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <string>
#include <vector>

#include "gfx_ext.h"
#include "lvgl.h"

namespace {

int write_to_vector(GifFileType* gif, const GifByteType* buf, int len) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + len);
    return len;
}

// A 46 x 98 animation like the charging battery: six full, opaque frames of 16 colours in bands that
// shift from frame to frame, no delay, looping forever.
std::vector<uint8_t> make_battery_like_gif() {
    constexpr int w = 46, h = 98, frames = 6;
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, write_to_vector, &err);
    if (gif == nullptr) return out;
    EGifSetGifVersion(gif, true);
    GifColorType colors[16];
    for (int i = 0; i < 16; i++)
        colors[i] = {(GifByteType)(i * 16), (GifByteType)(255 - i * 16), (GifByteType)(i * 5)};
    ColorMapObject* map = GifMakeMapObject(16, colors);
    EGifPutScreenDesc(gif, w, h, 8, 0, map);
    GifFreeMapObject(map);
    const uint8_t loop[3] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    std::vector<GifPixelType> line(w);
    for (int f = 0; f < frames; f++) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, (int)EGifGCBToExtension(&gcb, ext), ext);
        EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) line[x] = (GifPixelType)(((y + f * 8) / 6 + x / 12) % 16);
            EGifPutLine(gif, line.data(), w);
        }
    }
    EGifCloseFile(gif, &err);
    return out;
}

struct Runtime {
    lv_disp_t* disp = nullptr;
    Runtime() {
        lv_init();
        gfx_virtual_time_enable(0);
        disp = gfx_mem_display_create(320, 240, 0, false);
    }
    ~Runtime() {
        gfx_deinit();
        gfx_virtual_time_disable();
    }
};

void BM_GifFrameStep(benchmark::State& state) {
    Runtime rt;
    const std::vector<uint8_t> bytes = make_battery_like_gif();
    const lv_img_dsc_t src = {{}, (uint32_t)bytes.size(), bytes.data()};
    lv_obj_t* gif = lv_gif_create(lv_scr_act());
    lv_gif_set_src(gif, &src);
    lv_obj_center(gif);
    lv_refr_now(rt.disp);
    if (lv_obj_get_width(gif) != 46) state.SkipWithError("the GIF did not load");

    // Frames have no delay: every 10 ms timer run shows the next one.
    for (auto _ : state) {
        gfx_virtual_time_advance(10);
        lv_timer_handler();
        lv_refr_now(rt.disp);
    }
}
BENCHMARK(BM_GifFrameStep)->Unit(benchmark::kMicrosecond);

void BM_QrUpdate100Bytes(benchmark::State& state) {
    Runtime rt;
    lv_obj_t* qr = lv_qrcode_create(lv_scr_act(), 100, lv_color_black(), lv_color_white());
    std::string text;
    for (int i = 0; i < 100; i++) text += (char)('a' + i % 26);
    for (auto _ : state) {
        text[0] = (char)('A' + (text[0] + 1) % 26); // a new text every time
        if (lv_qrcode_update(qr, text.data(), (uint32_t)text.size()) != LV_RES_OK) {
            state.SkipWithError("update failed");
            break;
        }
    }
}
BENCHMARK(BM_QrUpdate100Bytes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
