// status-display-scene-diff: draws random scenes made of what the status display uses (plain objects
// with sizes, positions, alignments and LV_SIZE_CONTENT, the theme's and local styles, labels in every
// long mode with recolouring in the built-in and TrueType fonts, PNG and BMP pictures, hidden objects,
// the top layer) on a 320 x 240 memory display. It uses only the LVGL API, so it builds against our
// runtime and against LVGL 8.3 itself; scripts/compare-lvgl runs both over the same seeds. Translucent
// text and unreadable picture files are left out: there our runtime differs on purpose (README).
//
//   status-display-scene-diff [--assets DIR] OUT_DIR FIRST_SEED COUNT
//     --assets DIR  directory that holds qorv_lvgl/ (default: the working directory)
//   Writes OUT_DIR/<seed>.png for every scene and a line "<seed> <checksum>" to OUT_DIR/checksums.txt;
//   the BMP pictures it draws are written to OUT_DIR/bmp/ first. The log goes to standard output.
//   Exit status: 0 done, 1 a file could not be written, 2 bad arguments.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lodepng.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app_host.h"
#include "lvgl.h"

namespace {

constexpr lv_coord_t kW = 320, kH = 240;
constexpr size_t kPixels = size_t(kW) * kH;

// splitmix64: the same numbers on every platform and runtime.
struct Rng {
    uint64_t s;
    uint32_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return uint32_t((z ^ (z >> 31)) >> 32);
    }
    int range(int lo, int hi) { return lo + int(next() % uint32_t(hi - lo + 1)); } // lo..hi
    bool chance(int percent) { return int(next() % 100) < percent; }
    template <typename T, size_t N> const T& pick(const T (&items)[N]) { return items[next() % N]; }
};

// Uncompressed BMP files of 8, 16 (stored top-down), 24 and 32 bits per pixel, in odd sizes.
bool write_bmp(const std::string& path, int w, int h, int bpp) {
    const uint32_t row = uint32_t((w * bpp + 31) / 32 * 4);
    std::vector<uint8_t> f(54 + row * uint32_t(h), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) f[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(bpp == 16 ? -h : h));
    f[26] = 1;
    f[28] = uint8_t(bpp);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const uint8_t r = uint8_t(x * 255 / w), g = uint8_t(y * 255 / h), b = uint8_t((x + y) * 7);
            uint8_t* p = &f[54 + row * uint32_t(y) + uint32_t(x * bpp / 8)];
            if (bpp == 8) p[0] = uint8_t((r + g) / 2);
            if (bpp == 16) {
                const uint16_t v = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
                p[0] = uint8_t(v);
                p[1] = uint8_t(v >> 8);
            }
            if (bpp >= 24) p[0] = b, p[1] = g, p[2] = r;
            if (bpp == 32) p[3] = uint8_t(x * 255 / (w - 1));
        }
    }
    FILE* out = fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool ok = fwrite(f.data(), 1, f.size(), out) == f.size();
    return fclose(out) == 0 && ok;
}

struct Assets {
    std::vector<std::string> pictures; // "A:" paths
    std::vector<const lv_font_t*> fonts;
    size_t ascii_fonts = 1; // the first ones draw ASCII only (the built-in font)
};

const char* const kAsciiTexts[] = {
    "Text",
    "Charging",
    "22.5 kW",
    "100%",
    "12:34",
    "Hello world foo",
    "Supercalifragilistic",
    "abc,def.ghi-jkl",
    "Text Text",
    "Plug in the cable to start charging",
    "Line one\nLine two\nthree",
    "",
    "ab #ff0000 red# cd",
    "x #12 y# z",
    "x ## y",
    "#00ff00 Go# on, #0000ff a#b c",
    "50# off",
    "Temp 21\xC2\xB0"
    "C",
    "Session 01h 23m 45s - please wait while the station checks the car",
};
const char* const kWideTexts[] = {
    "Ladestecker verbinden",
    "\xCE\x9A\xCE\xB1\xCE\xBB\xCF\x8E\xCF\x82 \xCE\xAE\xCF\x81\xCE\xB8\xCE\xB1\xCF\x84\xCE\xB5",
    "\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB8\xD1\x82\xD0\xB5 "
    "\xD0\xBA\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xBB\xD1\x8C",
    "Caf\xC3\xA9 \xC3\xA0 #ff8000 l'\xC3\xA9t\xC3\xA9# na\xC3\xAFve",
};
const lv_align_t kAligns[] = {
    LV_ALIGN_DEFAULT,    LV_ALIGN_TOP_LEFT,     LV_ALIGN_TOP_MID,  LV_ALIGN_TOP_RIGHT, LV_ALIGN_BOTTOM_LEFT,
    LV_ALIGN_BOTTOM_MID, LV_ALIGN_BOTTOM_RIGHT, LV_ALIGN_LEFT_MID, LV_ALIGN_RIGHT_MID, LV_ALIGN_CENTER};
