// Label painter: lays text out line by line, aligns each line, follows recolour commands and blends
// glyph coverage through the shared blend primitives.
#include "draw/gfx_blend.h"
#include "font/font_internal.h"
#include "lv_draw_label.h"
#include "lv_log.h"

#include <vector>

namespace {

constexpr uint32_t kRecolorParamLength = 6; // RRGGBB

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0; // anything else reads as 0
}

lv_color_t parse_recolor(const char* p) {
    const auto byte = [p](int k) { return (uint8_t)(hex_digit(p[k]) << 4 | hex_digit(p[k + 1])); };
    return lv_color_make(byte(0), byte(2), byte(4));
}

// Expands a glyph bitmap of 1, 2, 4 or 8 bpp (rows packed without padding) to 8-bit coverage. A 3 bpp
// font's glyphs come unpacked to 4 bpp.
const lv_opa_t* glyph_coverage(const uint8_t* bitmap, uint32_t bpp, uint32_t w, uint32_t h) {
    if (bpp == 8) return bitmap;
    if (bpp == 3) bpp = 4;
    static std::vector<lv_opa_t> mask;
    const uint32_t count = w * h;
    mask.resize(count);
    const uint32_t levels = (1u << bpp) - 1;
    const uint32_t scale = 255 / levels; // 4 bpp: v * 17
    for (uint32_t k = 0; k < count; k++) {
        const uint32_t bit = k * bpp;
        const uint32_t v = (uint32_t)(bitmap[bit >> 3] >> (8 - bpp - (bit & 7))) & levels;
        mask[k] = (lv_opa_t)(v * scale);
    }
    return mask.data();
}

// The 1-px outline drawn where a letter has no glyph in any font.
void draw_placeholder(lv_draw_ctx_t* draw_ctx, const lv_area_t& box, lv_color_t color, lv_opa_t opa) {
    const lv_area_t edges[4] = {
        {box.x1, box.y1, box.x2, box.y1},
        {box.x1, box.y2, box.x2, box.y2},
        {box.x1, (lv_coord_t)(box.y1 + 1), box.x1, (lv_coord_t)(box.y2 - 1)},
        {box.x2, (lv_coord_t)(box.y1 + 1), box.x2, (lv_coord_t)(box.y2 - 1)},
    };
    for (const lv_area_t& e : edges)
        if (e.y1 <= e.y2 && e.x1 <= e.x2) gfx::blend_fill(draw_ctx, e, color, opa);
}

// Draws one letter with its pen at `x` on the line whose top is `y`.
void draw_letter(lv_draw_ctx_t* draw_ctx, const lv_font_t* font, int32_t x, int32_t y, uint32_t letter,
                 lv_color_t color, lv_opa_t opa) {
    lv_font_glyph_dsc_t g;
    const lv_font_t* source = gfx::font_resolve_glyph(font, &g, letter, 0);
    if (source == nullptr) {
        if (gfx::font_letter_is_silent(letter)) return;
        LV_LOG_WARN("lv_draw_letter: glyph dsc. not found for U+%X", (unsigned)letter);
        lv_font_get_glyph_dsc(font, &g, letter, 0);
        // The outline spans box_w + 1 by box_h + 1 pixels.
        const lv_area_t box = {(lv_coord_t)(x + g.ofs_x), (lv_coord_t)(y + g.ofs_y),
                               (lv_coord_t)(x + g.ofs_x + g.box_w), (lv_coord_t)(y + g.ofs_y + g.box_h)};
        draw_placeholder(draw_ctx, box, color, opa);
        return;
    }
    if (g.box_w == 0 || g.box_h == 0) return;

    const int32_t gx = x + g.ofs_x;
    const int32_t gy = y + (font->line_height - font->base_line) - g.box_h - g.ofs_y;
    const lv_area_t area = {(lv_coord_t)gx, (lv_coord_t)gy, (lv_coord_t)(gx + g.box_w - 1),
                            (lv_coord_t)(gy + g.box_h - 1)};
    const lv_area_t& clip = *draw_ctx->clip_area;
    if (area.x2 < clip.x1 || area.x1 > clip.x2 || area.y2 < clip.y1 || area.y1 > clip.y2) return;

    const uint8_t* bitmap = source->get_glyph_bitmap ? source->get_glyph_bitmap(source, letter) : nullptr;
    if (bitmap == nullptr) {
        LV_LOG_WARN("lv_draw_letter: character's bitmap not found");
        return;
    }
    const lv_opa_t* mask = glyph_coverage(bitmap, g.bpp, g.box_w, g.box_h);
    gfx::blend_fill(draw_ctx, area, color, opa, mask, &area);
}

