// Colour mixing and the Material Design palette.
#include "lv_color.h"
#include "lv_log.h"

namespace {

// One palette row: shades 50, 100, ..., 900 of the 2014 Material Design colours.
struct Shades {
    uint32_t s50, s100, s200, s300, s400, s500, s600, s700, s800, s900;
};

// Indexed by lv_palette_t.
constexpr Shades kPalette[_LV_PALETTE_LAST] = {
    {0xFFEBEE, 0xFFCDD2, 0xEF9A9A, 0xE57373, 0xEF5350, 0xF44336, 0xE53935, 0xD32F2F, 0xC62828, 0xB71C1C},
    {0xFCE4EC, 0xF8BBD0, 0xF48FB1, 0xF06292, 0xEC407A, 0xE91E63, 0xD81B60, 0xC2185B, 0xAD1457, 0x880E4F},
    {0xF3E5F5, 0xE1BEE7, 0xCE93D8, 0xBA68C8, 0xAB47BC, 0x9C27B0, 0x8E24AA, 0x7B1FA2, 0x6A1B9A, 0x4A148C},
    {0xEDE7F6, 0xD1C4E9, 0xB39DDB, 0x9575CD, 0x7E57C2, 0x673AB7, 0x5E35B1, 0x512DA8, 0x4527A0, 0x311B92},
    {0xE8EAF6, 0xC5CAE9, 0x9FA8DA, 0x7986CB, 0x5C6BC0, 0x3F51B5, 0x3949AB, 0x303F9F, 0x283593, 0x1A237E},
    {0xE3F2FD, 0xBBDEFB, 0x90CAF9, 0x64B5F6, 0x42A5F5, 0x2196F3, 0x1E88E5, 0x1976D2, 0x1565C0, 0x0D47A1},
    {0xE1F5FE, 0xB3E5FC, 0x81D4FA, 0x4FC3F7, 0x29B6F6, 0x03A9F4, 0x039BE5, 0x0288D1, 0x0277BD, 0x01579B},
    {0xE0F7FA, 0xB2EBF2, 0x80DEEA, 0x4DD0E1, 0x26C6DA, 0x00BCD4, 0x00ACC1, 0x0097A7, 0x00838F, 0x006064},
    {0xE0F2F1, 0xB2DFDB, 0x80CBC4, 0x4DB6AC, 0x26A69A, 0x009688, 0x00897B, 0x00796B, 0x00695C, 0x004D40},
    {0xE8F5E9, 0xC8E6C9, 0xA5D6A7, 0x81C784, 0x66BB6A, 0x4CAF50, 0x43A047, 0x388E3C, 0x2E7D32, 0x1B5E20},
    {0xF1F8E9, 0xDCEDC8, 0xC5E1A5, 0xAED581, 0x9CCC65, 0x8BC34A, 0x7CB342, 0x689F38, 0x558B2F, 0x33691E},
    {0xF9FBE7, 0xF0F4C3, 0xE6EE9C, 0xDCE775, 0xD4E157, 0xCDDC39, 0xC0CA33, 0xAFB42B, 0x9E9D24, 0x827717},
    {0xFFFDE7, 0xFFF9C4, 0xFFF59D, 0xFFF176, 0xFFEE58, 0xFFEB3B, 0xFDD835, 0xFBC02D, 0xF9A825, 0xF57F17},
    {0xFFF8E1, 0xFFECB3, 0xFFE082, 0xFFD54F, 0xFFCA28, 0xFFC107, 0xFFB300, 0xFFA000, 0xFF8F00, 0xFF6F00},
    {0xFFF3E0, 0xFFE0B2, 0xFFCC80, 0xFFB74D, 0xFFA726, 0xFF9800, 0xFB8C00, 0xF57C00, 0xEF6C00, 0xE65100},
    {0xFBE9E7, 0xFFCCBC, 0xFFAB91, 0xFF8A65, 0xFF7043, 0xFF5722, 0xF4511E, 0xE64A19, 0xD84315, 0xBF360C},
    {0xEFEBE9, 0xD7CCC8, 0xBCAAA4, 0xA1887F, 0x8D6E63, 0x795548, 0x6D4C41, 0x5D4037, 0x4E342E, 0x3E2723},
    {0xECEFF1, 0xCFD8DC, 0xB0BEC5, 0x90A4AE, 0x78909C, 0x607D8B, 0x546E7A, 0x455A64, 0x37474F, 0x263238},
    {0xFAFAFA, 0xF5F5F5, 0xEEEEEE, 0xE0E0E0, 0xBDBDBD, 0x9E9E9E, 0x757575, 0x616161, 0x424242, 0x212121},
};

// The same divide-by-255 the renderer uses.
inline uint32_t div255(uint32_t x) {
    return (x * 0x8081u) >> 23;
}

inline uint8_t mix_channel(uint32_t a, uint32_t b, uint32_t mix) {
    return (uint8_t)div255(a * mix + b * (255u - mix) + LV_COLOR_MIX_ROUND_OFS);
}

bool valid_palette(lv_palette_t p) {
    if (p < _LV_PALETTE_LAST) return true;
    LV_LOG_WARN("Invalid palette: %d", (int)p);
    return false;
}

} // namespace

lv_color_t lv_color_mix(lv_color_t c1, lv_color_t c2, uint8_t mix) {
    lv_color_t r;
    r.ch.red = mix_channel(c1.ch.red, c2.ch.red, mix);
    r.ch.green = mix_channel(c1.ch.green, c2.ch.green, mix);
    r.ch.blue = mix_channel(c1.ch.blue, c2.ch.blue, mix);
    r.ch.alpha = 0xff;
    return r;
}

lv_color_t lv_palette_main(lv_palette_t p) {
    if (!valid_palette(p)) return lv_color_black();
    return lv_color_hex(kPalette[p].s500);
}

lv_color_t lv_palette_lighten(lv_palette_t p, uint8_t lvl) {
    if (!valid_palette(p)) return lv_color_black();
    const Shades& s = kPalette[p];
    switch (lvl) {
    case 1:
        return lv_color_hex(s.s400);
    case 2:
        return lv_color_hex(s.s300);
    case 3:
        return lv_color_hex(s.s200);
    case 4:
        return lv_color_hex(s.s100);
    case 5:
        return lv_color_hex(s.s50);
    default:
        LV_LOG_WARN("Invalid level: %d", lvl);
        return lv_color_black();
    }
}

lv_color_t lv_palette_darken(lv_palette_t p, uint8_t lvl) {
    if (!valid_palette(p)) return lv_color_black();
    const Shades& s = kPalette[p];
    switch (lvl) {
    case 1:
        return lv_color_hex(s.s600);
    case 2:
        return lv_color_hex(s.s700);
    case 3:
        return lv_color_hex(s.s800);
    case 4:
        return lv_color_hex(s.s900);
    default:
        LV_LOG_WARN("Invalid level: %d", lvl);
        return lv_color_black();
    }
}
