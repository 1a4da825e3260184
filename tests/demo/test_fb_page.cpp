// The desktop viewer's page reader: the visible page of a fake framebuffer file in every depth the
// display driver writes, at the current pan offsets, and files it must refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fakefb_shm.h"
#include "fb_page.h"

namespace {

constexpr uint32_t kDataOffset = 4096;

// A fake framebuffer file: w x h visible, two pages, `pad` spare bytes at the end of every line.
struct FakeFile {
    FakeFile(uint32_t bpp, uint32_t w, uint32_t h, uint32_t pad = 0) {
        hdr.magic = FAKEFB_MAGIC;
        hdr.version = FAKEFB_VERSION;
        hdr.data_offset = kDataOffset;
        hdr.xres = hdr.xres_virtual = w;
        hdr.yres = h;
        hdr.yres_virtual = 2 * h;
        hdr.bits_per_pixel = bpp;
        hdr.line_length = (bpp == 24 ? w * 4 : (w * bpp + 7) / 8) + pad;
        hdr.smem_len = hdr.line_length * hdr.yres_virtual;
        bytes.assign(kDataOffset + hdr.smem_len, 0);
    }
    uint8_t* at(uint32_t x, uint32_t y, uint32_t pixel_bytes) {
        return &bytes[kDataOffset + size_t(y) * hdr.line_length + size_t(x) * pixel_bytes];
    }
    FbPage read(bool* ok = nullptr) {
        std::memcpy(bytes.data(), &hdr, sizeof hdr);
        FbPage page;
        const bool res = fb_page_read(bytes.data(), bytes.size(), &page);
        if (ok != nullptr) *ok = res;
        return page;
    }
    fakefb_header hdr{};
    std::vector<uint8_t> bytes;
};

TEST(FbPage, ReadsEveryDepthAtTheVisiblePage) {
    struct Case {
        uint32_t bpp;
        uint32_t written;  // the pixel as the driver stores it (little-endian, low bytes used)
        uint32_t expected; // 0xRRGGBB
    };
    const Case cases[] = {
        {32, 0xFF123456, 0x123456}, // B G R A in memory
        {24, 0x00ABCDEF, 0xABCDEF}, // 4-byte pixels as well
        {16, 0xF800, 0xFF0000},     // RGB565 red
        {16, 0x07E0, 0x00FF00},     // green, 6 bits
        {16, 0x0010, 0x000083},     // about half of blue: 16 * 255 / 31, rounded down
        {8, 0xE0, 0xFF0000},        // RGB332 red
        {8, 0x03, 0x0000FF},        // blue, 2 bits
        {8, 0x1C, 0x00FF00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bpp, pixel 0x" << std::hex << c.written);
        FakeFile f(c.bpp, 8, 4, 3);
        const uint32_t bytes = c.bpp == 24 ? 4 : c.bpp / 8;
        // The visible page is the second one: the same spot on the first page must not show.
        f.hdr.yoffset = 4;
        std::memcpy(f.at(5, 4 + 2, bytes), &c.written, bytes);
        std::memcpy(f.at(6, 2, bytes), &c.written, bytes);
        const FbPage page = f.read();
        ASSERT_EQ(page.w, 8u);
        ASSERT_EQ(page.h, 4u);
        ASSERT_EQ(page.px.size(), 32u);
        EXPECT_EQ(page.px[2 * 8 + 5], c.expected);
        EXPECT_EQ(page.px[2 * 8 + 6], 0u);
        EXPECT_EQ(page.px[0], 0u);
    }
}

TEST(FbPage, ReadsOneBitPixelsLowestBitFirstAndHorizontalOffsets) {
    FakeFile f(1, 16, 2);
    f.hdr.xoffset = 0;
    f.bytes[kDataOffset + 0] = 0x01;                 // (0, 0)
    f.bytes[kDataOffset + 1] = 0x80;                 // (15, 0)
    f.bytes[kDataOffset + f.hdr.line_length] = 0x04; // (2, 1)
    FbPage page = f.read();
    ASSERT_EQ(page.px.size(), 32u);
    EXPECT_EQ(page.px[0], 0xFFFFFFu);
    EXPECT_EQ(page.px[1], 0u);
    EXPECT_EQ(page.px[15], 0xFFFFFFu);
    EXPECT_EQ(page.px[16 + 2], 0xFFFFFFu);

    // A page further right starts with the pixel at the offset.
    FakeFile wide(32, 4, 2);
    wide.hdr.xres_virtual = 8;
    wide.hdr.line_length = 32;
    wide.hdr.smem_len = 32 * 4;
    wide.bytes.assign(kDataOffset + wide.hdr.smem_len, 0);
    wide.hdr.xoffset = 4;
    const uint32_t red = 0x00FF0000;
    std::memcpy(wide.at(4, 0, 4), &red, 4);
    page = wide.read();
    EXPECT_EQ(page.px[0], 0xFF0000u);
}

TEST(FbPage, RefusesWhatIsNoFramebufferAndKeepsTheLastPage) {
    FakeFile good(32, 4, 4);
    FbPage page = good.read();
    ASSERT_EQ(page.w, 4u);

    struct Case {
        const char* name;
        void (*spoil)(FakeFile&);
    };
    const Case cases[] = {
        {"wrong magic", [](FakeFile& f) { f.hdr.magic = 0; }},
        {"other version", [](FakeFile& f) { f.hdr.version = FAKEFB_VERSION + 1; }},
        {"data beyond the file", [](FakeFile& f) { f.hdr.data_offset = uint32_t(f.bytes.size() + 1); }},
        {"12 bits per pixel", [](FakeFile& f) { f.hdr.bits_per_pixel = 12; }},
        {"no width", [](FakeFile& f) { f.hdr.xres = 0; }},
        {"absurd height", [](FakeFile& f) { f.hdr.yres = 100000; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFile f(32, 4, 4);
        c.spoil(f);
        std::memcpy(f.bytes.data(), &f.hdr, sizeof f.hdr);
        EXPECT_FALSE(fb_page_read(f.bytes.data(), f.bytes.size(), &page));
        EXPECT_EQ(page.w, 4u); // untouched
    }
    const uint8_t tiny[8] = {};
    EXPECT_FALSE(fb_page_read(tiny, sizeof tiny, &page));
    EXPECT_FALSE(fb_page_read(nullptr, 0, &page));

    // A file cut short reads black where its memory ends.
    FakeFile cut(32, 4, 4);
    const uint32_t white = 0x00FFFFFF;
    std::memcpy(cut.at(0, 0, 4), &white, 4);
    std::memcpy(cut.at(3, 3, 4), &white, 4);
    std::memcpy(cut.bytes.data(), &cut.hdr, sizeof cut.hdr);
    ASSERT_TRUE(fb_page_read(cut.bytes.data(), kDataOffset + 16, &page));
    EXPECT_EQ(page.px[0], 0xFFFFFFu);
    EXPECT_EQ(page.px[15], 0u);
}

} // namespace