const lv_opa_t kOpas[] = {LV_OPA_TRANSP, LV_OPA_20, LV_OPA_50, 128, LV_OPA_80, LV_OPA_COVER, LV_OPA_COVER};
const lv_border_side_t kSides[] = {LV_BORDER_SIDE_FULL, LV_BORDER_SIDE_NONE, LV_BORDER_SIDE_BOTTOM,
                                   LV_BORDER_SIDE_TOP | LV_BORDER_SIDE_LEFT, LV_BORDER_SIDE_RIGHT};
const lv_text_align_t kTextAligns[] = {LV_TEXT_ALIGN_AUTO, LV_TEXT_ALIGN_LEFT, LV_TEXT_ALIGN_CENTER,
                                       LV_TEXT_ALIGN_RIGHT};
const lv_label_long_mode_t kLongModes[] = {LV_LABEL_LONG_WRAP, LV_LABEL_LONG_SCROLL_CIRCULAR,
                                           LV_LABEL_LONG_CLIP};

lv_color_t random_color(Rng& r) {
    return lv_color_hex(r.next() & 0xFFFFFF);
}

lv_coord_t random_size(Rng& r, int max) {
    return r.chance(35) ? LV_SIZE_CONTENT : lv_coord_t(r.range(0, max));
}

void place(Rng& r, lv_obj_t* obj) {
    lv_obj_set_size(obj, random_size(r, 220), random_size(r, 160));
    if (r.chance(20)) {
        lv_obj_set_pos(obj, lv_coord_t(r.range(-40, 260)), lv_coord_t(r.range(-40, 200)));
    } else {
        lv_obj_align(obj, r.pick(kAligns), lv_coord_t(r.range(-80, 80)), lv_coord_t(r.range(-60, 60)));
    }
}

void style_box(Rng& r, lv_obj_t* obj) {
    constexpr lv_style_selector_t kMain = LV_PART_MAIN | LV_STATE_DEFAULT;
    if (r.chance(60)) lv_obj_set_style_bg_color(obj, random_color(r), kMain);
    if (r.chance(50)) lv_obj_set_style_bg_opa(obj, r.pick(kOpas), kMain);
    if (r.chance(50)) lv_obj_set_style_border_width(obj, lv_coord_t(r.range(0, 5)), kMain);
    if (r.chance(40)) lv_obj_set_style_border_color(obj, random_color(r), kMain);
    if (r.chance(30)) lv_obj_set_style_border_opa(obj, r.pick(kOpas), kMain);
    if (r.chance(30)) lv_obj_set_style_border_side(obj, r.pick(kSides), kMain);
    if (r.chance(50))
        lv_obj_set_style_radius(obj, r.chance(15) ? LV_RADIUS_CIRCLE : lv_coord_t(r.range(0, 25)), kMain);
    if (r.chance(50)) lv_obj_set_style_pad_all(obj, lv_coord_t(r.range(0, 16)), kMain);
}

void style_text(Rng& r, lv_obj_t* label, const Assets& a) {
    constexpr lv_style_selector_t kMain = LV_PART_MAIN | LV_STATE_DEFAULT;
    const size_t font = r.next() % a.fonts.size();
    if (font > 0 || r.chance(50)) lv_obj_set_style_text_font(label, a.fonts[font], kMain);
    if (r.chance(60)) lv_obj_set_style_text_color(label, random_color(r), kMain);
    if (r.chance(60)) lv_obj_set_style_text_align(label, r.pick(kTextAligns), kMain);
    const bool wide = font >= a.ascii_fonts && r.chance(40);
    lv_label_set_recolor(label, r.chance(50));
    lv_label_set_long_mode(label, r.pick(kLongModes));
    lv_label_set_text(label, wide ? r.pick(kWideTexts) : r.pick(kAsciiTexts));
}

// One scene on a fresh screen; the previous screen and the top layer's children go.
void build_scene(uint32_t seed, const Assets& a) {
    Rng r{seed * 0x2545F4914F6CDD1Dull + 1};
    lv_obj_t* old = lv_scr_act();
    lv_obj_t* scr = lv_obj_create(nullptr);
    if (r.chance(50)) lv_obj_set_style_bg_color(scr, random_color(r), LV_PART_MAIN | LV_STATE_DEFAULT);
    if (r.chance(50)) lv_obj_clear_flag(scr, LV_OBJ_FLAG_SCROLLABLE);
    lv_disp_load_scr(scr);
    lv_obj_del(old);
    lv_obj_clean(lv_layer_top());

    std::vector<lv_obj_t*> boxes{scr};
    const int count = r.range(2, 14);
    for (int i = 0; i < count; i++) {
        lv_obj_t* parent = r.chance(12) ? lv_layer_top() : boxes[r.next() % boxes.size()];
        lv_obj_t* obj = nullptr;
        const int kind = r.range(0, 9);
        if (kind < 4) {
            obj = lv_obj_create(parent);
            style_box(r, obj);
            if (r.chance(60)) lv_obj_clear_flag(obj, LV_OBJ_FLAG_SCROLLABLE);
            boxes.push_back(obj);
        } else if (kind < 8) {
            obj = lv_label_create(parent);
            style_text(r, obj, a);
        } else {
            obj = lv_img_create(parent);
            lv_img_set_src(obj, a.pictures[r.next() % a.pictures.size()].c_str());
            lv_obj_clear_flag(obj, LV_OBJ_FLAG_SCROLLABLE);
        }
        place(r, obj);
        if (r.chance(10)) lv_obj_add_flag(obj, LV_OBJ_FLAG_HIDDEN);
    }
}

