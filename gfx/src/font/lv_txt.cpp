// Text layout: UTF-8 decoding, measuring, line breaking and the recolour command syntax.
#include "lv_log.h"
#include "lv_txt.h"

#include <algorithm>

namespace {

constexpr uint32_t kReplacementLetter = 0xFFFD;
constexpr uint32_t kNoOverflow = UINT32_MAX;

bool is_continuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

bool is_newline(uint32_t letter) {
    return letter == '\n' || letter == '\r';
}

bool is_break_char(uint32_t letter) {
    for (const char* p = LV_TXT_BREAK_CHARS; *p != '\0'; p++)
        if (letter == (uint8_t)*p) return true;
    return letter >= 0x4E00 && letter <= 0x9FA5; // CJK ideographs break anywhere
}

// Byte length of the line end at `txt` ("\r\n" is one), or 0.
uint32_t newline_length(const char* txt) {
    if (txt[0] == '\r' && txt[1] == '\n') return 2;
    return is_newline((uint8_t)txt[0]) ? 1 : 0;
}

// Measures the word at the start of `txt`: letters up to the next break character or line end. A break
// character or line end at the very start is a word of its own. Returns the word's byte length; if
// the word overflows `max_width`, returns the bytes that fit when `force` is set (splitting the word
// at the first letter that overflows), else 0. `word_w` receives the width of what is returned.
uint32_t next_word(const char* txt, const lv_font_t* font, lv_coord_t letter_space, int32_t max_width,
                   lv_text_flag_t flag, int32_t* word_w, lv_text_cmd_state_t* cmd_state, bool force) {
    *word_w = 0;
    if (txt[0] == '\0') return 0;

    uint32_t i = 0;      // start of the current letter
    uint32_t i_next = 0; // start of the letter after it
    uint32_t letter = _lv_txt_encoded_next(txt, &i_next);
    uint32_t overflow_at = kNoOverflow;
    int32_t cur_w = 0;
    bool ended_on_break = false;

    while (letter != 0) {
        uint32_t i_after = i_next;
        const uint32_t letter_next = _lv_txt_encoded_next(txt, &i_after);

        if ((flag & LV_TEXT_FLAG_RECOLOR) && _lv_txt_is_cmd(cmd_state, letter)) {
            i = i_next;
            i_next = i_after;
            letter = letter_next;
            continue;
        }

        const int32_t letter_w = lv_font_get_glyph_width(font, letter, letter_next);
        cur_w += letter_w;
        if (letter_w > 0) cur_w += letter_space;
        // Past the first letter that overflows nothing changes the result: stop there, so a long word
        // split over many lines is measured once per line, not once per line for all its rest.
        if (cur_w - letter_space > max_width) {
            overflow_at = i;
            break;
        }

        if (is_newline(letter) || is_break_char(letter)) {
            // A break character that opens the word is the word.
            if (i == 0 && overflow_at == kNoOverflow) *word_w = cur_w;
            ended_on_break = true;
            break;
        }
        if (overflow_at == kNoOverflow) *word_w = cur_w;

        i = i_next;
        i_next = i_after;
        letter = letter_next;
    }

    if (overflow_at == kNoOverflow) {
        if (ended_on_break && i == 0) return newline_length(txt) == 2 ? 2 : i_next;
        return i;
    }
    if (force) return overflow_at;
    *word_w = 0;
    return 0;
}

uint32_t utf8_next(const char* txt, uint32_t* i) {
    uint32_t local = 0;
    if (i == nullptr) i = &local;
    if (txt == nullptr) return 0;

    const auto* s = reinterpret_cast<const uint8_t*>(txt) + *i;
    const uint8_t lead = s[0];
    if (lead == 0) return 0;
    if (lead < 0x80) {
        (*i)++;
        return lead;
    }

    uint32_t len, letter, min;
    if ((lead & 0xE0) == 0xC0) {
        len = 2, letter = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, letter = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, letter = lead & 0x07, min = 0x10000;
    } else {
        (*i)++; // stray continuation byte or invalid lead
        return kReplacementLetter;
    }
    // Stops at the first byte that is not a continuation, so the terminating zero is never passed.
    for (uint32_t k = 1; k < len; k++) {
        if (!is_continuation(s[k])) {
            (*i)++;
            return kReplacementLetter;
        }
        letter = letter << 6 | (s[k] & 0x3F);
    }
    if (letter < min || letter > 0x10FFFF || (letter >= 0xD800 && letter <= 0xDFFF)) {
        (*i)++; // overlong form, surrogate or beyond Unicode
        return kReplacementLetter;
    }
    *i += len;
    return letter;
}

uint8_t utf8_size(const char* txt) {
    if (txt == nullptr) return 0;
    uint32_t i = 0;
    utf8_next(txt, &i);
    return (uint8_t)(i == 0 ? 1 : i);
}

uint32_t utf8_length(const char* txt) {
    if (txt == nullptr) return 0;
    uint32_t count = 0;
    for (uint32_t i = 0; txt[i] != '\0'; count++) utf8_next(txt, &i);
    return count;
}

} // namespace

// LVGL reaches the text encoding through these pointers, so another encoding can be put in.
uint32_t (*_lv_txt_encoded_next)(const char*, uint32_t*) = utf8_next;
uint8_t (*_lv_txt_encoded_size)(const char*) = utf8_size;
uint32_t (*_lv_txt_get_encoded_length)(const char*) = utf8_length;

