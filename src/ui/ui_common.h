// What the screen modules share: screens described as tables of widget rows and built by one builder,
// texts set from translation keys, and the code tables that map texts from the controller to what a
// screen shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "lvgl.h"
#include "msg/msg.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_statusbar/ui_statusbar.h"

typedef enum : uint8_t {
    UI_IMG,   // an image showing `content`
    UI_GIF,   // a GIF image playing `content`
    UI_LABEL, // a white, opaque label
} ui_kind_t;

enum : uint8_t {
    UI_KEY = 1 << 0,     // a label's `content` is a translation key, looked up again on a language change
    UI_RECOLOR = 1 << 1, // a label's text may carry colour commands
    UI_HIDDEN = 1 << 2,  // created hidden
};

// The theme's font (the built-in Montserrat 14): a label row that names no font of the loader.
constexpr int8_t UI_FONT_THEME = -1;

// One widget of a screen, in creation order: the global it fills, what it is, its size (LV_SIZE_CONTENT
// allowed) and its offset from the parent's anchor point; the picture, or the label's text (null: the
// runtime's default) or translation key; a label's font, text alignment (AUTO: not set) and flags.
// Images and GIFs are not scrollable and hit-test their pixels.
struct ui_widget_t {
    lv_obj_t** obj;
    ui_kind_t kind;
    lv_coord_t w, h, x, y;
    const char* content = nullptr;
    int8_t font = UI_FONT_THEME;
    lv_text_align_t align = LV_TEXT_ALIGN_AUTO;
    uint8_t flags = 0;
    lv_obj_t** parent = nullptr; // null: the root the rows are built on
    lv_align_t anchor = LV_ALIGN_CENTER;
};

// A screen root: not scrollable, black, opaque.
lv_obj_t* ui_screen_create(void);
// Creates the rows' widgets on `root` in row order; texts from translation keys are left to
// ui_widgets_set_texts, which a screen's init and language_changed share.
void ui_widgets_create(lv_obj_t* root, std::span<const ui_widget_t> rows);
// Sets the text of every row with a translation key in the current language.
void ui_widgets_set_texts(std::span<const ui_widget_t> rows);
// Sets a translated text: lv_i18n_get_text(key).
void ui_label_set_key(lv_obj_t* label, const char* key);
void ui_obj_set_hidden(lv_obj_t* obj, bool hidden);

// Index of the first row whose `code` equals `text` without regard to ASCII case; `rows.size()` when
// `text` is null or nothing matches.
template <typename Row> size_t ui_code_find(std::span<const Row> rows, const char* text) {
    for (size_t i = 0; i < rows.size(); i++)
        if (msg_code_is(text, rows[i].code)) return i;
    return rows.size();
}

// Four of the six functions of a screen built from its rows: screen_init builds them on a new root
// ui_<name>, init adds the texts through the screen's language_changed, onshow shows the status bar (`bar`
// 1) or hides it (0), onhide gives the bar back. set_data and language_changed are the screen's own.
#define UI_ROWS_SCREEN(name, rows, bar)                                                                      \
    void ui_##name##_screen_init(void) {                                                                     \
        ui_##name = ui_screen_create();                                                                      \
        ui_widgets_create(ui_##name, rows);                                                                  \
    }                                                                                                        \
    lv_obj_t* ui_##name##_init(void) {                                                                       \
        ui_##name##_screen_init();                                                                           \
        ui_##name##_language_changed();                                                                      \
        return ui_##name;                                                                                    \
    }                                                                                                        \
    void ui_##name##_onshow(void) {                                                                          \
        ui_statusbar_set_show(bar);                                                                          \
    }                                                                                                        \
    void ui_##name##_onhide(void) {                                                                          \
        ui_statusbar_restore_show();                                                                         \
    }
