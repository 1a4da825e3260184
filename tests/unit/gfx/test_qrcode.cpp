// QR codes: the sizing rule (version, module size and margin for a size and a data length), and the
// widget's pixels read back as a module grid and compared with qrcodegen's own code for the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <qrcodegen.h>

#include "gfx_fixture.h"
#include "lvgl.h"

#include "../../../gfx/src/extra/qr_render.h"

namespace {

// `len` bytes of varied printable text.
std::string text_of(size_t len) {
    std::string s;
    for (size_t i = 0; i < len; i++) s += (char)('!' + (i * 37 + i / 5) % 90);
    return s;
}

// Encodes `text` with qrcodegen at exactly one version, ECC and mask; empty when it does not fit.
std::vector<uint8_t> reference_code(const std::string& text, int version, qrcodegen_Ecc ecc, int mask) {
    std::vector<uint8_t> temp(qrcodegen_BUFFER_LEN_MAX), code(qrcodegen_BUFFER_LEN_MAX);
    if (!text.empty()) std::memcpy(temp.data(), text.data(), text.size());
    if (!qrcodegen_encodeBinary(temp.data(), text.size(), code.data(), ecc, version, version,
                                (qrcodegen_Mask)mask, false)) {
        return {};
    }
    return code;
}

// The most bytes qrcodegen fits into `version` at ECC MEDIUM.
uint32_t medium_capacity(int version) {
    uint32_t lo = 0, hi = qrcodegen_BUFFER_LEN_MAX;
    while (lo < hi) {
        const uint32_t mid = (lo + hi + 1) / 2;
        if (!reference_code(std::string(mid, 'x'), version, qrcodegen_Ecc_MEDIUM, 0).empty()) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

/* ---- Reading a code from pixels ----------------------------------------------------------------- */

struct Grid {
    int left = 0, top = 0; // first pixel of the code
    int scale = 0;
    int modules = 0;
    std::vector<bool> dark; // modules x modules
    bool at(int x, int y) const { return dark[(size_t)(y * modules + x)]; }
};

// Finds the code in a size x size picture: the dark pixels' bounding box is the code (finder
// patterns sit in three corners), the top-left finder's 7-module edge gives the module size, and each
// module is read at its centre. Fails unless every pixel of every module agrees with its centre and
// everything around the code is light.
bool read_grid(const std::function<bool(int, int)>& dark_at, int size, Grid* g) {
    int x1 = size, y1 = size, x2 = -1, y2 = -1;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            if (!dark_at(x, y)) continue;
            x1 = std::min(x1, x);
            y1 = std::min(y1, y);
            x2 = std::max(x2, x);
            y2 = std::max(y2, y);
        }
    }
    if (x2 < 0 || x2 - x1 != y2 - y1) return false;
    int run = 0;
    while (x1 + run <= x2 && dark_at(x1 + run, y1)) run++;
    if (run % 7 != 0) return false;
    g->left = x1;
    g->top = y1;
    g->scale = run / 7;
    if ((x2 - x1 + 1) % g->scale != 0) return false;
    g->modules = (x2 - x1 + 1) / g->scale;
    g->dark.assign((size_t)g->modules * g->modules, false);
    for (int my = 0; my < g->modules; my++) {
        for (int mx = 0; mx < g->modules; mx++) {
            g->dark[(size_t)(my * g->modules + mx)] =
                dark_at(x1 + mx * g->scale + g->scale / 2, y1 + my * g->scale + g->scale / 2);
        }
    }
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const bool inside = x >= x1 && x <= x2 && y >= y1 && y <= y2;
            const bool want = inside && g->at((x - x1) / g->scale, (y - y1) / g->scale);
            if (dark_at(x, y) != want) return false;
        }
    }
    return true;
}

bool same_modules(const Grid& g, const std::vector<uint8_t>& code) {
    if (code.empty() || qrcodegen_getSize(code.data()) != g.modules) return false;
    for (int y = 0; y < g.modules; y++) {
        for (int x = 0; x < g.modules; x++) {
            if (qrcodegen_getModule(code.data(), x, y) != g.at(x, y)) return false;
        }
    }
    return true;
}

const char* ecc_name(int ecc) {
    static const char* names[] = {"LOW", "MEDIUM", "QUARTILE", "HIGH"};
    return names[ecc];
}

