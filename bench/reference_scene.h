// The reference scene the render benchmarks draw: a black screen, six 36x29 PNG icons with alpha,
// four labels in a 20 px TrueType font and one rounded bordered card, on a memory display.
#pragma once

#include <lodepng.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx_ext.h"
#include "lvgl.h"

namespace bench {

constexpr int kIcons = 6;
constexpr unsigned kIconW = 36, kIconH = 29;

// Icon i: a coloured rounded blob with a soft edge and a translucent notch, so rows mix opaque,
// translucent and empty pixels as real icons do. Written once as a PNG file under the build folder.
inline std::string make_icon(int i) {
    std::vector<unsigned char> rgba(kIconW * kIconH * 4);
    const double cx = kIconW / 2.0, cy = kIconH / 2.0, r = 13.0 - i % 3;
    for (unsigned y = 0; y < kIconH; y++) {
        for (unsigned x = 0; x < kIconW; x++) {
            unsigned char* p = &rgba[(y * kIconW + x) * 4];
            const double d = std::hypot((x + 0.5 - cx) * 0.8, y + 0.5 - cy);
            double a = std::clamp(r - d + 0.5, 0.0, 1.0);
            if (std::abs((int)x - (int)cx) < 3 && y < cy) a *= 0.25;
            p[0] = (unsigned char)(40 * i + 30);
            p[1] = (unsigned char)(200 - 25 * i);
            p[2] = (unsigned char)(x * 7);
            p[3] = (unsigned char)std::lround(a * 255);
        }
    }
    std::filesystem::create_directories(BENCH_OUT_DIR "/icons");
    const std::string path = std::string(BENCH_OUT_DIR "/icons/icon") + std::to_string(i) + ".png";
    lodepng_encode32_file(path.c_str(), rgba.data(), kIconW, kIconH);
    return "A:" + path;
}

// The runtime and the font come up once per process, as in the program; each scene gets its own
// display.
inline lv_font_t* runtime_font() {
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

struct ReferenceScene {
    lv_disp_t* disp = nullptr;
    std::vector<std::string> icons;

    // A panel of w x h, turned by software when `rot` is not 0; the scene is laid out on the
    // resolution the display reports. Renders one warm-up frame, which decodes the icons, fills the
    // glyph cache and sizes the rotation buffer.
    bool open(lv_coord_t w, lv_coord_t h, lv_disp_rot_t rot = LV_DISP_ROT_NONE) {
        lv_font_t* font = runtime_font();
        if (font == nullptr) return false;
        disp = gfx_mem_display_create(w, h, 0, false);
        if (disp == nullptr) return false;
        if (rot != LV_DISP_ROT_NONE) {
            gfx_disp_get_drv(disp)->sw_rotate = 1;
            lv_disp_set_rotation(disp, rot);
        }
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
        lv_refr_now(disp);
        return true;
    }

    void close() {
        if (disp != nullptr) gfx_mem_display_delete(disp);
        disp = nullptr;
    }
};

} // namespace bench
