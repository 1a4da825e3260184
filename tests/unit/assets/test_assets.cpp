// The asset set made by the build: every file the screens load, at the size of the widget that shows it.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <lodepng.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The tests run in <build>/tests; the build writes the set to <build>/qorv_lvgl/assets.
fs::path asset_dir() {
    for (const char* dir : {"qorv_lvgl/assets", "../qorv_lvgl/assets"})
        if (fs::is_directory(dir)) return dir;
    return "../qorv_lvgl/assets";
}

std::vector<unsigned char> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How a picture reads on the black screen, judged by the mean colour of its visible pixels.
enum class Tone { Any, White, Red, Green, Grey, Dim };

struct Picture {
    std::string file; // below img/
    unsigned width;
    unsigned height;
    Tone tone;
    bool opaque; // covers its whole widget; otherwise the corners are transparent
};

std::vector<Picture> all_pictures() {
    std::vector<Picture> pictures = {
        {"misc_icon/welcome.png", 320, 240, Tone::Any, true},
        {"misc_icon/plug_in.png", 270, 80, Tone::Any, false},
        {"misc_icon/charge_suspend.png", 100, 120, Tone::Any, false},
        {"misc_icon/fast_charge_suspend.png", 110, 120, Tone::Any, false},
        {"misc_icon/swap_card.png", 100, 80, Tone::White, false},
        {"misc_icon/red_triangle_exclaim.png", 60, 60, Tone::Red, false},
        {"misc_icon/red_exclaim.png", 62, 63, Tone::Red, false},
        {"misc_icon/gray_clock.png", 65, 65, Tone::Grey, false},
        {"misc_icon/gray_download.png", 60, 60, Tone::Grey, false},
        {"misc_icon/gray_auto_upgrade.png", 60, 60, Tone::Grey, false},
        {"misc_icon/validate_fail.png", 60, 60, Tone::Red, false},
        {"misc_icon/red_fill_X.png", 60, 60, Tone::Red, false},
        {"misc_icon/red_fill_exclaim.png", 60, 60, Tone::Red, false},
        {"misc_icon/red_X.png", 60, 60, Tone::Red, false},
        {"misc_icon/green_hook.png", 60, 60, Tone::Green, false},
        {"misc_icon/gray_stop.png", 60, 60, Tone::Grey, false},
        {"misc_icon/plug_in_out/gun.png", 64, 64, Tone::White, false},
        {"misc_icon/plug_in_out/left_arrow.png", 48, 48, Tone::Green, false},
        {"misc_icon/plug_in_out/plug.png", 64, 64, Tone::White, false},
    };
    // Status bar: prefix + state, on white, error red, off dark grey.
    const std::array<std::pair<const char*, Tone>, 3> states = {
        {{"on", Tone::White}, {"err", Tone::Red}, {"off", Tone::Dim}}};
    for (const char* prefix : {"online_", "rf_", "eth_", "ammeter_", "wifi_", "4g_"})
        for (const auto& [state, tone] : states)
            pictures.push_back(
                {std::string("statusbar_icon/") + prefix + state + ".png", 36, 29, tone, false});
    return pictures;
}

const char* tone_name(Tone tone) {
    constexpr const char* names[] = {"any", "white", "red", "green", "grey", "dark grey"};
    return names[static_cast<int>(tone)];
}

struct Mean {
    double r = 0, g = 0, b = 0;
};

bool neutral(const Mean& m) {
    return std::max({m.r, m.g, m.b}) - std::min({m.r, m.g, m.b}) < 24;
}

bool has_tone(const Mean& m, Tone tone) {
    const double grey = (m.r + m.g + m.b) / 3;
    switch (tone) {
    case Tone::Any:
        return true;
    case Tone::White:
        return std::min({m.r, m.g, m.b}) > 200;
    case Tone::Red:
        return m.r > 180 && m.g < 0.6 * m.r && m.b < 0.6 * m.r;
    case Tone::Green:
        return m.g > 150 && m.r < 0.6 * m.g && m.b < 0.6 * m.g;
    case Tone::Grey:
        return neutral(m) && grey >= 130 && grey <= 210;
    case Tone::Dim:
        return neutral(m) && grey >= 64 && grey < 130;
    }
    return false;
}

