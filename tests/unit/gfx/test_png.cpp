// The PNG decoder: which files it takes, what it reports and decodes, and how it fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <lodepng.h>

#include "gfx_fixture.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/img/img_internal.h"
#include "../../../gfx/src/misc/misc_internal.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A w x h RGBA PNG whose pixel (x, y) is (x*10, y*10, 100+x, 50+y).
Bytes encode_png(unsigned w, unsigned h) {
    std::vector<unsigned char> rgba(w * h * 4);
    for (unsigned y = 0; y < h; y++) {
        for (unsigned x = 0; x < w; x++) {
            unsigned char* p = &rgba[(y * w + x) * 4];
            p[0] = (unsigned char)(x * 10);
            p[1] = (unsigned char)(y * 10);
            p[2] = (unsigned char)(100 + x);
            p[3] = (unsigned char)(50 + y);
        }
    }
    unsigned char* out = nullptr;
    size_t size = 0;
    EXPECT_EQ(lodepng_encode32(&out, &size, rgba.data(), w, h), 0u);
    Bytes png(out, out + size);
    std::free(out);
    return png;
}

void put_be32(Bytes& b, size_t at, uint32_t v) {
    b[at] = (uint8_t)(v >> 24);
    b[at + 1] = (uint8_t)(v >> 16);
    b[at + 2] = (uint8_t)(v >> 8);
    b[at + 3] = (uint8_t)v;
}

// Writes the bytes to a file below the test output directory; returns its "A:" path.
std::string write_file(const std::string& name, const Bytes& bytes) {
    const std::string path = sd_test_out_path("img/" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    return "A:" + path;
}

class Png : public ::testing::Test {
  protected:
    StdoutLog log;
    void SetUp() override { gfx_test_image_stack_init(); }
    void TearDown() override {
        gfx_img_reset();
        gfx_fs_reset();
    }
};

TEST_F(Png, InfoAcceptsOnlyWellFormedPngFiles) {
    const Bytes good = encode_png(3, 2);
    Bytes zero_w = good, too_wide = good, bad_sig = good, not_ihdr = good;
    put_be32(zero_w, 16, 0);
    put_be32(too_wide, 16, 3000);
    bad_sig[1] = 'Q';
    not_ihdr[12] = 'X';

    struct Case {
        const char* name;
        std::string src;
        bool ok;
    } cases[] = {
        {"3x2 png", write_file("ok.png", good), true},
        {"upper-case extension", write_file("ok.PNG", good), false},
        {"no extension", write_file("okpng", good), false},
        {"missing file", "A:" + sd_test_out_path("img/none.png"), false},
        {"empty file", write_file("empty.png", {}), false},
        {"cut inside IHDR", write_file("cut.png", Bytes(good.begin(), good.begin() + 20)), false},
        {"width 0", write_file("w0.png", zero_w), false},
        {"width 3000", write_file("w3000.png", too_wide), false},
        {"bad signature", write_file("sig.png", bad_sig), false},
        {"first chunk not IHDR", write_file("chunk.png", not_ihdr), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lv_img_header_t h;
        ASSERT_EQ(lv_img_decoder_get_info(c.src.c_str(), &h), c.ok ? LV_RES_OK : LV_RES_INV);
        if (c.ok) {
            EXPECT_EQ(h.w, 3u);
            EXPECT_EQ(h.h, 2u);
            EXPECT_EQ(h.cf, (uint32_t)LV_IMG_CF_TRUE_COLOR_ALPHA);
        }
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Png, OpenDecodesToBlueGreenRedAlpha) {
    const std::string src = write_file("px.png", encode_png(4, 3));
    lv_img_decoder_dsc_t dsc;
    ASSERT_EQ(lv_img_decoder_open(&dsc, src.c_str(), lv_color_black(), 0), LV_RES_OK);
    ASSERT_NE(dsc.img_data, nullptr);
    EXPECT_EQ(dsc.header.w, 4u);
    EXPECT_EQ(dsc.header.h, 3u);
    const auto* px = reinterpret_cast<const lv_color_t*>(dsc.img_data);
    for (unsigned y = 0; y < 3; y++) {
        for (unsigned x = 0; x < 4; x++) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const lv_color_t c = px[y * 4 + x];
            EXPECT_EQ(c.ch.red, x * 10);
            EXPECT_EQ(c.ch.green, y * 10);
            EXPECT_EQ(c.ch.blue, 100 + x);
            EXPECT_EQ(c.ch.alpha, 50 + y);
        }
    }
    lv_img_decoder_close(&dsc);
    EXPECT_EQ(dsc.img_data, nullptr);
}

TEST_F(Png, DecodeErrorIsLoggedWithLodepngText) {
    // The header survives, so info accepts the file; the image data does not.
    const Bytes good = encode_png(5, 5);
    const Bytes cut(good.begin(), good.begin() + 40);
    const std::string src = write_file("trunc.png", cut);

    unsigned char* out = nullptr;
    unsigned w = 0, h = 0;
    const unsigned err = lodepng_decode32(&out, &w, &h, cut.data(), cut.size());
    std::free(out);
    ASSERT_NE(err, 0u);

    lv_img_header_t info;
    ASSERT_EQ(lv_img_decoder_get_info(src.c_str(), &info), LV_RES_OK);
    lv_img_decoder_dsc_t dsc;
    EXPECT_EQ(lv_img_decoder_open(&dsc, src.c_str(), lv_color_black(), 0), LV_RES_INV);
    // The message ends in a line break of its own, so the log line takes two printed lines.
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    const std::string msg = "error " + std::to_string(err) + ": " + lodepng_error_text(err);
    EXPECT_EQ(lines[0].rfind("[Warn]\t", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(msg), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind(" \t(in lv_png.cpp", 0), 0u) << lines[1];
}

TEST_F(Png, OversizedFileIsNotRead) {
    // A valid 2x2 image padded past the size limit: the header is fine, the file is refused whole.
    const std::string src = write_file("huge.png", encode_png(2, 2));
    std::filesystem::resize_file(src.substr(2), 17u * 1024u * 1024u);
    lv_img_header_t info;
    EXPECT_EQ(lv_img_decoder_get_info(src.c_str(), &info), LV_RES_OK);
    lv_img_decoder_dsc_t dsc;
    EXPECT_EQ(lv_img_decoder_open(&dsc, src.c_str(), lv_color_black(), 0), LV_RES_INV);
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
