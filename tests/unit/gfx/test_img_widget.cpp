// Image widgets: source ownership, size from the decoder, tiling and clipping, and what a file
// that cannot be read looks like.
#include <cstring>
#include <lodepng.h>
#include <vector>

#include "gfx_fixture.h"
#include "test_paths.h"

namespace {

class ImgWidget : public GfxFixture {
  protected:
    // Writes a w x h PNG whose first column is red and the rest blue; returns its "A:" path.
    static std::string write_png(const std::string& name, unsigned w, unsigned h) {
        std::vector<unsigned char> rgba(w * h * 4);
        for (unsigned y = 0; y < h; y++) {
            for (unsigned x = 0; x < w; x++) {
                unsigned char* p = &rgba[(y * w + x) * 4];
                p[0] = x == 0 ? 0xFF : 0x00;
                p[1] = 0x00;
                p[2] = x == 0 ? 0x00 : 0xFF;
                p[3] = 0xFF;
            }
        }
        const std::string path = sd_test_out_path(name);
        EXPECT_EQ(lodepng_encode32_file(path.c_str(), rgba.data(), w, h), 0u);
        return "A:" + path;
    }
};

TEST_F(ImgWidget, FilePathIsCopiedAndSizesTheWidget) {
    const std::string src = write_png("imgw_3x2.png", 3, 2);
    std::vector<char> buf(src.begin(), src.end());
    buf.push_back('\0');

    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, buf.data());
    buf[2] = 'X';
    const char* kept = static_cast<const char*>(lv_img_get_src(img));
    EXPECT_EQ(std::string(kept), src);
    EXPECT_NE(kept, buf.data());

    lv_obj_update_layout(img);
    EXPECT_EQ(lv_obj_get_width(img), 3);
    EXPECT_EQ(lv_obj_get_height(img), 2);

    // Setting the kept pointer again is only a refresh.
    lv_img_set_src(img, kept);
    EXPECT_EQ(lv_img_get_src(img), kept);
}

TEST_F(ImgWidget, VariableSourceIsBorrowed) {
    static const lv_color_t px[4] = {lv_color_hex(0x00FF00), lv_color_hex(0x00FF00), lv_color_hex(0x00FF00),
                                     lv_color_hex(0x00FF00)};
    lv_img_dsc_t dsc;
    std::memset(&dsc, 0, sizeof(dsc));
    dsc.header.cf = LV_IMG_CF_TRUE_COLOR;
    dsc.header.w = 2;
    dsc.header.h = 2;
    dsc.data_size = sizeof(px);
    dsc.data = reinterpret_cast<const uint8_t*>(px);

    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_obj_set_pos(img, 7, 9);
    lv_img_set_src(img, &dsc);
    EXPECT_EQ(lv_img_get_src(img), &dsc);
    run_for(50);
    EXPECT_EQ(lv_obj_get_width(img), 2);
    EXPECT_EQ(pixel(7, 9), 0x00FF00u);
    EXPECT_EQ(pixel(8, 10), 0x00FF00u);
    EXPECT_EQ(pixel(9, 10), 0xF5F5F5u);
}

TEST_F(ImgWidget, LargerWidgetTilesSmallerOneClips) {
    const std::string src = write_png("imgw_4x4.png", 4, 4);
    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, src.c_str());
    lv_obj_set_pos(img, 20, 30);
    lv_obj_set_size(img, 10, 10);
    run_for(50);

    for (lv_coord_t x : {20, 24, 28}) {
        for (lv_coord_t y : {30, 34, 38}) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(pixel(x, y), 0xFF0000u);
            EXPECT_EQ(pixel((lv_coord_t)(x + 1), y), 0x0000FFu);
        }
    }
    EXPECT_EQ(pixel(30, 32), 0xF5F5F5u); // right of the widget
    EXPECT_EQ(pixel(22, 40), 0xF5F5F5u); // below it

    lv_obj_set_size(img, 2, 2);
    run_for(50);
    EXPECT_EQ(pixel(20, 30), 0xFF0000u);
    EXPECT_EQ(pixel(21, 31), 0x0000FFu);
    EXPECT_EQ(pixel(22, 30), 0xF5F5F5u);
}

TEST_F(ImgWidget, UnreadableFileWarnsOnceAndShowsThePlaceholder) {
    StdoutLog log;
    const std::string src = "A:" + sd_test_out_path("no_such_picture.png");
    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, src.c_str());
    EXPECT_EQ(log.count(src), 1u);
    EXPECT_EQ(log.count("[Warn]"), 1u);

    // Content-sized it has no area and draws nothing.
    run_for(50);
    EXPECT_EQ(lv_obj_get_width(img), 0);
    EXPECT_EQ(log.count("Image draw error"), 0u);

    // Given an area, the placeholder (white with dark text) fills it.
    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(0x000000), 0);
    lv_obj_set_pos(img, 100, 100);
    lv_obj_set_size(img, 60, 40);
    run_for(50);
    EXPECT_GE(log.count("Image draw error"), 1u);
    EXPECT_EQ(pixel(101, 101), 0xFFFFFFu);
    EXPECT_EQ(pixel(158, 138), 0xFFFFFFu);
    EXPECT_EQ(pixel(99, 101), 0x000000u);
    int dark = 0;
    for (lv_coord_t y = 100; y < 140; y++) {
        for (lv_coord_t x = 100; x < 160; x++) dark += pixel(x, y) == 0x000000u;
    }
    EXPECT_GT(dark, 10);
}

TEST_F(ImgWidget, UnknownSourceWarnsAndForgetsTheOldOne) {
    const std::string src = write_png("imgw_1x1.png", 1, 1);
    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, src.c_str());
    StdoutLog log;
    lv_img_set_src(img, nullptr);
    EXPECT_TRUE(log.contains("lv_img_set_src: unknown type"));
    EXPECT_EQ(lv_img_get_src(img), nullptr);
    run_for(50);
}

TEST_F(ImgWidget, SymbolSourceIsMeasuredAsText) {
    const char* sym = "\xEF\x80\x8C"; // U+F00C, a check mark in the built-in font
    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, sym);
    EXPECT_NE(lv_img_get_src(img), sym);
    lv_obj_update_layout(img);
    lv_point_t size;
    lv_txt_get_size(&size, sym, LV_FONT_DEFAULT, 0, 0, LV_COORD_MAX, LV_TEXT_FLAG_NONE);
    EXPECT_EQ(lv_obj_get_width(img), size.x);
    EXPECT_EQ(lv_obj_get_height(img), size.y);
}

} // namespace