// Checks that `g` is the code of `text` at `version`: some ECC level and mask make qrcodegen draw the
// same modules, and that level is the highest the version holds the text at.
void expect_code_of(const Grid& g, const std::string& text, int version) {
    int found_ecc = -1;
    for (int ecc = qrcodegen_Ecc_LOW; ecc <= qrcodegen_Ecc_HIGH && found_ecc < 0; ecc++) {
        for (int mask = 0; mask < 8; mask++) {
            if (same_modules(g, reference_code(text, version, (qrcodegen_Ecc)ecc, mask))) {
                found_ecc = ecc;
                break;
            }
        }
    }
    ASSERT_GE(found_ecc, 0) << "the modules are not the code of the text at version " << version;
    int best = qrcodegen_Ecc_MEDIUM;
    while (best < qrcodegen_Ecc_HIGH && !reference_code(text, version, (qrcodegen_Ecc)(best + 1), 0).empty())
        best++;
    EXPECT_STREQ(ecc_name(found_ecc), ecc_name(best));
}

/* ---- The sizing rule ------------------------------------------------------------------------------ */

TEST(QrRender, VersionIsTheSmallestWhoseMediumByteCapacityHoldsTheData) {
    // At a size of exactly one version's modules the code must be that version, one module per pixel;
    // one byte more needs a larger version that no longer fits.
    std::vector<uint8_t> bits;
    for (int v = 1; v <= 40; v++) {
        SCOPED_TRACE("version " + std::to_string(v));
        const int size = 4 * v + 17;
        const uint32_t cap = medium_capacity(v);
        bits.assign(gfx::qr_row_bytes(size) * size, 0);
        const std::string full = text_of(cap);
        gfx::QrLayout l;
        ASSERT_TRUE(gfx::qr_render(bits.data(), size, (const uint8_t*)full.data(), cap, &l));
        EXPECT_EQ(l.version, v);
        EXPECT_EQ(l.scale, 1);
        EXPECT_EQ(l.margin, 0);
        const std::string over = text_of(cap + 1);
        EXPECT_FALSE(gfx::qr_render(bits.data(), size, (const uint8_t*)over.data(), cap + 1, &l));
    }
}

TEST(QrRender, MeasuredLayouts) {
    struct Case {
        int size;
        uint32_t len;
        int version; // 0: nothing fits, the square stays light
        int scale;
        int margin;
    };
    const Case cases[] = {
        {100, 10, 2, 4, 0},   {120, 10, 1, 5, 7},      {150, 10, 1, 7, 1},   {150, 60, 5, 4, 1},
        {160, 120, 9, 3, 0},  {200, 30, 4, 6, 1},      {21, 10, 1, 1, 0},    {20, 10, 0, 0, 0},
        {150, 2331, 0, 0, 0}, {1000, 2331, 40, 5, 57}, {150, 2332, 0, 0, 0}, {150, 5000, 0, 0, 0},
        {100, 0, 2, 4, 0},    {21, 0, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + ", " + std::to_string(c.len) + " bytes");
        const std::string text = text_of(c.len);
        std::vector<uint8_t> bits(gfx::qr_row_bytes(c.size) * c.size, 0);
        gfx::QrLayout l;
        const bool ok = gfx::qr_render(bits.data(), c.size, (const uint8_t*)text.data(), c.len, &l);
        EXPECT_EQ(ok, c.version != 0);
        EXPECT_EQ(l.version, c.version);
        EXPECT_EQ(l.scale, c.scale);
        EXPECT_EQ(l.margin, c.margin);

        auto dark_at = [&](int x, int y) {
            return ((bits[(size_t)y * gfx::qr_row_bytes(c.size) + x / 8] >> (7 - x % 8)) & 1) == 0;
        };
        Grid g;
        if (!ok) {
            for (int y = 0; y < c.size; y++) {
                for (int x = 0; x < c.size; x++) ASSERT_FALSE(dark_at(x, y)) << x << "," << y;
            }
            continue;
        }
        ASSERT_TRUE(read_grid(dark_at, c.size, &g));
        EXPECT_EQ(g.left, c.margin);
        EXPECT_EQ(g.top, c.margin);
        EXPECT_EQ(g.scale, c.scale);
        expect_code_of(g, text, c.version);
    }
}

/* ---- The widget --------------------------------------------------------------------------------- */

class QrCodeWidget : public GfxFixture {
  protected:
    static constexpr lv_coord_t kX = 30, kY = 20;
    static constexpr uint32_t kScreen = 0xFF0000, kDark = 0x102030, kLight = 0xF0E0D0;

