// Drawing images into a draw buffer: blending, clipping, opacity, decoders that read by line, and
// the placeholder for images that cannot be opened.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <lodepng.h>

#include "gfx_fixture.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/img/img_internal.h"
#include "../../../gfx/src/misc/misc_internal.h"

namespace {

constexpr uint32_t kBlue = 0xFF0000FF; // lv_color_t.full: A R G B from the top byte down
constexpr uint32_t kWhite = 0xFFFFFFFF;

// A draw buffer of w x h pixels lying at (x0, y0) on the screen, filled with blue.
struct Canvas {
    lv_coord_t w, h;
    std::vector<lv_color_t> px;
    lv_area_t buf_area, clip;
    lv_draw_ctx_t ctx{};

    Canvas(lv_coord_t w_, lv_coord_t h_, lv_coord_t x0 = 0, lv_coord_t y0 = 0)
        : w(w_), h(h_), px((size_t)w_ * h_) {
        for (lv_color_t& c : px) c.full = kBlue;
        buf_area = {x0, y0, (lv_coord_t)(x0 + w - 1), (lv_coord_t)(y0 + h - 1)};
        clip = buf_area;
        ctx.buf = px.data();
        ctx.buf_area = &buf_area;
        ctx.clip_area = &clip;
    }
    // Pixel at screen coordinates.
    uint32_t at(lv_coord_t x, lv_coord_t y) const {
        return px[(size_t)(y - buf_area.y1) * w + (size_t)(x - buf_area.x1)].full;
    }
    void draw(const void* src, lv_area_t coords, lv_opa_t opa = LV_OPA_COVER) {
        lv_draw_img_dsc_t dsc;
        lv_draw_img_dsc_init(&dsc);
        dsc.opa = opa;
        lv_draw_img(&ctx, &dsc, &coords, src);
    }
};

// An image variable of w x h pixels (lv_color_t.full values, row by row).
struct VarImg {
    std::vector<uint32_t> px;
    lv_img_dsc_t dsc;
    VarImg(lv_img_cf_t cf, uint32_t w, uint32_t h, std::vector<uint32_t> pixels) : px(std::move(pixels)) {
        dsc.header = {cf, 0, 0, w, h};
        dsc.data_size = (uint32_t)(px.size() * 4);
        dsc.data = reinterpret_cast<const uint8_t*>(px.data());
    }
};

class DrawImg : public ::testing::Test {
  protected:
    StdoutLog log;
    void SetUp() override {
        gfx_test_image_stack_init();
        lv_img_cache_set_size(LV_IMG_CACHE_DEF_SIZE);
    }
    void TearDown() override {
        gfx_img_reset();
        gfx_fs_reset();
    }
};

TEST_F(DrawImg, AlphaPixelsBlendAndOpaqueOnesCopy) {
    // Half-transparent green, fully transparent red, opaque white, 1/255 alpha black.
    VarImg img(LV_IMG_CF_TRUE_COLOR_ALPHA, 4, 1, {0x8000FF00, 0x00FF0000, 0xFFFFFFFF, 0x01000000});
    Canvas cv(6, 3);
    cv.draw(&img.dsc, {1, 1, 4, 1});
    EXPECT_EQ(cv.at(1, 1), 0xFF00807Fu); // green 0x80, blue 0x7F
    EXPECT_EQ(cv.at(2, 1), kBlue);
    EXPECT_EQ(cv.at(3, 1), kWhite);
    EXPECT_EQ(cv.at(4, 1), 0xFF0000FEu);
    for (lv_coord_t x = 0; x < 6; x++) {
        EXPECT_EQ(cv.at(x, 0), kBlue);
        EXPECT_EQ(cv.at(x, 2), kBlue);
    }

    // True colour without alpha is copied whatever its alpha byte holds.
    VarImg opaque(LV_IMG_CF_TRUE_COLOR, 2, 2, {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC});
    cv.draw(&opaque.dsc, {0, 0, 1, 1});
    EXPECT_EQ(cv.at(0, 0) & 0xFFFFFFu, 0x112233u);
    EXPECT_EQ(cv.at(1, 0) & 0xFFFFFFu, 0x445566u);
    EXPECT_EQ(cv.at(0, 1) & 0xFFFFFFu, 0x778899u);
    EXPECT_EQ(cv.at(1, 1) & 0xFFFFFFu, 0xAABBCCu);
}

TEST_F(DrawImg, PngFileIsDecodedAndBlended) {
    const unsigned char rgba[] = {255, 0, 0, 255, 0, 255, 0, 128};
    const std::string path = sd_test_out_path("img/draw.png");
    ASSERT_EQ(lodepng_encode32_file(path.c_str(), rgba, 2, 1), 0u);
    Canvas cv(3, 1);
    cv.draw(("A:" + path).c_str(), {0, 0, 1, 0});
    EXPECT_EQ(cv.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(cv.at(1, 0), 0xFF00807Fu);
    EXPECT_EQ(cv.at(2, 0), kBlue);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DrawImg, OpacityScalesEveryPixel) {
    VarImg red(LV_IMG_CF_TRUE_COLOR, 1, 1, {0xFFFF0000});
    VarImg half_green(LV_IMG_CF_TRUE_COLOR_ALPHA, 1, 1, {0x8000FF00});
    struct Case {
        const char* name;
        const lv_img_dsc_t* img;
        lv_opa_t opa;
        uint32_t expect;
    } cases[] = {
        {"opaque at 128", &red.dsc, 128, 0xFF80007F},
        {"opaque at 253 counts as cover", &red.dsc, 253, 0xFFFF0000},
        {"opaque at 2 draws nothing", &red.dsc, 2, kBlue},
        {"alpha 128 at opa 128: coverage 64", &half_green.dsc, 128, 0xFF0040BF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas cv(1, 1);
        cv.draw(c.img, {0, 0, 0, 0}, c.opa);
        EXPECT_EQ(cv.at(0, 0), c.expect);
    }
}

TEST_F(DrawImg, ClipsToClipAreaBufferAndImageSize) {
    std::vector<uint32_t> px(5 * 4);
    for (uint32_t i = 0; i < px.size(); i++) px[i] = 0xFF000000u | (i + 1);
    VarImg img(LV_IMG_CF_TRUE_COLOR, 5, 4, px);

    // The buffer is a strip of rows 10..13 of the screen; the clip area is narrower still.
    Canvas cv(8, 4, 0, 10);
    cv.clip = {2, 11, 6, 13};
    const lv_area_t coords = {1, 9, 5, 12}; // image rows 0..3 on screen rows 9..12
    cv.draw(&img.dsc, coords);
    for (lv_coord_t y = 10; y <= 13; y++) {
        for (lv_coord_t x = 0; x < 8; x++) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool inside = x >= 2 && x <= 5 && y >= 11 && y <= 12;
            const uint32_t want = inside ? px[(size_t)(y - 9) * 5 + (size_t)(x - 1)] : kBlue;
            EXPECT_EQ(cv.at(x, y), want);
        }
    }

    // A box larger than the image shows the image once, nothing beyond it.
    Canvas big(8, 8);
    VarImg dot(LV_IMG_CF_TRUE_COLOR, 1, 1, {0xFFFFFFFF});
    big.draw(&dot.dsc, {2, 2, 7, 7});
    EXPECT_EQ(big.at(2, 2), kWhite);
    EXPECT_EQ(big.at(3, 2), kBlue);
    EXPECT_EQ(big.at(2, 3), kBlue);
}

TEST_F(DrawImg, ChromaKeyedPixelsAreSkipped) {
    VarImg img(LV_IMG_CF_TRUE_COLOR_CHROMA_KEYED, 3, 1, {0xFF00FF00, 0xFFFF0000, 0x0000FF00});
    Canvas cv(3, 1);
    cv.draw(&img.dsc, {0, 0, 2, 0});
    EXPECT_EQ(cv.at(0, 0), kBlue);
    EXPECT_EQ(cv.at(1, 0), 0xFFFF0000u);
    EXPECT_EQ(cv.at(2, 0), kBlue); // the key is a colour; the alpha byte does not matter
}

TEST_F(DrawImg, IndexedAndUnalignedVariablesDraw) {
    // 1-bit image 3 x 2: white / black palette.
    const lv_color_t pal[2] = {lv_color_white(), lv_color_black()};
    uint8_t data[8 + 2];
    std::memcpy(data, pal, 8);
    data[8] = 0b10100000;
    data[9] = 0b01000000;
    const lv_img_dsc_t idx = {{LV_IMG_CF_INDEXED_1BIT, 0, 0, 3, 2}, sizeof(data), data};
    Canvas cv(3, 2);
    cv.draw(&idx, {0, 0, 2, 1});
    EXPECT_EQ(cv.at(0, 0), 0xFF000000u);
    EXPECT_EQ(cv.at(1, 0), kWhite);
    EXPECT_EQ(cv.at(2, 0), 0xFF000000u);
    EXPECT_EQ(cv.at(1, 1), 0xFF000000u);

    // Pixel data that starts on an odd address.
    alignas(4) uint8_t raw[1 + 8];
    const uint32_t two[2] = {0xFF123456, 0xFF654321};
    std::memcpy(raw + 1, two, 8);
    const lv_img_dsc_t odd = {{LV_IMG_CF_TRUE_COLOR, 0, 0, 2, 1}, 8, raw + 1};
    Canvas cv2(2, 1);
    cv2.draw(&odd, {0, 0, 1, 0});
    EXPECT_EQ(cv2.at(0, 0), 0xFF123456u);
    EXPECT_EQ(cv2.at(1, 0), 0xFF654321u);
}

// A decoder for "A:grad.line" that delivers pixel (x, y) = 0xFF00xxyy through read_line only.
int g_lines_read = 0;
lv_res_t line_info(lv_img_decoder_t*, const void* src, lv_img_header_t* h) {
    if (lv_img_src_get_type(src) != LV_IMG_SRC_FILE || std::strcmp((const char*)src, "A:grad.line") != 0) {
        return LV_RES_INV;
    }
    h->cf = LV_IMG_CF_TRUE_COLOR;
    h->w = 16;
    h->h = 16;
    return LV_RES_OK;
}
lv_res_t line_open(lv_img_decoder_t*, lv_img_decoder_dsc_t*) {
    return LV_RES_OK;
}
lv_res_t line_read(lv_img_decoder_t*, lv_img_decoder_dsc_t*, lv_coord_t x, lv_coord_t y, lv_coord_t len,
                   uint8_t* buf) {
    g_lines_read++;
    for (lv_coord_t i = 0; i < len; i++) {
        const uint32_t v = 0xFF000000u | (uint32_t)(x + i) << 8 | (uint32_t)y;
        std::memcpy(buf + 4 * i, &v, 4);
    }
    return LV_RES_OK;
}

TEST_F(DrawImg, DecodersWithoutImageDataAreReadByVisibleRows) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(d, line_info);
    lv_img_decoder_set_open_cb(d, line_open);
    lv_img_decoder_set_read_line_cb(d, line_read);
    g_lines_read = 0;

    Canvas cv(6, 6, 10, 10);
    cv.clip = {11, 12, 14, 14};
    cv.draw("A:grad.line", {8, 9, 23, 24}); // image (3..6, 3..5) is visible
    EXPECT_EQ(g_lines_read, 3);
    EXPECT_EQ(cv.at(11, 12), 0xFF000303u);
    EXPECT_EQ(cv.at(14, 14), 0xFF000605u);
    EXPECT_EQ(cv.at(10, 12), kBlue);
    EXPECT_EQ(cv.at(15, 14), kBlue);
}

// Counts opens and closes of "A:count.cnt" (a 1 x 1 white image).
int g_opens = 0, g_closes = 0;
const lv_color_t g_white = lv_color_white();
lv_res_t cnt_info(lv_img_decoder_t*, const void* src, lv_img_header_t* h) {
    if (lv_img_src_get_type(src) != LV_IMG_SRC_FILE || std::strcmp((const char*)src, "A:count.cnt") != 0) {
        return LV_RES_INV;
    }
    h->cf = LV_IMG_CF_TRUE_COLOR;
    h->w = 1;
    h->h = 1;
    return LV_RES_OK;
}
lv_res_t cnt_open(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    g_opens++;
    dsc->img_data = reinterpret_cast<const uint8_t*>(&g_white);
    return LV_RES_OK;
}
void cnt_close(lv_img_decoder_t*, lv_img_decoder_dsc_t*) {
    g_closes++;
}

TEST_F(DrawImg, CachedImagesAreDecodedOnceAndUncachedOnesPerDraw) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(d, cnt_info);
    lv_img_decoder_set_open_cb(d, cnt_open);
    lv_img_decoder_set_close_cb(d, cnt_close);
    g_opens = g_closes = 0;

