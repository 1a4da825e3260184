// QR codes: the sizing rule (version, module size and margin for a size and a data length), and the
// drawn pixels read back as a module grid and compared with qrcodegen's own code for the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <qrcodegen.h>

#include "gfx_fixture.h"

#include "../../../gfx/src/extra/qr_render.h"

namespace {

// `len` bytes of varied printable text.
std::string text_of(size_t len) {
    std::string s;
    for (size_t i = 0; i < len; i++) s += (char)('!' + (i * 37 + i / 5) % 90);
    return s;
}

// qrcodegen's code for `text` at exactly one version, ECC level and mask; empty when it does not fit.
std::vector<uint8_t> reference_code(const std::string& text, int version, int ecc, int mask) {
    std::vector<uint8_t> temp(qrcodegen_BUFFER_LEN_MAX), code(qrcodegen_BUFFER_LEN_MAX);
    std::copy(text.begin(), text.end(), temp.begin());
    if (!qrcodegen_encodeBinary(temp.data(), text.size(), code.data(), (qrcodegen_Ecc)ecc, version, version,
                                (qrcodegen_Mask)mask, false))
        return {};
    return code;
}

// The code read from a size x size picture: the dark pixels' bounding box is the code (finder
// patterns sit in three corners), the top-left finder's 7-module edge gives the module size, each
// module is read at its centre. Empty unless every pixel agrees with its module and all around is light.
struct Grid {
    int left = 0, scale = 0, modules = 0;
    std::vector<bool> dark;
};
Grid read_grid(const std::function<bool(int, int)>& dark_at, int size) {
    int x1 = size, y1 = size, x2 = -1, y2 = -1;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            if (dark_at(x, y))
                x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
    Grid g;
    int run = 0;
    while (x1 + run <= x2 && dark_at(x1 + run, y1)) run++;
    if (x2 < 0 || x1 != y1 || x2 - x1 != y2 - y1 || run % 7 != 0 || (x2 - x1 + 1) % (run / 7) != 0) return {};
    g.left = x1, g.scale = run / 7, g.modules = (x2 - x1 + 1) / g.scale;
    for (int m = 0; m < g.modules * g.modules; m++)
        g.dark.push_back(dark_at(x1 + (m % g.modules) * g.scale + g.scale / 2,
                                 y1 + (m / g.modules) * g.scale + g.scale / 2));
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const bool inside = x >= x1 && x <= x2 && y >= y1 && y <= y2;
            if (dark_at(x, y) !=
                (inside && g.dark[(size_t)((y - y1) / g.scale * g.modules + (x - x1) / g.scale)]))
                return {};
        }
    }
    return g;
}

// The ECC level at which some mask makes qrcodegen draw the same modules, or -1.
int ecc_of(const Grid& g, const std::string& text, int version) {
    for (int ecc = qrcodegen_Ecc_LOW; ecc <= qrcodegen_Ecc_HIGH; ecc++) {
        for (int mask = 0; mask < 8; mask++) {
            const std::vector<uint8_t> code = reference_code(text, version, ecc, mask);
            if (code.empty() || qrcodegen_getSize(code.data()) != g.modules) continue;
            bool same = true;
            for (int m = 0; m < g.modules * g.modules && same; m++)
                same = qrcodegen_getModule(code.data(), m % g.modules, m / g.modules) == g.dark[(size_t)m];
            if (same) return ecc;
        }
    }
    return -1;
}

// `g` must be the code of `text` at `version` with the highest ECC level that version holds it at.
void expect_code_of(const Grid& g, const std::string& text, int version) {
    int best = qrcodegen_Ecc_MEDIUM;
    while (best < qrcodegen_Ecc_HIGH && !reference_code(text, version, best + 1, 0).empty()) best++;
    EXPECT_EQ(ecc_of(g, text, version), best) << "version " << version;
}