// Pen x of a line's first letter for the alignment.
int32_t line_start_x(const lv_draw_label_dsc_t* dsc, const lv_area_t* coords, const char* line,
                     uint32_t len) {
    int32_t x = coords->x1;
    if (dsc->align == LV_TEXT_ALIGN_CENTER || dsc->align == LV_TEXT_ALIGN_RIGHT) {
        const int32_t line_w = lv_txt_get_width(line, len, dsc->font, dsc->letter_space, dsc->flag);
        const int32_t w = lv_area_get_width(coords);
        x += dsc->align == LV_TEXT_ALIGN_CENTER ? (w - line_w) / 2 : w - line_w;
    }
    return x + dsc->ofs_x;
}

// Draws the letters of one line; recolour commands start over on every line.
void draw_line(lv_draw_ctx_t* draw_ctx, const lv_draw_label_dsc_t* dsc, const char* line, uint32_t len,
               int32_t x, int32_t y, lv_opa_t opa) {
    const bool recolor = dsc->flag & LV_TEXT_FLAG_RECOLOR;
    lv_text_cmd_state_t cmd_state = LV_TEXT_CMD_STATE_WAIT;
    lv_color_t color = dsc->color;
    uint32_t param_start = 0;
    uint32_t i = 0;
    while (i < len) {
        const uint32_t letter_start = i;
        const uint32_t letter = _lv_txt_encoded_next(line, &i);
        if (letter == 0) break;
        uint32_t peek = i;
        const uint32_t letter_next = _lv_txt_encoded_next(line, &peek);

        if (recolor) {
            if (letter == (uint8_t)LV_TXT_COLOR_CMD[0]) {
                if (cmd_state == LV_TEXT_CMD_STATE_WAIT) {
                    cmd_state = LV_TEXT_CMD_STATE_PAR;
                    param_start = i;
                    continue;
                }
                if (cmd_state == LV_TEXT_CMD_STATE_IN) {
                    cmd_state = LV_TEXT_CMD_STATE_WAIT;
                    color = dsc->color;
                    continue;
                }
                cmd_state = LV_TEXT_CMD_STATE_WAIT; // "##": the second one is drawn
            } else if (cmd_state == LV_TEXT_CMD_STATE_PAR) {
                if (letter == ' ') {
                    const bool valid = letter_start - param_start == kRecolorParamLength;
                    color = valid ? parse_recolor(&line[param_start]) : dsc->color;
                    cmd_state = LV_TEXT_CMD_STATE_IN;
                }
                continue;
            }
        }

        const int32_t letter_w = lv_font_get_glyph_width(dsc->font, letter, letter_next);
        draw_letter(draw_ctx, dsc->font, x, y, letter, color, opa);
        if (letter_w > 0) x += letter_w + dsc->letter_space;
    }
}

} // namespace

void lv_draw_label_dsc_init(lv_draw_label_dsc_t* dsc) {
    if (dsc == nullptr) return;
    *dsc = {};
    dsc->font = LV_FONT_DEFAULT;
    dsc->color = lv_color_black();
    dsc->opa = LV_OPA_COVER;
    dsc->sel_start = LV_DRAW_LABEL_NO_TXT_SEL;
    dsc->sel_end = LV_DRAW_LABEL_NO_TXT_SEL;
    dsc->sel_color = lv_color_black();
    dsc->sel_bg_color = lv_color_hex(0x2196F3);
}

void lv_draw_label(lv_draw_ctx_t* draw_ctx, const lv_draw_label_dsc_t* dsc, const lv_area_t* coords,
                   const char* txt, lv_draw_label_hint_t* hint) {
    LV_UNUSED(hint);
    if (draw_ctx == nullptr || dsc == nullptr || coords == nullptr || draw_ctx->clip_area == nullptr) return;
    if (dsc->opa <= LV_OPA_MIN) return;
    if (dsc->font == nullptr) {
        LV_LOG_WARN("dsc->font == NULL");
        return;
    }
    if (txt == nullptr || txt[0] == '\0') return;

    const lv_area_t& clip = *draw_ctx->clip_area;
    if (coords->x2 < clip.x1 || coords->x1 > clip.x2 || coords->y2 < clip.y1 || coords->y1 > clip.y2) return;

    const lv_opa_t opa = dsc->opa >= LV_OPA_MAX ? (lv_opa_t)LV_OPA_COVER : dsc->opa;
    const lv_font_t* font = dsc->font;
    const lv_coord_t max_w = lv_area_get_width(coords);
    const int32_t pitch = font->line_height + dsc->line_space;

    int32_t y = coords->y1 + dsc->ofs_y;
    uint32_t start = 0;
    while (txt[start] != '\0') {
        const uint32_t len =
            _lv_txt_get_next_line(&txt[start], font, dsc->letter_space, max_w, nullptr, dsc->flag);
        if (len == 0) break;
        if (y > clip.y2) break;
        // Lines wholly above the clip area are only stepped over.
        if (y + font->line_height >= clip.y1) {
            const int32_t x = line_start_x(dsc, coords, &txt[start], len);
            draw_line(draw_ctx, dsc, &txt[start], len, x, y, opa);
        }
        start += len;
        y += pitch;
    }
}