    void SetUp() override {
        GfxFixture::SetUp();
        lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(kScreen), 0);
    }

    lv_obj_t* make(lv_coord_t size) {
        lv_obj_t* qr = lv_qrcode_create(lv_scr_act(), size, lv_color_hex(kDark), lv_color_hex(kLight));
        lv_obj_set_pos(qr, kX, kY);
        return qr;
    }

    // Reads the widget's square back; every pixel must be the dark or the light colour and the
    // pixels just outside it the screen's.
    std::vector<bool> shown_dark(lv_coord_t size) {
        refresh();
        std::vector<bool> dark((size_t)size * size);
        for (lv_coord_t y = 0; y < size; y++) {
            for (lv_coord_t x = 0; x < size; x++) {
                const uint32_t c = pixel(kX + x, kY + y);
                EXPECT_TRUE(c == kDark || c == kLight) << std::hex << c << " at " << x << "," << y;
                dark[(size_t)(y * size + x)] = c == kDark;
            }
        }
        EXPECT_EQ(pixel(kX - 1, kY), kScreen);
        EXPECT_EQ(pixel(kX + size, kY + size - 1), kScreen);
        EXPECT_EQ(pixel(kX, kY + size), kScreen);
        return dark;
    }
};

TEST_F(QrCodeWidget, TextsAtSize100ReadBackOrStayBlank) {
    struct Case {
        uint32_t len;
        int version; // 0: too long for 100 pixels, blank
        int scale;
        int margin;
    };
    const Case cases[] = {{0, 2, 4, 0}, {5, 2, 4, 0}, {1000, 0, 0, 0}, {20, 2, 4, 0}, {120, 8, 2, 1}};
    lv_obj_t* qr = make(100);
    lv_obj_update_layout(qr);
    EXPECT_EQ(lv_obj_get_width(qr), 100);
    EXPECT_EQ(lv_obj_get_height(qr), 100);

    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.len) + " bytes");
        // Start from a code, so a failed update must clear it.
        ASSERT_EQ(lv_qrcode_update(qr, "ERROR", 5), LV_RES_OK);
        const std::string text = text_of(c.len);
        // Status messages repeat their text: the second update of the same text must agree.
        for (int i = 0; i < 2; i++) {
            EXPECT_EQ(lv_qrcode_update(qr, text.data(), c.len), c.version != 0 ? LV_RES_OK : LV_RES_INV);
        }

        const std::vector<bool> dark = shown_dark(100);
        Grid g;
        const bool found =
            read_grid([&](int x, int y) { return (bool)dark[(size_t)(y * 100 + x)]; }, 100, &g);
        if (c.version == 0) {
            EXPECT_EQ(std::count(dark.begin(), dark.end(), true), 0);
            continue;
        }
        ASSERT_TRUE(found);
        EXPECT_EQ(g.modules, 4 * c.version + 17);
        EXPECT_EQ(g.scale, c.scale);
        EXPECT_EQ(g.left, c.margin);
        EXPECT_EQ(g.top, c.margin);
        expect_code_of(g, text, c.version);
    }
}

TEST_F(QrCodeWidget, UnusableInputLeavesALightSquare) {
    const uint32_t children = lv_obj_get_child_cnt(lv_scr_act());
    lv_obj_t* small = make(20);
    EXPECT_EQ(lv_qrcode_update(small, "0123456789", 10), LV_RES_INV); // version 1 needs 21 pixels
    const std::vector<bool> dark = shown_dark(20);
    EXPECT_EQ(std::count(dark.begin(), dark.end(), true), 0);
    lv_qrcode_delete(small);
    EXPECT_EQ(lv_obj_get_child_cnt(lv_scr_act()), children);

    lv_obj_t* qr = make(100);
    const std::string huge(qrcodegen_BUFFER_LEN_MAX + 1, 'x');
    ASSERT_EQ(lv_qrcode_update(qr, "ERROR", 5), LV_RES_OK);
    EXPECT_EQ(lv_qrcode_update(qr, huge.data(), (uint32_t)huge.size()), LV_RES_INV);
    EXPECT_EQ(lv_qrcode_update(qr, nullptr, 4), LV_RES_INV);
    const std::vector<bool> after = shown_dark(100);
    EXPECT_EQ(std::count(after.begin(), after.end(), true), 0);
    // The same text as before the failures is drawn again.
    ASSERT_EQ(lv_qrcode_update(qr, "ERROR", 5), LV_RES_OK);
    const std::vector<bool> again = shown_dark(100);
    EXPECT_GT(std::count(again.begin(), again.end(), true), 0);
}

} // namespace