// Checks one picture; a failed assertion ends the check of this picture only.
void check_picture(const fs::path& path, const Picture& p) {
    ASSERT_TRUE(fs::is_regular_file(path)) << path << " is missing";
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::load_file(png, path.string()), 0u);
    lodepng::State state;
    std::vector<unsigned char> rgba;
    unsigned w = 0, h = 0;
    const unsigned err = lodepng::decode(rgba, w, h, state, png);
    ASSERT_EQ(err, 0u) << lodepng_error_text(err);
    EXPECT_EQ(state.info_png.color.colortype, LCT_RGBA) << "not a 32-bit RGBA file";
    EXPECT_EQ(state.info_png.color.bitdepth, 8u);
    EXPECT_EQ(w, p.width);
    ASSERT_EQ(h, p.height);
    ASSERT_EQ(w, p.width);

    // Ink: pixels that show on the black screen. There must be enough of it, and bright enough.
    Mean mean;
    unsigned ink = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i + 3] < 128 || std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) < 48) continue;
        ++ink;
        mean.r += rgba[i];
        mean.g += rgba[i + 1];
        mean.b += rgba[i + 2];
    }
    ASSERT_GT(ink, w * h / 20) << "(nearly) nothing shows on black";
    mean.r /= ink;
    mean.g /= ink;
    mean.b /= ink;
    EXPECT_GE(std::max({mean.r, mean.g, mean.b}), 80.0) << "too dark for a black screen";
    EXPECT_TRUE(has_tone(mean, p.tone))
        << "expected " << tone_name(p.tone) << ", mean colour " << mean.r << " " << mean.g << " " << mean.b;

    // Icons sit on the screen's black with transparent surroundings; the welcome picture covers it.
    const size_t corners[] = {0, w - 1, (h - 1) * w, h * w - 1};
    for (size_t c : corners)
        EXPECT_EQ(rgba[c * 4 + 3], p.opaque ? 255u : 0u) << "alpha of corner pixel " << c;
}

TEST(Assets, EveryPictureHasItsWidgetSizeAlphaAndReadsOnBlack) {
    const std::vector<Picture> pictures = all_pictures();
    ASSERT_EQ(pictures.size(), 37u);
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.file);
        check_picture(asset_dir() / "img" / p.file, p);
    }
}

// The parts of a GIF file that the GIF widget depends on.
struct GifFacts {
    std::string signature;
    unsigned width = 0, height = 0;
    bool global_table = false;
    int loop_count = -1; // -1: no NETSCAPE2.0 loop extension
    struct Frame {
        unsigned x, y, w, h, delay;
    };
    std::vector<Frame> frames;
    bool complete = false; // ends with the trailer, nothing cut off
};

GifFacts read_gif(const std::vector<unsigned char>& d) {
    GifFacts gif;
    if (d.size() < 13) return gif;
    auto u16 = [&d](size_t at) { return unsigned(d[at] | d[at + 1] << 8); };
    gif.signature.assign(d.begin(), d.begin() + 6);
    gif.width = u16(6);
    gif.height = u16(8);
    gif.global_table = d[10] & 0x80;
    size_t at = 13;
    if (gif.global_table) at += 3u << ((d[10] & 7) + 1);
    // A chain of data sub-blocks, each with its length in front, ended by an empty one.
    auto sub_blocks = [&d, &at]() {
        std::vector<std::vector<unsigned char>> blocks;
        while (at < d.size() && d[at] != 0) {
            const size_t end = std::min(d.size(), at + 1 + d[at]);
            blocks.emplace_back(d.begin() + at + 1, d.begin() + end);
            at = end;
        }
        ++at;
        return blocks;
    };
    unsigned delay = 0;
    while (at < d.size()) {
        const unsigned char kind = d[at];
        if (kind == 0x3B) {
            gif.complete = true;
            break;
        }
        if (kind == 0x21 && at + 1 < d.size()) {
            const unsigned char label = d[at + 1];
            at += 2;
            const auto blocks = sub_blocks();
            if (label == 0xF9 && !blocks.empty() && blocks[0].size() >= 3)
                delay = unsigned(blocks[0][1] | blocks[0][2] << 8);
            if (label == 0xFF && blocks.size() >= 2 &&
                std::string(blocks[0].begin(), blocks[0].end()) == "NETSCAPE2.0" && blocks[1].size() >= 3 &&
                blocks[1][0] == 1)
                gif.loop_count = blocks[1][1] | blocks[1][2] << 8;
        } else if (kind == 0x2C && at + 10 <= d.size()) {
            gif.frames.push_back({u16(at + 1), u16(at + 3), u16(at + 5), u16(at + 7), delay});
            const unsigned char flags = d[at + 9];
            at += 10;
            if (flags & 0x80) at += 3u << ((flags & 7) + 1);
            ++at; // LZW minimum code size
            sub_blocks();
            delay = 0;
        } else {
            break;
        }
    }
    return gif;
}

