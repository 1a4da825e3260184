// GoogleTest support for the screen tests, on top of AppFixture (LVGL API only):
//
//   class Stopping : public ScreenFixture {
//     protected:
//       Stopping() : ScreenFixture(SCREEN_OPS(stopping)) {}
//   };
//   TEST_F(Stopping, ShowsTheReason) {
//       show();
//       send(R"({"conns":[{"sessionConnInfo":{"saveData":{"_stopReason":"Remote"}}}]})");
//       EXPECT_EQ(text(ui_stopping_tips_lable), "Remote stop");
//   }
//
// SetUp brings the application up as MainScreen_Init does, short of the trigger overlay: memory
// display and virtual tick, the build directory as working directory (it holds qorv_lvgl/assets),
// the translations in English, the status bar. The wall clock is pinned at kNow.
// TearDown unpins the clock, goes back to English and to the old working directory.
#pragma once

#include <cjson/cJSON.h>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app_fixture.h"
// What every screen test uses besides its screen's own header.
#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_statusbar/ui_statusbar.h"

// The wall clock every screen test starts at: 2023-11-14 22:13:20 UTC.
inline constexpr int64_t kNow = 1700000000;

// A screen module as the screen manager sees it: its root global and its five operations.
struct ScreenOps {
    const char* name = nullptr;
    lv_obj_t** root = nullptr; // null until init has run
    lv_obj_t* (*init)(void) = nullptr;
    void (*onshow)(void) = nullptr;
    void (*onhide)(void) = nullptr;
    void (*set_data)(const cJSON* root) = nullptr;
    void (*language_changed)(void) = nullptr;
};

// clang-format off
#define SCREEN_OPS(m)                                                                                        \
    ScreenOps{#m, &ui_##m, ui_##m##_init, ui_##m##_onshow, ui_##m##_onhide, ui_##m##_set_data,           \
              ui_##m##_language_changed}
// clang-format on

// One row of a screen's widget table: a widget's size, its centre's offset from the middle of the
// display and, for a label, its font and alignment.
struct WidgetRow {
    const char* name;
    lv_obj_t* obj;
    lv_coord_t w, h, cx, cy; // w or h 0: the content's size, not checked
    int font = -1;           // font_loader id; -1: not checked
    int align = -1;          // lv_text_align_t; -1: not checked
};

class ScreenFixture : public AppFixture {
  protected:
    // `ops` is the screen that show(), hide(), send() and change_language() work on; leave it out, or
    // give only set_data, for the status bar and the trigger overlay.
    explicit ScreenFixture(ScreenOps ops = {}) : ops_(ops) {}
    void SetUp() override;
    void TearDown() override;

    // What the screen manager does when it selects a screen for the first time: init, load, onshow.
    void show() { show(ops_); }
    void show(const ScreenOps& screen);
    // What it does when it selects a screen built before: load, onshow.
    void show_again() { show_again(ops_); }
    void show_again(const ScreenOps& screen);
    // What it does when another screen takes over: onhide, then a blank screen is loaded.
    void hide();
    // Parses `json` (the test fails on bad JSON) and hands it to the screen's set_data.
    void send(const std::string& json) { send_to(ops_.set_data, json); }
    void send_to(void (*set_data)(const cJSON*), const std::string& json);
    // Switches the locale (the test fails on an unknown one) and tells the screen.
    void change_language(const char* locale);

    // Expects `obj` to be a child of `parent`, w x h in size (0: its content's size, not checked),
    // centred at (cx, cy) from the middle of the display.
    void expect_centred(lv_obj_t* obj, lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t cx,
                        lv_coord_t cy) const;
    // Expects each row's widget to be a child of `parent`, placed, sized and styled as the row says.
    void expect_widget_table(lv_obj_t* parent, std::span<const WidgetRow> rows) const;
    // The w x h box centred at (cx, cy) from the middle of the display.
    lv_area_t centred_box(lv_coord_t cx, lv_coord_t cy, lv_coord_t w, lv_coord_t h) const;

    // Number of displayed pixels in x1..x2, y1..y2 (both ends included) whose 0xRRGGBB colour
    // satisfies `pred`.
    template <typename Pred>
    int count_pixels(lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2, Pred pred) const {
        int n = 0;
        for (lv_coord_t y = y1; y <= y2; y++)
            for (lv_coord_t x = x1; x <= x2; x++) n += pred(pixel(x, y));
        return n;
    }
    template <typename Pred> int count_pixels(const lv_area_t& a, Pred pred) const {
        return count_pixels(a.x1, a.y1, a.x2, a.y2, pred);
    }

    ScreenOps ops_;

  private:
    std::filesystem::path old_cwd_;
};

// Colour tests for count_pixels.
inline bool is_lit(uint32_t c) {
    return c != 0;
}
inline bool is_red(uint32_t c) {
    return (c >> 16) > 0xB0 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60;
}
inline bool is_bright(uint32_t c) {
    return (c >> 16) > 0xC0 && ((c >> 8) & 0xFF) > 0xC0 && (c & 0xFF) > 0xC0;
}
inline auto is_colour(uint32_t rgb) {
    return [rgb](uint32_t c) { return c == rgb; };
}

// A parsed status message, deleted with its owner.
using JsonDoc = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;
JsonDoc parse_json(const std::string& json);

// A label's text.
std::string text(lv_obj_t* label);
bool hidden(lv_obj_t* obj);
// The coordinates of `obj` once the layout is up to date.
lv_area_t coords_of(lv_obj_t* obj);
// Expects `obj` at (x, y) on the display, w x h in size.
void expect_area(lv_obj_t* obj, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h);

// `s` as a JSON string (no escaping).
std::string quoted(const std::string& s);
// A code as written, in small letters, in capitals and with every letter's case swapped.
std::vector<std::string> case_variants(const std::string& code);

// A status message for the charging screens with the given members of meterInfo, saveData and
// m1768Info.
std::string charging_message(const std::string& meter, const std::string& save,
                             const std::string& m1768 = "");