TEST(QrRender, LayoutsMeasuredWithLvgl) {
    const struct {
        int size;
        uint32_t len;
        int version, scale, margin; // version 0: nothing fits, the square stays light
    } cases[] = {
        {100, 10, 2, 4, 0},  {120, 10, 1, 5, 7},      {150, 10, 1, 7, 1},   {150, 60, 5, 4, 1},
        {160, 120, 9, 3, 0}, {200, 30, 4, 6, 1},      {21, 10, 1, 1, 0},    {20, 10, 0, 0, 0},
        {100, 0, 2, 4, 0},   {1000, 2331, 40, 5, 57}, {150, 2331, 0, 0, 0}, {150, 5000, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + ", " + std::to_string(c.len) + " bytes");
        const std::string text = text_of(c.len);
        const uint32_t row_bytes = gfx::qr_row_bytes(c.size);
        std::vector<uint8_t> bits(row_bytes * c.size, 0);
        gfx::QrLayout l;
        EXPECT_EQ(gfx::qr_render(bits.data(), c.size, (const uint8_t*)text.data(), c.len, &l),
                  c.version != 0);
        EXPECT_EQ((std::vector<int>{l.version, l.scale, l.margin}),
                  (std::vector<int>{c.version, c.scale, c.margin}));
        auto dark_at = [&](int x, int y) {
            return ((bits[(size_t)y * row_bytes + x / 8] >> (7 - x % 8)) & 1) == 0;
        };
        const Grid g = read_grid(dark_at, c.size);
        EXPECT_EQ(g.modules, c.version ? 4 * c.version + 17 : 0) << "nothing dark when nothing fits";
        if (c.version == 0) continue;
        EXPECT_EQ((std::vector<int>{g.left, g.scale}), (std::vector<int>{c.margin, c.scale}));
        expect_code_of(g, text, c.version);
    }
}

class QrCodeWidget : public GfxFixture {};

TEST_F(QrCodeWidget, DrawsTheCodeInItsColoursOrALightSquare) {
    constexpr uint32_t kScreen = 0xFF0000, kDark = 0x102030, kLight = 0xF0E0D0;
    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(kScreen), 0);
    lv_obj_t* qr = lv_qrcode_create(lv_scr_act(), 100, lv_color_hex(kDark), lv_color_hex(kLight));
    lv_obj_set_pos(qr, 30, 20);
    // Reads the square back; every pixel is the dark or the light colour, the screen all around.
    auto shown = [this, size = 100] {
        refresh();
        std::vector<bool> dark;
        for (int y = -1; y <= size; y++) {
            for (int x = -1; x <= size; x++) {
                const uint32_t c = pixel((lv_coord_t)(30 + x), (lv_coord_t)(20 + y));
                const bool inside = x >= 0 && y >= 0 && x < size && y < size;
                EXPECT_TRUE(inside ? c == kDark || c == kLight : c == kScreen)
                    << std::hex << c << " at " << x << "," << y;
                if (inside) dark.push_back(c == kDark);
            }
        }
        return read_grid([&dark, size](int x, int y) { return (bool)dark[(size_t)(y * size + x)]; }, size);
    };
    // Status messages repeat their text: the second update of the same text must agree.
    const std::string text = text_of(120);
    for (int i = 0; i < 2; i++) EXPECT_EQ(lv_qrcode_update(qr, text.data(), 120), LV_RES_OK);
    const Grid g = shown();
    EXPECT_EQ((std::vector<int>{g.modules, g.left, g.scale}), (std::vector<int>{4 * 8 + 17, 1, 2}));
    expect_code_of(g, text, 8);
    // Too long for 100 pixels: a light square. Deleting the widget leaves nothing behind.
    EXPECT_EQ(lv_qrcode_update(qr, text_of(1000).data(), 1000), LV_RES_INV);
    EXPECT_EQ(shown().modules, 0);
    lv_qrcode_delete(qr);
    EXPECT_EQ(lv_obj_get_child_cnt(lv_scr_act()), 0u);
}

} // namespace