// FNV-1a over the frame's red, green and blue bytes.
uint64_t checksum() {
    uint64_t h = 0xCBF29CE484222325ull;
    const lv_color_t* frame = app_host_frame();
    for (size_t i = 0; i < kPixels; i++) {
        for (uint8_t b : {frame[i].ch.red, frame[i].ch.green, frame[i].ch.blue})
            h = (h ^ b) * 0x100000001B3ull;
    }
    return h;
}

bool save_png(const std::string& path) {
    std::vector<unsigned char> rgb;
    rgb.reserve(kPixels * 3);
    const lv_color_t* frame = app_host_frame();
    for (size_t i = 0; i < kPixels; i++)
        rgb.insert(rgb.end(), {frame[i].ch.red, frame[i].ch.green, frame[i].ch.blue});
    return lodepng::encode(path, rgb, unsigned(kW), unsigned(kH), LCT_RGB, 8) == 0;
}

int usage() {
    fprintf(stderr, "usage: status-display-scene-diff [--assets DIR] OUT_DIR FIRST_SEED COUNT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string assets = ".";
    int i = 1;
    if (argc > 2 && strcmp(argv[1], "--assets") == 0) {
        assets = argv[2];
        i = 3;
    }
    if (argc - i != 3) return usage();
    const std::string out = argv[i];
    char* end = nullptr;
    const unsigned long first = strtoul(argv[i + 1], &end, 10);
    if (*end != '\0') return usage();
    const unsigned long count = strtoul(argv[i + 2], &end, 10);
    if (*end != '\0') return usage();

    Assets a;
    mkdir(out.c_str(), 0755);
    mkdir((out + "/bmp").c_str(), 0755);
    for (int bpp : {8, 16, 24, 32}) {
        const std::string path = out + "/bmp/gradient" + std::to_string(bpp) + ".bmp";
        if (!write_bmp(path, 37 + bpp / 8, 23 + bpp / 4, bpp)) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        a.pictures.push_back("A:" + path);
    }
    const std::string img = "A:" + assets + "/qorv_lvgl/assets/img/";
    for (const char* p :
         {"misc_icon/plug_in.png", "misc_icon/red_triangle_exclaim.png", "misc_icon/green_hook.png",
          "misc_icon/welcome.png", "statusbar_icon/wifi_on.png", "statusbar_icon/4g_err.png"}) {
        a.pictures.push_back(img + p);
    }

    app_host_start(kW, kH, false);

    a.fonts.push_back(LV_FONT_DEFAULT);
    const std::string font_dir = assets + "/qorv_lvgl/assets/font/";
    static std::vector<std::string> font_paths;
    struct FontFile {
        const char* file;
        uint16_t size;
    };
    for (FontFile f : {FontFile{"HarmonyOS_Sans_Regular.ttf", 12},
                       {"HarmonyOS_Sans_Regular.ttf", 16},
                       {"HarmonyOS_Sans_Regular.ttf", 20},
                       {"HarmonyOS_Sans_Regular.ttf", 40},
                       {"UbuntuMono-B.ttf", 9},
                       {"UbuntuMono-B.ttf", 18},
                       {"UbuntuMono-B.ttf", 30}}) {
        lv_ft_info_t info{};
        font_paths.push_back(font_dir + f.file);
        info.name = font_paths.back().c_str();
        info.weight = f.size;
        info.style = FT_FONT_STYLE_NORMAL;
        if (lv_ft_font_init(&info)) a.fonts.push_back(info.font);
    }
    if (a.fonts.size() == 1)
        fprintf(stderr, "no TrueType fonts in %s: scenes use the built-in font only\n", font_dir.c_str());

    const std::string sums_path = out + "/checksums.txt";
    FILE* sums = fopen(sums_path.c_str(), "w");
    if (sums == nullptr) {
        fprintf(stderr, "cannot write %s\n", sums_path.c_str());
        return 1;
    }
    for (unsigned long seed = first; seed < first + count; seed++) {
        // The previous scene goes first and a quiet second follows, so no timer or animation of it reaches
        // into this one: a scene depends on its seed alone.
        lv_obj_clean(lv_scr_act());
        lv_obj_clean(lv_layer_top());
        app_host_tick_set(app_host_tick() + 1000);
        lv_timer_handler();
        build_scene(uint32_t(seed), a);
        app_host_run_for(20 + uint32_t(seed % 97) * 20);
        const std::string png = out + "/" + std::to_string(seed) + ".png";
        if (!save_png(png)) {
            fprintf(stderr, "cannot write %s\n", png.c_str());
            return 1;
        }
        fprintf(sums, "%lu %016llx\n", seed, (unsigned long long)checksum());
    }
    return fclose(sums) == 0 ? 0 : 1;
}
