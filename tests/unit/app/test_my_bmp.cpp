#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "lvgl.h"
#include "my_lib/my_bmp.h"
#include "test_paths.h"

namespace {

struct BmpFile {
    int32_t width;
    int32_t height; // negative: top-down
    uint16_t bpp;
    std::vector<uint8_t> rows; // stored rows, each padded to 4 bytes
    bool signature = true;
};

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i));
}

std::string write_bmp(const std::string& name, const BmpFile& s, size_t truncate_to = SIZE_MAX) {
    std::vector<uint8_t> b(54, 0);
    if (s.signature) {
        b[0] = 'B';
        b[1] = 'M';
    }
    put32(b, 2, uint32_t(54 + s.rows.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, uint32_t(s.width));
    put32(b, 22, uint32_t(s.height));
    b[26] = 1;
    b[28] = uint8_t(s.bpp);
    b[29] = uint8_t(s.bpp >> 8);
    b.insert(b.end(), s.rows.begin(), s.rows.end());
    if (truncate_to < b.size()) b.resize(truncate_to);
    std::string path = sd_test_out_path("bmp/" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return "A:" + path;
}

class BmpDecoder : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        lv_init();
        my_bmp_init();
    }
    struct Opened {
        lv_res_t res;
        lv_img_decoder_dsc_t dsc;
    };
    static Opened open(const std::string& src) {
        Opened o{};
        o.res = lv_img_decoder_open(&o.dsc, src.c_str(), lv_color_black(), 0);
        return o;
    }
    static lv_color_t px(const Opened& o, int i) {
        return reinterpret_cast<const lv_color_t*>(o.dsc.img_data)[i];
    }
};

TEST_F(BmpDecoder, ConvertsEveryDepthAndReportsTheHeader) {
    // 24 bpp, 3 x 2: row_size 12; the last stored row is the top image row.
    BmpFile s24{3, 2, 24, {}};
    s24.rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    std::string p24 = write_bmp("d24.bmp", s24);
    lv_img_header_t h{};
    ASSERT_EQ(lv_img_decoder_get_info(p24.c_str(), &h), LV_RES_OK);
    EXPECT_EQ(h.w, 3u);
    EXPECT_EQ(h.h, 2u);
    EXPECT_EQ(h.cf, LV_IMG_CF_TRUE_COLOR);
    Opened o = open(p24);
    ASSERT_EQ(o.res, LV_RES_OK);
    EXPECT_EQ(px(o, 0).full, 0xFF0C0B0Au); // top row comes from the second stored row
    EXPECT_EQ(px(o, 5).full, 0xFF090807u);
    lv_img_decoder_close(&o.dsc);

    BmpFile s16{2, 1, 16, {0xFF, 0xFF, 0x00, 0xF8}};
    Opened o16 = open(write_bmp("d16.bmp", s16));
    ASSERT_EQ(o16.res, LV_RES_OK);
    EXPECT_EQ(px(o16, 0).full, 0xFFF8FCF8u);
    EXPECT_EQ(px(o16, 1).full, 0xFFF80000u);
    lv_img_decoder_close(&o16.dsc);

    BmpFile s8{1, 1, 8, {0x7F, 0, 0, 0}};
    Opened o8 = open(write_bmp("d8.bmp", s8));
    ASSERT_EQ(o8.res, LV_RES_OK);
    EXPECT_EQ(px(o8, 0).full, 0xFF787C78u);
    lv_img_decoder_close(&o8.dsc);

    BmpFile s32{1, 1, 32, {0x11, 0x22, 0x33, 0x44}};
    std::string p32 = write_bmp("d32.bmp", s32);
    ASSERT_EQ(lv_img_decoder_get_info(p32.c_str(), &h), LV_RES_OK);
    EXPECT_EQ(h.cf, LV_IMG_CF_TRUE_COLOR_ALPHA);
    Opened o32 = open(p32);
    ASSERT_EQ(o32.res, LV_RES_OK);
    EXPECT_EQ(px(o32, 0).full, 0x44332211u);
    lv_img_decoder_close(&o32.dsc);
    EXPECT_EQ(o32.dsc.img_data, nullptr);
}

TEST_F(BmpDecoder, DecodesTopDownFilesAndEmptyImages) {
    BmpFile td{1, -2, 24, {1, 2, 3, 0, 4, 5, 6, 0}};
    Opened o = open(write_bmp("topdown.bmp", td));
    ASSERT_EQ(o.res, LV_RES_OK);
    EXPECT_EQ(o.dsc.header.h, 2u);
    EXPECT_EQ(px(o, 0).full, 0xFF030201u); // first stored row is the top row
    EXPECT_EQ(px(o, 1).full, 0xFF060504u);
    lv_img_decoder_close(&o.dsc);

    Opened empty = open(write_bmp("empty.bmp", BmpFile{4, 0, 24, {}}));
    EXPECT_EQ(empty.res, LV_RES_OK);
    lv_img_decoder_close(&empty.dsc);
}

TEST_F(BmpDecoder, DeclinesWhatItCannotDecode) {
    lv_img_header_t h{};
    BmpFile ok{1, 1, 24, {1, 2, 3, 0}};
    // The extension is compared exactly.
    std::string upper = write_bmp("upper.BMP", ok);
    EXPECT_EQ(lv_img_decoder_get_info(upper.c_str(), &h), LV_RES_INV);
    EXPECT_EQ(lv_img_decoder_get_info("A:/nonexistent/x.bmp", &h), LV_RES_INV);

    // No signature: info accepts, open declines.
    BmpFile nosig = ok;
    nosig.signature = false;
    std::string p = write_bmp("nosig.bmp", nosig);
    EXPECT_EQ(lv_img_decoder_get_info(p.c_str(), &h), LV_RES_OK);
    EXPECT_EQ(open(p).res, LV_RES_INV);

    // Unsupported depth: the size is known, the pixels are not.
    std::string p4 = write_bmp("d4.bmp", BmpFile{2, 1, 4, {0x12, 0, 0, 0}});
    EXPECT_EQ(lv_img_decoder_get_info(p4.c_str(), &h), LV_RES_OK);
    EXPECT_EQ(open(p4).res, LV_RES_INV);

    // Sizes the header cannot hold, zero width and files shorter than their rows.
    EXPECT_EQ(open(write_bmp("wide.bmp", BmpFile{2048, 1, 24, {}})).res, LV_RES_INV);
    EXPECT_EQ(open(write_bmp("tall.bmp", BmpFile{1, -2048, 24, {}})).res, LV_RES_INV);
    EXPECT_EQ(open(write_bmp("zero.bmp", BmpFile{0, 5, 24, {}})).res, LV_RES_INV);
    EXPECT_EQ(open(write_bmp("short.bmp", BmpFile{4, 4, 32, std::vector<uint8_t>(64, 1)}, 54 + 40)).res,
              LV_RES_INV);
    EXPECT_EQ(open(write_bmp("header_only.bmp", ok, 30)).res, LV_RES_INV);
}

} // namespace
