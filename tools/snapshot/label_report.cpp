#include "label_report.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

// Where LVGL may end a wrapped line (its LV_TXT_BREAK_CHARS), besides line ends.
bool is_break_letter(uint32_t c) {
    return c == ' ' || c == ',' || c == '.' || c == ';' || c == ':' || c == '-' || c == '_' || c == '\n' ||
           c == '\r' || (c >= 0x4E00 && c <= 0x9FA5);
}

bool scrolls(lv_label_long_mode_t mode) {
    return mode == LV_LABEL_LONG_SCROLL || mode == LV_LABEL_LONG_SCROLL_CIRCULAR;
}

// Whether the label keeps its text on one line per line end (no wrapping at the box width).
bool expands(lv_label_long_mode_t mode) {
    return scrolls(mode) || mode == LV_LABEL_LONG_CLIP;
}

// The ink of a laid-out text: the union of its glyph boxes, relative to the content area's corner.
struct Ink {
    int32_t x1 = INT32_MAX, y1 = INT32_MAX, x2 = INT32_MIN, y2 = INT32_MIN;
    bool empty() const { return x1 > x2; }
    void add(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2) {
        x1 = std::min(x1, ax1);
        y1 = std::min(y1, ay1);
        x2 = std::max(x2, ax2);
        y2 = std::max(y2, ay2);
    }
};

struct Layout {
    Ink ink;
    uint32_t lines = 0;
    uint32_t forced_lines = 0; // lines that end at a line end or at the end of the text
    bool word_split = false;
    lv_coord_t widest = 0;
};

// Lays the text out as the label draws it (line breaking, alignment, recolour commands) and collects
// the glyph boxes. Letter and line space are 0: our screens set neither, and the API offers no getter.
Layout lay_out(const char* text, const lv_font_t* font, lv_coord_t box_w, lv_label_long_mode_t mode,
               lv_text_align_t align, lv_text_flag_t flag) {
    Layout out;
    const lv_coord_t max_w = expands(mode) ? lv_coord_t(LV_COORD_MAX) : box_w;
    const lv_coord_t line_h = lv_font_get_line_height(font);
    uint32_t start = 0;
    while (text[start] != '\0') {
        const uint32_t len = _lv_txt_get_next_line(&text[start], font, 0, max_w, nullptr, flag);
        if (len == 0) break;
        const lv_coord_t line_w = lv_txt_get_width(&text[start], len, font, 0, flag);
        out.widest = std::max(out.widest, line_w);

        // The end of this line inside a word: the word did not fit on a line of its own.
        uint32_t last = start, probe = start;
        while (probe < start + len) {
            last = probe;
            _lv_txt_encoded_next(text, &probe);
        }
        uint32_t after = start + len;
        const uint32_t next_letter = _lv_txt_encoded_next(text, &after);
        uint32_t last_i = last;
        const uint32_t last_letter = _lv_txt_encoded_next(text, &last_i);
        if (next_letter == 0 || is_break_letter(last_letter)) {
            if (next_letter == 0 || last_letter == '\n' || last_letter == '\r') out.forced_lines++;
        } else if (!is_break_letter(next_letter)) {
            out.word_split = true;
        }

        lv_text_align_t a = align;
        if (scrolls(mode) && line_w > box_w) a = LV_TEXT_ALIGN_LEFT;
        int32_t pen = 0;
        if (a == LV_TEXT_ALIGN_CENTER) pen = (box_w - line_w) / 2;
        if (a == LV_TEXT_ALIGN_RIGHT) pen = box_w - line_w;
        const int32_t line_top = int32_t(out.lines) * line_h;

        lv_text_cmd_state_t cmd = LV_TEXT_CMD_STATE_WAIT;
        uint32_t i = start;
        while (i < start + len) {
            const uint32_t letter = _lv_txt_encoded_next(text, &i);
            uint32_t peek = i;
            const uint32_t letter_next = _lv_txt_encoded_next(text, &peek);
            if ((flag & LV_TEXT_FLAG_RECOLOR) && _lv_txt_is_cmd(&cmd, letter)) continue;
            if (letter < 0x20) continue;
            lv_font_glyph_dsc_t g{};
            if (lv_font_get_glyph_dsc(font, &g, letter, letter_next) && g.box_w > 0 && g.box_h > 0) {
                const int32_t top = line_top + (line_h - font->base_line) - g.box_h - g.ofs_y;
                out.ink.add(pen + g.ofs_x, top, pen + g.ofs_x + g.box_w - 1, top + g.box_h - 1);
            }
            pen += lv_font_get_glyph_width(font, letter, letter_next);
        }
        out.lines++;
        start += len;
    }
    return out;
}

