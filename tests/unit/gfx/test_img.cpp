// Images: the decoder chain, the PNG decoder, the image cache, the image painter and the image widget.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <lodepng.h>

#include "gfx_fixture.h"
#include "test_paths.h"

#include "../../../gfx/src/img/img_internal.h"
#include "../../../gfx/src/misc/misc_internal.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

// A w x h PNG file below the test output directory with pixel (x, y) = argb(x, y); returns the "A:" path.
std::string write_png(const std::string& name, unsigned w, unsigned h,
                      const std::function<uint32_t(unsigned, unsigned)>& argb, size_t keep = SIZE_MAX) {
    std::vector<unsigned char> rgba;
    for (unsigned i = 0; i < w * h; i++) {
        const uint32_t c = argb(i % w, i / w);
        rgba.insert(rgba.end(), {(uint8_t)(c >> 16), (uint8_t)(c >> 8), (uint8_t)c, (uint8_t)(c >> 24)});
    }
    unsigned char* png = nullptr;
    size_t size = 0;
    EXPECT_EQ(lodepng_encode32(&png, &size, rgba.data(), w, h), 0u);
    const std::string path = sd_test_out_path("img/" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png), (std::streamsize)std::min(size, keep));
    std::free(png);
    return "A:" + path;
}

// Decoders for "A:<name>_<cost>.app" (1 x 1 white; the cost becomes the time to open) that record every
// call. The "newer" one takes the header but fails to open after filling the descriptor.
Calls g_calls;
const lv_color_t g_white = lv_color_white();
lv_res_t app_info(lv_img_decoder_t* d, const void* src, lv_img_header_t* h) {
    g_calls.push_back(std::string(d->user_data ? "newer" : "older") + " info");
    if (lv_img_src_get_type(src) != LV_IMG_SRC_FILE ||
        std::strcmp(lv_fs_get_ext((const char*)src), "app") != 0)
        return LV_RES_INV;
    h->cf = LV_IMG_CF_TRUE_COLOR;
    h->w = h->h = 1;
    return LV_RES_OK;
}
lv_res_t app_open(lv_img_decoder_t* d, lv_img_decoder_dsc_t* dsc) {
    const bool clean = !dsc->error_msg && !dsc->img_data && !dsc->user_data && !dsc->time_to_open;
    g_calls.push_back(std::string(d->user_data ? "newer" : "older") + (clean ? " open " : " open unclean ") +
                      (const char*)dsc->src);
    dsc->img_data = reinterpret_cast<const uint8_t*>(&g_white);
    dsc->time_to_open = (uint32_t)std::atoi(std::strrchr((const char*)dsc->src, '_') + 1);
    dsc->error_msg = d->user_data ? "broken" : nullptr;
    return d->user_data ? LV_RES_INV : LV_RES_OK;
}
lv_img_decoder_t* app_decoder(bool newer) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(d, app_info);
    lv_img_decoder_set_open_cb(d, app_open);
    lv_img_decoder_set_close_cb(d, [](lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
        g_calls.push_back(std::string("close ") + (const char*)dsc->src);
    });
    d->user_data = newer ? d : nullptr;
    return d;
}

class Img : public ::testing::Test {
  protected:
    StdoutLog log;
    void SetUp() override {
        gfx_test_image_stack_init();
        g_calls.clear();
    }
    void TearDown() override {
        gfx_img_reset();
        gfx_fs_reset();
    }
};

TEST_F(Img, DecodersAreAskedNewestFirstAndAFailedOpenFallsThrough) {
    app_decoder(false);
    lv_img_decoder_t* newer = app_decoder(true);
    lv_img_decoder_dsc_t dsc;
    char path[] = "A:pic_1.app";
    ASSERT_EQ(lv_img_decoder_open(&dsc, path, lv_color_black(), 0), LV_RES_OK);
    path[2] = 'X'; // the descriptor keeps its own copy
    lv_img_decoder_close(&dsc);
    EXPECT_EQ(g_calls, (Calls{"newer info", "newer open A:pic_1.app", "older info", "older open A:pic_1.app",
                              "close A:pic_1.app"}));
    // Nothing takes it: a zeroed header. A deleted decoder is not asked.
    lv_img_header_t header;
    std::memset(&header, 0xFF, sizeof(header));
    EXPECT_EQ(lv_img_decoder_get_info("A:pic.unknown", &header), LV_RES_INV);
    EXPECT_EQ(header.w + header.h + header.cf, 0u);
    g_calls.clear();
    lv_img_decoder_delete(newer);
    lv_img_decoder_get_info(path, &header);
    EXPECT_EQ(g_calls, Calls{"older info"});
    // Built in: a variable whose data is shorter than its header says is refused, not read past.
    static const uint32_t px[5] = {};
    const lv_img_dsc_t img = {
        {LV_IMG_CF_TRUE_COLOR_ALPHA, 0, 0, 3, 2}, sizeof(px), reinterpret_cast<const uint8_t*>(px)};
    EXPECT_EQ(lv_img_decoder_open(&dsc, &img, lv_color_black(), 0), LV_RES_INV);
}