bool _lv_txt_is_cmd(lv_text_cmd_state_t* state, uint32_t c) {
    if (c == (uint8_t)LV_TXT_COLOR_CMD[0]) {
        switch (*state) {
        case LV_TEXT_CMD_STATE_WAIT: // opens a command: the parameter follows
            *state = LV_TEXT_CMD_STATE_PAR;
            return true;
        case LV_TEXT_CMD_STATE_PAR: // "##" is a literal '#'
            *state = LV_TEXT_CMD_STATE_WAIT;
            return false;
        default: // closes the coloured run
            *state = LV_TEXT_CMD_STATE_WAIT;
            return true;
        }
    }
    if (*state == LV_TEXT_CMD_STATE_PAR) {
        if (c == ' ') *state = LV_TEXT_CMD_STATE_IN; // the space ends the parameter and is consumed
        return true;
    }
    return false;
}

lv_coord_t lv_txt_get_width(const char* txt, uint32_t length, const lv_font_t* font, lv_coord_t letter_space,
                            lv_text_flag_t flag) {
    if (txt == nullptr || font == nullptr || txt[0] == '\0') return 0;

    lv_text_cmd_state_t cmd_state = LV_TEXT_CMD_STATE_WAIT;
    int32_t width = 0;
    uint32_t i = 0;
    while (i < length) {
        const uint32_t letter = _lv_txt_encoded_next(txt, &i);
        if (letter == 0) break;
        uint32_t peek = i;
        const uint32_t letter_next = _lv_txt_encoded_next(txt, &peek);
        if ((flag & LV_TEXT_FLAG_RECOLOR) && _lv_txt_is_cmd(&cmd_state, letter)) continue;

        const int32_t letter_w = lv_font_get_glyph_width(font, letter, letter_next);
        if (letter_w > 0) width += letter_w + letter_space;
    }
    if (width > 0) width -= letter_space; // no spacing after the last letter
    return (lv_coord_t)std::clamp<int32_t>(width, INT16_MIN, INT16_MAX);
}

uint32_t _lv_txt_get_next_line(const char* txt, const lv_font_t* font, lv_coord_t letter_space,
                               lv_coord_t max_width, lv_coord_t* used_width, lv_text_flag_t flag) {
    if (used_width != nullptr) *used_width = 0;
    if (txt == nullptr || font == nullptr || txt[0] == '\0') return 0;
    // Expanding labels and labels as wide as their text break only at line ends.
    if (flag & (LV_TEXT_FLAG_EXPAND | LV_TEXT_FLAG_FIT)) {
        uint32_t end = 0;
        while (txt[end] != '\0' && !is_newline((uint8_t)txt[end])) end++;
        if (used_width != nullptr) *used_width = lv_txt_get_width(txt, end, font, letter_space, flag);
        return end + newline_length(&txt[end]);
    }

    lv_text_cmd_state_t cmd_state = LV_TEXT_CMD_STATE_WAIT;
    int32_t remaining = max_width;
    int32_t line_w = 0;
    uint32_t i = 0;
    // Words are added while room is left; a word that fills the width exactly ends the line.
    while (txt[i] != '\0' && remaining > 0) {
        int32_t word_w = 0;
        const uint32_t advance =
            next_word(&txt[i], font, letter_space, remaining, flag, &word_w, &cmd_state, i == 0);
        remaining -= word_w;
        line_w += word_w;
        if (advance == 0) break;

        const bool empty_line = newline_length(&txt[i]) > 0;
        i += advance;
        if (empty_line) break;
        // A line end right after a word belongs to this line.
        const uint32_t nl = newline_length(&txt[i]);
        if (nl > 0) {
            i += nl;
            break;
        }
    }

    // Every line holds at least one letter.
    if (i == 0) {
        const uint32_t letter = _lv_txt_encoded_next(txt, &i);
        line_w = lv_font_get_glyph_width(font, letter, 0);
        if (i == 0) i = 1;
    }
    if (used_width != nullptr) *used_width = (lv_coord_t)std::clamp<int32_t>(line_w, INT16_MIN, INT16_MAX);
    return i;
}

void lv_txt_get_size(lv_point_t* size_res, const char* text, const lv_font_t* font, lv_coord_t letter_space,
                     lv_coord_t line_space, lv_coord_t max_width, lv_text_flag_t flag) {
    if (size_res == nullptr) return;
    size_res->x = 0;
    size_res->y = 0;
    if (text == nullptr || font == nullptr) return;
    if (flag & LV_TEXT_FLAG_EXPAND) max_width = LV_COORD_MAX;

    const int32_t pitch = font->line_height + line_space;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t start = 0;
    while (text[start] != '\0') {
        const uint32_t len =
            _lv_txt_get_next_line(&text[start], font, letter_space, max_width, nullptr, flag);
        if (height + pitch > INT16_MAX) {
            LV_LOG_WARN("integer overflow while calculating text height");
            break;
        }
        height += pitch;
        width = std::max<int32_t>(width, lv_txt_get_width(&text[start], len, font, letter_space, flag));
        start += len;
    }
    // A text that ends with a line end has an empty last line.
    if (start > 0 && is_newline((uint8_t)text[start - 1])) height += pitch;
    if (height == 0)
        height = font->line_height;
    else
        height -= line_space;

    size_res->x = (lv_coord_t)width;
    size_res->y = (lv_coord_t)std::clamp<int32_t>(height, INT16_MIN, INT16_MAX);
}