std::string size_text(int32_t w, int32_t h) {
    char buf[48];
    snprintf(buf, sizeof buf, "%ldx%ld", long(w), long(h));
    return buf;
}

// Letters of the text (recolour commands and control characters aside) that the font cannot draw.
std::string missing_letters(const char* text, const lv_font_t* font, lv_text_flag_t flag) {
    std::set<uint32_t> missing;
    lv_text_cmd_state_t cmd = LV_TEXT_CMD_STATE_WAIT;
    uint32_t i = 0;
    while (text[i] != '\0') {
        const uint32_t letter = _lv_txt_encoded_next(text, &i);
        if (letter == '\n' || letter == '\r') cmd = LV_TEXT_CMD_STATE_WAIT; // the state restarts per line
        if ((flag & LV_TEXT_FLAG_RECOLOR) && _lv_txt_is_cmd(&cmd, letter)) continue;
        if (letter < 0x20) continue;
        uint32_t peek = i;
        lv_font_glyph_dsc_t g{};
        if (!lv_font_get_glyph_dsc(font, &g, letter, _lv_txt_encoded_next(text, &peek)) || g.is_placeholder)
            missing.insert(letter);
    }
    std::string out;
    for (uint32_t c : missing) {
        char buf[16];
        snprintf(buf, sizeof buf, "%sU+%04lX", out.empty() ? "" : " ", static_cast<unsigned long>(c));
        out += buf;
    }
    return out;
}

// The part of `area` that the label's parents and the display let show.
lv_area_t visible_part(const lv_obj_t* label, lv_area_t area) {
    for (const lv_obj_t* p = lv_obj_get_parent(label); p != nullptr; p = lv_obj_get_parent(p)) {
        if (lv_obj_has_flag(p, LV_OBJ_FLAG_OVERFLOW_VISIBLE)) continue;
        lv_area_t pc;
        lv_obj_get_coords(p, &pc);
        if (!_lv_area_intersect(&area, &area, &pc)) return lv_area_t{0, 0, -1, -1};
    }
    return area;
}

bool same_area(const lv_area_t& a, const lv_area_t& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

std::string edges_text(const lv_area_t& want, const lv_area_t& got) {
    std::string out;
    auto add = [&](const char* side, lv_coord_t by) {
        if (by <= 0) return;
        char buf[48];
        snprintf(buf, sizeof buf, "%s%s %d px", out.empty() ? "" : ", ", side, int(by));
        out += buf;
    };
    if (got.x1 > got.x2) return "nothing of it shows";
    add("left", lv_coord_t(got.x1 - want.x1));
    add("right", lv_coord_t(want.x2 - got.x2));
    add("top", lv_coord_t(got.y1 - want.y1));
    add("bottom", lv_coord_t(want.y2 - got.y2));
    return "cut " + out;
}

void check_tree(const lv_obj_t* obj, std::vector<LabelIssue>* out) {
    if (lv_obj_has_flag(obj, LV_OBJ_FLAG_HIDDEN)) return;
    // Our runtime answers null for an object that is not a label.
    if (lv_label_get_text(obj) != nullptr) {
        std::vector<LabelIssue> own = label_report_check_label(obj);
        out->insert(out->end(), own.begin(), own.end());
    }
    const uint32_t n = lv_obj_get_child_cnt(obj);
    for (uint32_t i = 0; i < n; i++) check_tree(lv_obj_get_child(obj, int32_t(i)), out);
}

} // namespace

const char* label_issue_kind_name(LabelIssueKind kind) {
    switch (kind) {
    case LabelIssueKind::Clipped:
        return "clipped by its box";
    case LabelIssueKind::WrapsBeyond:
        return "wraps beyond its box";
    case LabelIssueKind::WordSplit:
        return "word broken to fit";
    case LabelIssueKind::OutsideParent:
        return "cut by parent or display";
    case LabelIssueKind::MissingGlyph:
        return "missing glyph";
    case LabelIssueKind::Scrolls:
        return "scrolls, wider than its box";
    }
    return "?";
}

