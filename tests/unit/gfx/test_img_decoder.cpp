// The decoder chain (order, fall-through, clearing) and the built-in decoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/img/img_internal.h"
#include "../../../gfx/src/misc/misc_internal.h"

namespace {

std::vector<std::string> g_calls; // "<decoder> <callback>" in call order

// Two application decoders for ".app" files. The "older" one decodes; the "newer" one is
// configured per test.
lv_color_t g_px = lv_color_hex(0xABCDEF);
bool g_newer_accepts_info = false;
bool g_header_was_clear = false;
bool g_fields_were_clear = false;

bool is_app_file(const void* src) {
    return lv_img_src_get_type(src) == LV_IMG_SRC_FILE &&
           std::strcmp(lv_fs_get_ext((const char*)src), "app") == 0;
}

lv_res_t older_info(lv_img_decoder_t*, const void* src, lv_img_header_t* header) {
    g_calls.push_back("older info");
    if (!is_app_file(src)) return LV_RES_INV;
    uint32_t raw;
    std::memcpy(&raw, header, sizeof(raw));
    g_header_was_clear = raw == 0;
    header->cf = LV_IMG_CF_TRUE_COLOR;
    header->w = 1;
    header->h = 1;
    return LV_RES_OK;
}

lv_res_t older_open(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    g_calls.push_back("older open");
    g_fields_were_clear = dsc->error_msg == nullptr && dsc->img_data == nullptr &&
                          dsc->user_data == nullptr && dsc->time_to_open == 0;
    dsc->img_data = reinterpret_cast<const uint8_t*>(&g_px);
    return LV_RES_OK;
}

lv_res_t newer_info(lv_img_decoder_t*, const void* src, lv_img_header_t* header) {
    g_calls.push_back("newer info");
    if (!g_newer_accepts_info || !is_app_file(src)) return LV_RES_INV;
    header->cf = LV_IMG_CF_TRUE_COLOR_ALPHA;
    header->w = 77;
    header->h = 55;
    return LV_RES_OK;
}

// Accepts the file in info, then fails to decode it after filling the descriptor.
lv_res_t newer_open_fails(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    g_calls.push_back("newer open");
    static const uint8_t junk[4] = {};
    dsc->error_msg = "broken";
    dsc->img_data = junk;
    dsc->user_data = &g_calls;
    dsc->time_to_open = 42;
    return LV_RES_INV;
}

void recording_close(lv_img_decoder_t*, lv_img_decoder_dsc_t*) {
    g_calls.push_back("close");
}

class ImgDecoder : public ::testing::Test {
  protected:
    void SetUp() override {
        gfx_test_image_stack_init();
        g_calls.clear();
        g_newer_accepts_info = false;
        g_header_was_clear = g_fields_were_clear = false;
    }
    void TearDown() override {
        gfx_img_reset();
        gfx_fs_reset();
    }

    void register_app_decoders() {
        lv_img_decoder_t* older = lv_img_decoder_create();
        lv_img_decoder_set_info_cb(older, older_info);
        lv_img_decoder_set_open_cb(older, older_open);
        lv_img_decoder_set_close_cb(older, recording_close);
        newer = lv_img_decoder_create();
        lv_img_decoder_set_info_cb(newer, newer_info);
        lv_img_decoder_set_open_cb(newer, newer_open_fails);
        lv_img_decoder_set_close_cb(newer, recording_close);
    }
    lv_img_decoder_t* newer = nullptr;
};

TEST(ImgSrcType, FirstByteDecides) {
    static const uint8_t var_bytes[] = {0x1F, 0, 0, 0};
    const lv_img_dsc_t dsc = {{LV_IMG_CF_TRUE_COLOR_ALPHA, 0, 0, 2, 2}, 0, nullptr};
    struct Case {
        const char* name;
        const void* src;
        lv_img_src_t type;
    } cases[] = {
        {"null", nullptr, LV_IMG_SRC_UNKNOWN},      {"path", "A:img/x.png", LV_IMG_SRC_FILE},
        {"space 0x20", " x", LV_IMG_SRC_FILE},      {"0x7F", "\x7F", LV_IMG_SRC_FILE},
        {"symbol 0x80", "\x80", LV_IMG_SRC_SYMBOL}, {"symbol U+F00C", "\xEF\x80\x8C", LV_IMG_SRC_SYMBOL},
        {"0x1F", var_bytes, LV_IMG_SRC_VARIABLE},   {"image descriptor", &dsc, LV_IMG_SRC_VARIABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lv_img_src_get_type(c.src), c.type);
    }
}

TEST_F(ImgDecoder, NewestDecoderIsAskedFirst) {
    register_app_decoders();
    lv_img_header_t header;
    ASSERT_EQ(lv_img_decoder_get_info("A:pic.app", &header), LV_RES_OK);
    EXPECT_EQ(header.w, 1u);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"newer info", "older info"}));

    g_calls.clear();
    g_newer_accepts_info = true;
    ASSERT_EQ(lv_img_decoder_get_info("A:pic.app", &header), LV_RES_OK);
    EXPECT_EQ(header.w, 77u);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"newer info"}));
}