    Canvas cv(2, 2);
    for (int i = 0; i < 3; i++) cv.draw("A:count.cnt", {0, 0, 0, 0});
    EXPECT_EQ(g_opens, 1);
    EXPECT_EQ(g_closes, 0);

    lv_img_cache_set_size(0);
    EXPECT_EQ(g_closes, 1);
    for (int i = 0; i < 3; i++) cv.draw("A:count.cnt", {0, 0, 0, 0});
    EXPECT_EQ(g_opens, 4);
    EXPECT_EQ(g_closes, 4);
    EXPECT_EQ(cv.at(0, 0), kWhite);

    // Nothing visible: nothing to decode.
    cv.draw("A:count.cnt", {5, 5, 5, 5});
    EXPECT_EQ(g_opens, 4);
}

// Number of pixels in the area that differ from white.
int count_non_white(const Canvas& cv, lv_area_t a) {
    int n = 0;
    for (lv_coord_t y = a.y1; y <= a.y2; y++) {
        for (lv_coord_t x = a.x1; x <= a.x2; x++) n += (cv.at(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
    }
    return n;
}

TEST_F(DrawImg, UnopenableFileShowsThePlaceholder) {
    Canvas cv(60, 50);
    const lv_area_t box = {5, 5, 54, 44};
    cv.draw("A:/nonexistent/dir/missing.png", box);

    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0].rfind("[Warn]\t", 0), 0u);
    EXPECT_NE(log.lines()[0].find("Image draw cannot open the image resource"), std::string::npos);
    EXPECT_EQ(log.lines()[1].rfind("[Warn]\t", 0), 0u);
    EXPECT_NE(log.lines()[1].find("Image draw error"), std::string::npos);

    // A white box over the image's area with dark text ("No" above "data") at its top left.
    EXPECT_EQ(cv.at(5, 44), kWhite);
    EXPECT_EQ(cv.at(54, 44), kWhite);
    EXPECT_EQ(cv.at(54, 5), kWhite);
    EXPECT_EQ(cv.at(4, 5), kBlue);
    EXPECT_EQ(cv.at(55, 44), kBlue);
    EXPECT_GT(count_non_white(cv, {5, 5, 54, 20}), 10);  // first line
    EXPECT_GT(count_non_white(cv, {5, 21, 54, 37}), 10); // second line
}

TEST_F(DrawImg, DecoderErrorTextIsShownInsteadOfTheImage) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(d, cnt_info);
    lv_img_decoder_set_open_cb(d, [](lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) -> lv_res_t {
        dsc->error_msg = "Bad";
        return LV_RES_OK;
    });

    Canvas cv(40, 20);
    cv.draw("A:count.cnt", {0, 0, 39, 19});
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("Image draw error"), std::string::npos);
    EXPECT_EQ(cv.at(39, 19), kWhite);
    EXPECT_GT(count_non_white(cv, {0, 0, 39, 19}), 10);

    log.clear();
    cv.draw(nullptr, {0, 0, 39, 19});
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("Image draw: src is NULL"), std::string::npos);
}

} // namespace