TEST(Assets, BatteryAnimationIsALoopingGif89aWithAGlobalColourTable) {
    const std::vector<unsigned char> data = read_file(asset_dir() / "img/gif/battery.gif");
    ASSERT_FALSE(data.empty()) << "battery.gif is missing";
    const GifFacts gif = read_gif(data);
    EXPECT_EQ(gif.signature, "GIF89a");
    EXPECT_EQ(gif.width, 46u);
    EXPECT_EQ(gif.height, 98u);
    EXPECT_TRUE(gif.global_table);
    EXPECT_EQ(gif.loop_count, 0) << "0 loops forever; without the extension the battery fills once";
    EXPECT_TRUE(gif.complete) << "the file does not end with the trailer";
    EXPECT_GT(gif.frames.size(), 1u);
    for (size_t i = 0; i < gif.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const GifFacts::Frame& f = gif.frames[i];
        EXPECT_LE(f.x + f.w, gif.width);
        EXPECT_LE(f.y + f.h, gif.height);
        // A delay of 0 would make the widget step every 10 ms.
        EXPECT_GE(f.delay, 10u);
    }
}

// Code points of a UTF-8 text.
std::vector<char32_t> code_points(std::string_view text) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0x3F >> (len - 1));
        for (int k = 1; k < len && i + k < text.size(); ++k) cp = cp << 6 | (text[i + k] & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

TEST(Assets, BothFontsLoadAndCoverLatinGreekAndCyrillic) {
    struct Font {
        const char* file;
        bool monospaced;
        std::array<unsigned, 6> pixel_sizes;
    };
    const std::array<Font, 2> fonts = {{
        {"HarmonyOS_Sans_Regular.ttf", false, {12, 14, 15, 16, 20, 40}},
        {"UbuntuMono-B.ttf", true, {9, 16, 18, 25, 30, 30}},
    }};
    const std::array<const char*, 5> samples = {
        "0123456789 %:.,-/ kWh V A",         "ÄÖÜäöüß éèêëàâçîïôœùûÿ ñáíóú¡¿ åÅ ìò",
        "ΑΒΓΔΕΘΛΠΣΩ αβγδεθλπσςω άέήίόύώ",    "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ",
        "абвгдеёжзийклмнопрстуфхцчшщъыьэюя",
    };
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const Font& font : fonts) {
        SCOPED_TRACE(font.file);
        const fs::path path = asset_dir() / "font" / font.file;
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(library, path.string().c_str(), 0, &face), 0) << path << " does not load";
        EXPECT_TRUE(FT_IS_SCALABLE(face));
        EXPECT_EQ(bool(FT_IS_FIXED_WIDTH(face)), font.monospaced);
        if (font.monospaced) {
            EXPECT_TRUE(face->style_flags & FT_STYLE_FLAG_BOLD) << "the charging figures are bold";
        }
        for (unsigned px : font.pixel_sizes) EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, px), 0) << px << " px";
        for (const char* sample : samples)
            for (char32_t cp : code_points(sample))
                EXPECT_NE(FT_Get_Char_Index(face, cp), 0u) << "no glyph for U+" << std::hex << unsigned(cp);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

} // namespace