TEST_F(ImgDecoder, FailedOpenFallsThroughWithClearedFields) {
    register_app_decoders();
    g_newer_accepts_info = true;
    char path[] = "A:pic.app";
    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, path, lv_color_black(), 0), LV_RES_OK);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"newer info", "newer open", "older info", "older open"}));
    EXPECT_TRUE(g_header_was_clear);
    EXPECT_TRUE(g_fields_were_clear);
    EXPECT_EQ(dsc.header.w, 1u);
    EXPECT_EQ(dsc.header.cf, (uint32_t)LV_IMG_CF_TRUE_COLOR);
    EXPECT_EQ(dsc.error_msg, nullptr);
    EXPECT_EQ(dsc.src_type, LV_IMG_SRC_FILE);

    // The descriptor holds its own copy of the path.
    EXPECT_NE(dsc.src, (const void*)path);
    path[2] = 'X';
    EXPECT_STREQ((const char*)dsc.src, "A:pic.app");

    g_calls.clear();
    lv_img_decoder_close(&dsc);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"close"}));
    EXPECT_EQ(dsc.src, nullptr);
}

TEST_F(ImgDecoder, NothingOpensLeavesAZeroedDescriptor) {
    register_app_decoders();
    lv_img_decoder_dsc_t dsc;
    std::memset(&dsc, 0xA5, sizeof(dsc));
    EXPECT_EQ(lv_img_decoder_open(&dsc, "A:pic.unknown", lv_color_black(), 3), LV_RES_INV);
    EXPECT_EQ(dsc.decoder, nullptr);
    EXPECT_EQ(dsc.src, nullptr);
    EXPECT_EQ(dsc.img_data, nullptr);

    lv_img_header_t header;
    std::memset(&header, 0xFF, sizeof(header));
    EXPECT_EQ(lv_img_decoder_get_info("A:pic.unknown", &header), LV_RES_INV);
    EXPECT_EQ(header.w, 0u);
    EXPECT_EQ(header.h, 0u);
    EXPECT_EQ(header.cf, 0u);
    EXPECT_EQ(lv_img_decoder_get_info(nullptr, &header), LV_RES_INV);
}

TEST_F(ImgDecoder, DeletedAndIncompleteDecodersAreNotAsked) {
    register_app_decoders();
    lv_img_decoder_delete(newer);
    lv_img_header_t header;
    lv_img_decoder_get_info("A:pic.app", &header);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"older info"}));

    // Without an open callback a decoder still answers info, but open skips it.
    g_calls.clear();
    lv_img_decoder_t* info_only = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(info_only, newer_info);
    g_newer_accepts_info = true;
    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, "A:pic.app", lv_color_black(), 0), LV_RES_OK);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"older info", "older open"}));
    lv_img_decoder_close(&dsc);
}

