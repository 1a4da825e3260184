// QR codes: the sizing rule (version, module size and margin for a size and a data length), and the
// drawn pixels compared with qrcodegen's own code for the text.
#include <gtest/gtest.h>

#include <algorithm>
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

// Counts the pixels of a size x size picture that differ from qrcodegen's code for `text` at `version`
// (ECC MEDIUM raised as far as the version holds the text, its best mask) drawn `scale` pixels a module
// from (margin, margin), light all around; version 0: all light.
int wrong_pixels(const std::function<bool(int, int)>& dark_at, int size, const std::string& text, int version,
                 int scale, int margin) {
    std::vector<uint8_t> temp(text.begin(), text.end()), code(qrcodegen_BUFFER_LEN_MAX);
    temp.resize(std::max(temp.size(), code.size()));
    const int modules =
        version > 0 && qrcodegen_encodeBinary(temp.data(), text.size(), code.data(), qrcodegen_Ecc_MEDIUM,
                                              version, version, qrcodegen_Mask_AUTO, true)
            ? qrcodegen_getSize(code.data())
            : 0;
    EXPECT_EQ(modules, version ? 4 * version + 17 : 0);
    int wrong = 0;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const int mx = x - margin, my = y - margin, end = modules * scale;
            const bool in = mx >= 0 && my >= 0 && mx < end && my < end;
            wrong += dark_at(x, y) != (in && qrcodegen_getModule(code.data(), mx / scale, my / scale));
        }
    }
    return wrong;
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
        EXPECT_EQ(wrong_pixels(dark_at, c.size, text, c.version, c.scale, c.margin), 0);
    }
}

class QrCodeWidget : public GfxFixture {};

TEST_F(QrCodeWidget, DrawsTheCodeInItsColoursOrALightSquare) {
    constexpr uint32_t kScreen = 0xFF0000, kDark = 0x102030, kLight = 0xF0E0D0;
    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(kScreen), 0);
    lv_obj_t* qr = lv_qrcode_create(lv_scr_act(), 100, lv_color_hex(kDark), lv_color_hex(kLight));
    lv_obj_set_pos(qr, 30, 20);
    // Every pixel of the square is the dark or the light colour, the screen all around.
    auto wrong = [this](const std::string& text, int version, int scale, int margin) {
        refresh();
        int odd = 0;
        for (lv_coord_t y = 19; y <= 120; y++)
            for (lv_coord_t x = 29; x <= 130; x++) {
                const bool inside = x >= 30 && y >= 20 && x < 130 && y < 120;
                odd += inside ? pixel(x, y) != kDark && pixel(x, y) != kLight : pixel(x, y) != kScreen;
            }
        auto dark_at = [this](int x, int y) {
            return pixel((lv_coord_t)(30 + x), (lv_coord_t)(20 + y)) == kDark;
        };
        return odd + wrong_pixels(dark_at, 100, text, version, scale, margin);
    };
    // Status messages repeat their text: the second update of the same text must agree.
    const std::string text = text_of(120);
    for (int i = 0; i < 2; i++) EXPECT_EQ(lv_qrcode_update(qr, text.data(), 120), LV_RES_OK);
    EXPECT_EQ(wrong(text, 8, 2, 1), 0);
    // Too long for 100 pixels: a light square. Deleting the widget leaves nothing behind.
    EXPECT_EQ(lv_qrcode_update(qr, text_of(1000).data(), 1000), LV_RES_INV);
    EXPECT_EQ(wrong("", 0, 0, 0), 0);
    lv_qrcode_delete(qr);
    EXPECT_EQ(lv_obj_get_child_cnt(lv_scr_act()), 0u);
}

} // namespace
