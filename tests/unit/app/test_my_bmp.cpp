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
    const struct {
        const char* name;
        BmpFile file;
        lv_img_cf_t cf;
        std::vector<uint32_t> pixels; // first pixels, top row first
    } cases[] = {
        // 3 x 2: rows padded to 12 bytes; the last stored row is the top image row.
        {"d24.bmp",
         {3, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}},
         LV_IMG_CF_TRUE_COLOR,
         {0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110, 0xFF030201, 0xFF060504, 0xFF090807}},
        {"d16.bmp", {2, 1, 16, {0xFF, 0xFF, 0x00, 0xF8}}, LV_IMG_CF_TRUE_COLOR, {0xFFF8FCF8, 0xFFF80000}},
        {"d8.bmp", {1, 1, 8, {0x7F, 0, 0, 0}}, LV_IMG_CF_TRUE_COLOR, {0xFF787C78}},
        {"d32.bmp", {1, 1, 32, {0x11, 0x22, 0x33, 0x44}}, LV_IMG_CF_TRUE_COLOR_ALPHA, {0x44332211}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write_bmp(c.name, c.file);
        lv_img_header_t h{};
        ASSERT_EQ(lv_img_decoder_get_info(path.c_str(), &h), LV_RES_OK);
        EXPECT_EQ(h.w, uint32_t(c.file.width));
        EXPECT_EQ(h.h, uint32_t(c.file.height));
        EXPECT_EQ(h.cf, c.cf);
        Opened o = open(path);
        ASSERT_EQ(o.res, LV_RES_OK);
        for (size_t i = 0; i < c.pixels.size(); i++) EXPECT_EQ(px(o, int(i)).full, c.pixels[i]) << i;
        lv_img_decoder_close(&o.dsc);
        EXPECT_EQ(o.dsc.img_data, nullptr);
    }
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
    EXPECT_EQ(open(write_bmp("zero.bmp", BmpFile{0, 5, 24, {}})).res, LV_RES_INV);
    EXPECT_EQ(open(write_bmp("short.bmp", BmpFile{4, 4, 32, std::vector<uint8_t>(64, 1)}, 54 + 40)).res,
              LV_RES_INV);
    EXPECT_EQ(open(write_bmp("header_only.bmp", ok, 30)).res, LV_RES_INV);
}

} // namespace