TEST_F(ImgDecoder, BuiltInDecodesTrueColourVariablesInPlace) {
    static const uint32_t px[6] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80000000, 0, 0xFFFFFFFF};
    const lv_img_dsc_t img = {
        {LV_IMG_CF_TRUE_COLOR_ALPHA, 0, 0, 3, 2}, sizeof(px), reinterpret_cast<const uint8_t*>(px)};
    lv_img_header_t header;
    ASSERT_EQ(lv_img_decoder_get_info(&img, &header), LV_RES_OK);
    EXPECT_EQ(header.w, 3u);
    EXPECT_EQ(header.h, 2u);
    EXPECT_EQ(header.cf, (uint32_t)LV_IMG_CF_TRUE_COLOR_ALPHA);

    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, &img, lv_color_black(), 0), LV_RES_OK);
    EXPECT_EQ(dsc.img_data, img.data);
    EXPECT_EQ(dsc.src, (const void*)&img);
    lv_img_decoder_close(&dsc);

    // Data shorter than the header promises is refused rather than read past its end.
    lv_img_dsc_t short_img = img;
    short_img.data_size = sizeof(px) - 4;
    EXPECT_EQ(lv_img_decoder_open(&dsc, &short_img, lv_color_black(), 0), LV_RES_INV);
    lv_img_dsc_t no_data = img;
    no_data.data = nullptr;
    EXPECT_EQ(lv_img_decoder_get_info(&no_data, &header), LV_RES_INV);
}

TEST_F(ImgDecoder, BuiltInExpandsIndexed1Bit) {
    // 10 x 2: palette, then two bytes per row (the last 6 bits are padding), MSB = leftmost pixel.
    const lv_color_t dark = lv_color_hex(0x102030), light = lv_color_hex(0xF0E0D0);
    uint8_t data[8 + 4];
    std::memcpy(data, &light, 4);
    std::memcpy(data + 4, &dark, 4);
    const uint8_t rows[4] = {0b10110000, 0b01111111, 0b00000001, 0b10000000};
    std::memcpy(data + 8, rows, sizeof(rows));
    const lv_img_dsc_t img = {{LV_IMG_CF_INDEXED_1BIT, 0, 0, 10, 2}, sizeof(data), data};
    const char* expect[2] = {"1011000001", "0000000110"};

    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, &img, lv_color_black(), 0), LV_RES_OK);
    ASSERT_NE(dsc.img_data, nullptr);
    const auto* out = reinterpret_cast<const lv_color_t*>(dsc.img_data);
    for (int y = 0; y < 2; y++) {
        for (int x = 0; x < 10; x++) {
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(out[y * 10 + x].full, (expect[y][x] == '1' ? dark : light).full);
        }
    }
    lv_img_decoder_close(&dsc);

    lv_img_dsc_t short_img = img;
    short_img.data_size = sizeof(data) - 1;
    EXPECT_EQ(lv_img_decoder_open(&dsc, &short_img, lv_color_black(), 0), LV_RES_INV);
}

TEST_F(ImgDecoder, BuiltInReadsBinFilesLineByLine) {
    const lv_img_header_t h = {LV_IMG_CF_TRUE_COLOR, 0, 0, 4, 3};
    std::vector<uint32_t> px(12);
    for (uint32_t i = 0; i < px.size(); i++) px[i] = 0xFF000000u | i;
    const std::string path = sd_test_out_path("img/pic.bin");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(&h, sizeof(h), 1, f);
    std::fwrite(px.data(), 4, px.size(), f);
    std::fclose(f);
    const std::string src = "A:" + path;

    lv_img_header_t info;
    ASSERT_EQ(lv_img_decoder_get_info(src.c_str(), &info), LV_RES_OK);
    EXPECT_EQ(info.w, 4u);
    EXPECT_EQ(info.h, 3u);

    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, src.c_str(), lv_color_black(), 0), LV_RES_OK);
    EXPECT_EQ(dsc.img_data, nullptr);
    uint32_t line[2] = {};
    ASSERT_EQ(lv_img_decoder_read_line(&dsc, 1, 2, 2, reinterpret_cast<uint8_t*>(line)), LV_RES_OK);
    EXPECT_EQ(line[0], px[2 * 4 + 1]);
    EXPECT_EQ(line[1], px[2 * 4 + 2]);
    EXPECT_EQ(lv_img_decoder_read_line(&dsc, 3, 0, 2, reinterpret_cast<uint8_t*>(line)), LV_RES_INV);
    EXPECT_EQ(lv_img_decoder_read_line(&dsc, 0, 3, 1, reinterpret_cast<uint8_t*>(line)), LV_RES_INV);
    lv_img_decoder_close(&dsc);

    // The extension is matched exactly.
    const std::string upper = sd_test_out_path("img/pic.BIN");
    std::rename(path.c_str(), upper.c_str());
    EXPECT_EQ(lv_img_decoder_get_info(("A:" + upper).c_str(), &info), LV_RES_INV);
}

} // namespace