TEST_F(Img, PngFilesAreCheckedDecodedAndRefusedWhole) {
    // Pixel (x, y) = (x*10, y*10, 100+x) at alpha 50+y.
    auto ramp = [](unsigned x, unsigned y) {
        return (50 + y) << 24 | (x * 10) << 16 | (y * 10) << 8 | (100 + x);
    };
    const std::string good = write_png("ok.png", 3, 2, ramp);
    const struct {
        std::string src;
        bool ok;
    } cases[] = {{good, true},
                 {write_png("ok.PNG", 3, 2, ramp), false}, // the extension is matched exactly
                 {write_png("cut.png", 3, 2, ramp, 20), false},
                 {write_png("wide.png", 2048, 1, ramp), false}};
    for (const auto& c : cases) {
        lv_img_header_t h;
        ASSERT_EQ(lv_img_decoder_get_info(c.src.c_str(), &h), c.ok ? LV_RES_OK : LV_RES_INV) << c.src;
        EXPECT_TRUE(!c.ok || (h.w == 3 && h.h == 2 && h.cf == LV_IMG_CF_TRUE_COLOR_ALPHA));
    }
    // Decoded to B, G, R, A in memory.
    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, good.c_str(), lv_color_black(), 0), LV_RES_OK);
    EXPECT_EQ(Bytes(dsc.img_data + 4 * 5, dsc.img_data + 4 * 6), (Bytes{100 + 2, 10, 20, 50 + 1})); // (2, 1)
    lv_img_decoder_close(&dsc);
    EXPECT_TRUE(log.lines().empty());

    // A header that survives a cut: info takes it, open warns with lodepng's reason.
    const std::string cut = write_png("trunc.png", 5, 5, ramp, 40);
    EXPECT_EQ(lv_img_decoder_open(&dsc, cut.c_str(), lv_color_black(), 0), LV_RES_INV);
    EXPECT_EQ(log.count("[Warn]"), 1u);
    EXPECT_EQ(log.count(std::string(": error 30: ") + lodepng_error_text(30)), 1u);
}

TEST_F(Img, CacheKeepsTheEntriesThatLiveLongest) {
    app_decoder(false);
    lv_img_cache_set_size(2);
    // Every look-up ages all entries by 1; a hit adds the image's open time (up to 1000 in all); a miss
    // replaces the entry with the lowest life.
    const struct {
        const char* src;
        int32_t life;
        const char* closed; // by this look-up
    } steps[] = {
        {"A:a_10.app", 0, ""},           {"A:b_1.app", 0, ""},     {"A:a_10.app", 8, ""},
        {"A:c_1.app", 0, "A:b_1.app"},   {"A:a_10.app", 16, ""},   {"A:b_1.app", 0, "A:c_1.app"},
        {"A:x_600.app", 0, "A:b_1.app"}, {"A:x_600.app", 599, ""}, {"A:x_600.app", 1000, ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.src);
        g_calls.clear();
        const _lv_img_cache_entry_t* e = _lv_img_cache_open(s.src, lv_color_black(), 0);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->life, s.life);
        EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), std::string("close ") + s.closed),
                  *s.closed ? 1 : 0);
    }
    // Files match by their text, another frame is another image; an unopenable source warns and
    // gives its entry up; invalidating closes.
    char path[] = "A:x_600.app";
    g_calls.clear();
    _lv_img_cache_open(path, lv_color_black(), 0);
    _lv_img_cache_open(path, lv_color_black(), 1);
    EXPECT_EQ(_lv_img_cache_open("A:missing.xyz", lv_color_black(), 0), nullptr);
    EXPECT_EQ(log.count("Image draw cannot open the image resource"), 1u);
    lv_img_cache_invalidate_src(path);
    lv_img_cache_set_size(0);
    EXPECT_EQ(g_calls, (Calls{"close A:a_10.app", "older info", "older open A:x_600.app", "close A:x_600.app",
                              "older info", "close A:x_600.app"}));
}

void draw(Canvas& cv, const void* src, lv_area_t coords, lv_opa_t opa = LV_OPA_COVER) {
    lv_draw_img_dsc_t dsc;
    lv_draw_img_dsc_init(&dsc);
    dsc.opa = opa;
    lv_draw_img(&cv.ctx, &dsc, &coords, src);
}