std::vector<LabelIssue> label_report_check_label(const lv_obj_t* label) {
    std::vector<LabelIssue> issues;
    const char* text = lv_label_get_text(label);
    const lv_font_t* font = lv_obj_get_style_text_font(label, LV_PART_MAIN);
    if (text == nullptr || text[0] == '\0' || font == nullptr) return issues;

    lv_area_t box, content;
    lv_obj_get_coords(label, &box);
    lv_obj_get_content_coords(label, &content);
    const lv_coord_t cw = lv_area_get_width(&content), ch = lv_area_get_height(&content);
    const lv_label_long_mode_t mode = lv_label_get_long_mode(label);
    const lv_text_flag_t flag = lv_label_get_recolor(label) ? LV_TEXT_FLAG_RECOLOR : LV_TEXT_FLAG_NONE;
    lv_text_align_t align = lv_obj_get_style_text_align(label, LV_PART_MAIN);
    if (align == LV_TEXT_ALIGN_AUTO) align = LV_TEXT_ALIGN_LEFT;

    auto add = [&](LabelIssueKind kind, std::string detail) {
        issues.push_back(LabelIssue{kind, label, text, box, std::move(detail)});
    };

    const std::string missing = missing_letters(text, font, flag);
    if (!missing.empty()) add(LabelIssueKind::MissingGlyph, missing);

    const Layout lay = lay_out(text, font, cw, mode, align, flag);
    if (lay.word_split) add(LabelIssueKind::WordSplit, "a word is wider than " + std::to_string(cw) + " px");
    const lv_coord_t line_h = lv_font_get_line_height(font);
    const bool wrapped_beyond =
        mode == LV_LABEL_LONG_WRAP && lay.lines > lay.forced_lines && int32_t(lay.lines) * line_h > ch;
    if (wrapped_beyond)
        add(LabelIssueKind::WrapsBeyond, std::to_string(lay.lines) + " lines of " + std::to_string(line_h) +
                                             " px in " + size_text(cw, ch));
    if (lay.ink.empty()) return issues;

    // A label draws up to a quarter line beyond its box (glyphs that overhang their advance), except
    // in the scrolling modes, which clip to the box; those move a wide text through it on purpose.
    const lv_coord_t margin = scrolls(mode) ? 0 : lv_coord_t(line_h / 4);
    const lv_area_t ink{lv_coord_t(content.x1 + lay.ink.x1), lv_coord_t(content.y1 + lay.ink.y1),
                        lv_coord_t(content.x1 + lay.ink.x2), lv_coord_t(content.y1 + lay.ink.y2)};
    lv_area_t drawable{lv_coord_t(box.x1 - margin), lv_coord_t(box.y1 - margin), lv_coord_t(box.x2 + margin),
                       lv_coord_t(box.y2 + margin)};
    if (scrolls(mode)) {
        drawable.x1 = std::min(drawable.x1, ink.x1);
        drawable.x2 = std::max(drawable.x2, ink.x2);
    }
    lv_area_t drawn;
    if (!_lv_area_intersect(&drawn, &ink, &drawable)) drawn = lv_area_t{0, 0, -1, -1};
    if (scrolls(mode) && (ink.x1 < content.x1 || ink.x2 > content.x2))
        add(LabelIssueKind::Scrolls,
            "text " + std::to_string(lay.widest) + " px wide in " + std::to_string(cw));
    if (!wrapped_beyond && !same_area(drawn, ink))
        add(LabelIssueKind::Clipped, "text " + size_text(lv_area_get_width(&ink), lv_area_get_height(&ink)) +
                                         " in " + size_text(cw, ch) + ", " + edges_text(ink, drawn));

    // What the label draws must also show through its parents and on the display.
    if (scrolls(mode) && !_lv_area_intersect(&drawn, &drawn, &content)) return issues;
    if (drawn.x1 > drawn.x2) return issues;
    const lv_area_t shown = visible_part(label, drawn);
    if (!same_area(shown, drawn)) add(LabelIssueKind::OutsideParent, edges_text(drawn, shown));
    return issues;
}

std::vector<LabelIssue> label_report_check_tree(const lv_obj_t* root) {
    std::vector<LabelIssue> issues;
    if (root != nullptr) check_tree(root, &issues);
    return issues;
}