TEST_F(Img, PixelsBlendByAlphaAndOpacityInsideTheClipArea) {
    // Half green, transparent, white, alpha 1 black; an image without alpha ignores the alpha byte.
    const uint32_t alpha_px[] = {0x8000FF00, 0x00FF0000, 0xFFFFFFFF, 0x01000000},
                   plain_px[] = {0x00112233, 0x00445566};
    const lv_img_dsc_t alpha = {
        {LV_IMG_CF_TRUE_COLOR_ALPHA, 0, 0, 4, 1}, 16, reinterpret_cast<const uint8_t*>(alpha_px)};
    const lv_img_dsc_t plain = {
        {LV_IMG_CF_TRUE_COLOR, 0, 0, 2, 1}, 8, reinterpret_cast<const uint8_t*>(plain_px)};
    const struct {
        const lv_img_dsc_t* img;
        lv_opa_t opa;
        std::vector<uint32_t> row; // x = 0..4; the image lies at x 1.. over blue
    } cases[] = {
        {&alpha, LV_OPA_COVER, {0xff, 0x00807f, 0xff, 0xffffff, 0xfe}},
        {&alpha, 128, {0xff, 0x0040bf, 0xff, 0x8080ff, 0xff}},
        {&plain, 253, {0xff, 0x112233, 0x445566, 0xff, 0xff}},
        {&plain, 2, {0xff, 0xff, 0xff, 0xff, 0xff}},
    };
    for (const auto& c : cases) {
        Canvas cv(5, 2, 0xff);
        draw(cv, c.img, {1, 1, 4, 1}, c.opa);
        EXPECT_EQ((std::vector<uint32_t>{cv.at(0, 1), cv.at(1, 1), cv.at(2, 1), cv.at(3, 1), cv.at(4, 1),
                                         cv.at(2, 0)}),
                  (std::vector<uint32_t>{c.row[0], c.row[1], c.row[2], c.row[3], c.row[4], 0xff}))
            << (int)c.opa;
    }
    // A strip of rows 10..13 of the screen, a narrower clip area, an image partly above the strip in a
    // box larger than itself: shown once.
    uint32_t px[5 * 4];
    for (uint32_t i = 0; i < 20; i++) px[i] = i + 1;
    const lv_img_dsc_t img = {
        {LV_IMG_CF_TRUE_COLOR, 0, 0, 5, 4}, sizeof(px), reinterpret_cast<const uint8_t*>(px)};
    Canvas cv(8, 4, 0xff, 0, 10);
    cv.clip = {2, 11, 6, 13};
    draw(cv, &img, {1, 9, 7, 13});
    for (lv_coord_t y = 10; y <= 13; y++)
        for (lv_coord_t x = 0; x < 8; x++)
            EXPECT_EQ(cv.at(x, y),
                      cv.inside_clip(x, y) && x <= 5 && y <= 12 ? px[(y - 9) * 5 + x - 1] : 0xffu)
                << x << "," << y;
}

class ImgWidget : public GfxFixture {};

TEST_F(ImgWidget, TakesItsSizeFromItsPictureAndShowsWhatCannotBeRead) {
    // A 4 x 4 red picture; the path is copied. Tiling and opacity are in the golden pictures.
    std::string src = write_png("tile.png", 4, 4, [](unsigned, unsigned) { return 0xFFFF0000u; });
    lv_obj_t* img = lv_img_create(lv_scr_act());
    lv_img_set_src(img, src.c_str());
    src[2] = 'X';
    lv_obj_set_pos(img, 20, 30);
    run_for(50);
    EXPECT_EQ(lv_obj_get_width(img) * 100 + lv_obj_get_height(img), 404);
    EXPECT_EQ((std::vector<uint32_t>{pixel(20, 30), pixel(23, 33), pixel(24, 33)}),
              (std::vector<uint32_t>{0xFF0000, 0xFF0000, 0xF5F5F5}));

    // A file nobody can read warns once; content-sized it draws nothing, given an area the placeholder.
    StdoutLog log;
    src = "A:" + sd_test_out_path("no_such_picture.png");
    lv_img_set_src(img, src.c_str());
    lv_obj_set_size(img, LV_SIZE_CONTENT, LV_SIZE_CONTENT);
    run_for(50);
    EXPECT_EQ(lv_obj_get_width(img), 0);
    EXPECT_EQ(log.count(src), 1u);
    EXPECT_EQ(log.count("[Warn]"), 1u);
    lv_obj_set_size(img, 60, 40);
    run_for(50);
    EXPECT_GE(log.count("Image draw error"), 1u);
    EXPECT_EQ((std::vector<uint32_t>{pixel(21, 31), pixel(78, 68), pixel(19, 31)}),
              (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0xF5F5F5}));
}

} // namespace
