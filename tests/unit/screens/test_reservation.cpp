#include <gtest/gtest.h>

#include <cjson/cJSON.h>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "app_fixture.h"
#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_reservation/ui_reservation.h"
#include "ui/ui_statusbar/ui_statusbar.h"

namespace fs = std::filesystem;

namespace {

using Doc = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

constexpr int64_t kNow = 1700000000;       // November 2023
constexpr int64_t kAfter2038 = 4102444800; // January 2100

// A status message whose expiry date is the raw JSON `expiry`, or without one when null.
std::string reserve_message(const std::string* expiry) {
    std::string info = expiry != nullptr ? R"({"expireDate":)" + *expiry + "}" : "{}";
    return R"({"conns":[{"reserveConnInfo":)" + info + "}]}";
}

std::string text(lv_obj_t* label) {
    return lv_label_get_text(label);
}

class Reservation : public AppFixture {
  protected:
    void SetUp() override {
        // The asset set lies beside the tests' build directory.
        fs::current_path(fs::path(SD_TEST_OUT_DIR).parent_path().parent_path());
        AppFixture::SetUp();
        lv_i18n_init(lv_i18n_language_pack);
        ui_statusbar_init();
    }
    void TearDown() override { msg_unpin_now(); }

    // What the screen manager does when it first selects the screen.
    void show() {
        lv_obj_t* scr = ui_reservation_init();
        ASSERT_EQ(scr, ui_reservation);
        lv_disp_load_scr(scr);
        ui_reservation_onshow();
    }
    void send_json(const std::string& json) {
        Doc doc(cJSON_Parse(json.c_str()), cJSON_Delete);
        ASSERT_NE(doc, nullptr) << json;
        ui_reservation_set_data(doc.get());
    }
    void send_expiry(const std::string& expiry) { send_json(reserve_message(&expiry)); }
    void change_language(const char* locale) {
        ASSERT_EQ(lv_i18n_set_locale(locale), 0);
        ui_reservation_language_changed();
    }
    std::string minutes() { return text(ui_reservation_timer_lable); }
};

TEST_F(Reservation, BuildsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_reservation);

    lv_area_t a;
    lv_obj_get_coords(ui_reservation_img, &a);
    EXPECT_EQ(a.x1, 128);
    EXPECT_EQ(a.y1, 61);
    EXPECT_EQ(lv_area_get_width(&a), 65);
    EXPECT_EQ(lv_area_get_height(&a), 65);
    // The number ends 4 px right of the centre line, its unit starts 10 px right of it.
    lv_obj_get_coords(ui_reservation_timer_lable, &a);
    EXPECT_EQ(a.x1, 106);
    EXPECT_EQ(a.x2, 163);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 66);
    lv_obj_get_coords(ui_reservation_unit_lable, &a);
    EXPECT_EQ(a.x1, 170);
    EXPECT_EQ(lv_area_get_width(&a), 90);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 66);
    lv_obj_get_coords(ui_reservation_explanation_lable, &a);
    EXPECT_EQ(a.x1, 160 - lv_area_get_width(&a) / 2);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 30);

    EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(ui_reservation_img)),
                 "A:qorv_lvgl/assets/img/misc_icon/gray_clock.png");
    EXPECT_EQ(lv_obj_get_style_text_font(ui_reservation_explanation_lable, LV_PART_MAIN),
              font_loader_get_font(4));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_reservation_timer_lable, LV_PART_MAIN), font_loader_get_font(4));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_reservation_unit_lable, LV_PART_MAIN), font_loader_get_font(1));
    EXPECT_EQ(lv_obj_get_style_text_align(ui_reservation_timer_lable, LV_PART_MAIN), LV_TEXT_ALIGN_RIGHT);
    EXPECT_EQ(lv_obj_get_style_text_align(ui_reservation_unit_lable, LV_PART_MAIN), LV_TEXT_ALIGN_LEFT);
    EXPECT_TRUE(lv_label_get_recolor(ui_reservation_explanation_lable));

    // Translated from the first frame; no number before the first data.
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Rservation");
    EXPECT_EQ(text(ui_reservation_unit_lable), "minutes left");
    EXPECT_EQ(minutes(), "");
}

TEST_F(Reservation, CountsStartedMinutesIncludingWholeDays) {
    show();
    struct Case {
        int64_t now;
        std::string expiry; // raw JSON
        std::string shown;
    };
    const auto ahead = [](int64_t now, int64_t seconds) { return std::to_string(now + seconds); };
    const Case cases[] = {
        {kNow, ahead(kNow, 600), "11"},
        {kNow, ahead(kNow, 59), "1"},
        {kNow, ahead(kNow, 60), "2"},
        {kNow, ahead(kNow, 119), "2"},
        {kNow, ahead(kNow, 120), "3"},
        {kNow, ahead(kNow, 0), "1"},
        {kNow, ahead(kNow, -1), "1"}, // already past
        {kNow, "1", "1"},             // long past
        {kNow, ahead(kNow, 3599), "60"},
        {kNow, ahead(kNow, 3600), "61"},
        {kNow, ahead(kNow, 86399), "1440"},
        {kNow, ahead(kNow, 90000), "1501"}, // 25 h: whole days count
        {kNow, ahead(kNow, 7 * 86400), "10081"},
        {kNow, std::to_string(kNow + 600) + ".9", "11"}, // fractions are cut off
        // Times after January 2038 do not wrap.
        {kAfter2038, ahead(kAfter2038, 600), "11"},
        {kAfter2038, ahead(kAfter2038, 90000), "1501"},
        {kNow, ahead(kAfter2038, 0), std::to_string((kAfter2038 - kNow) / 60 + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expiry + " at " + std::to_string(c.now));
        msg_pin_now(c.now);
        send_expiry("0");
        send_expiry(c.expiry);
        EXPECT_EQ(minutes(), c.shown);
    }
}

TEST_F(Reservation, MissingOrOddExpiryDates) {
    show();
    msg_pin_now(kNow);
    struct Case {
        const char* name;
        std::string json;
        std::string shown;
    };
    const std::string not_number = R"("1700000600")";
    const std::string negative = "-1e30";
    const std::string huge = "1e30";
    const Case cases[] = {
        {"absent", reserve_message(nullptr), "1"},
        {"no connector", "{}", "1"},
        {"text", reserve_message(&not_number), "1"},
        {"far past", reserve_message(&negative), "1"},
        // Saturates at the largest 64-bit time; the difference is still right.
        {"far future", reserve_message(&huge),
         std::to_string(uint64_t(std::numeric_limits<int64_t>::max() - kNow) / 60 + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ahead = std::to_string(kNow + 600);
        send_expiry(ahead);
        ASSERT_EQ(minutes(), "11");
        send_json(c.json);
        EXPECT_EQ(minutes(), c.shown);
    }
    // A wall clock before 1970 against the latest time: no overflow either.
    msg_pin_now(-120);
    send_json(reserve_message(&huge));
    EXPECT_EQ(minutes(), std::to_string((uint64_t(std::numeric_limits<int64_t>::max()) + 120) / 60 + 1));
}

TEST_F(Reservation, BuiltWhileGermanIsCurrent) {
    ASSERT_EQ(lv_i18n_set_locale("de-DE"), 0);
    show();
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Reservierung");
    EXPECT_EQ(text(ui_reservation_unit_lable), "Min. übrig");
}

TEST_F(Reservation, LanguageChangesOnShownAndHiddenScreen) {
    show();
    msg_pin_now(kNow);
    send_expiry(std::to_string(kNow + 600));

    change_language("de-DE");
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Reservierung");
    EXPECT_EQ(text(ui_reservation_unit_lable), "Min. übrig");
    EXPECT_EQ(minutes(), "11");

    ui_reservation_onhide();
    lv_disp_load_scr(lv_obj_create(nullptr));
    change_language("ru-RU");
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Бронирование");
    EXPECT_EQ(text(ui_reservation_unit_lable), "мин. осталось");
    EXPECT_EQ(minutes(), "11");

    change_language("en-US");
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Rservation");
    EXPECT_EQ(text(ui_reservation_unit_lable), "minutes left");
}

TEST_F(Reservation, DrawsTheNumberRightAlignedBesideItsUnit) {
    ui_statusbar_set_show(0); // as the stopping screen would leave it
    show();
    EXPECT_FALSE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
    msg_pin_now(kNow);
    send_expiry(std::to_string(kNow + 90000));
    advance(100);
    save_frame("reservation/1501.png");

    lv_area_t timer;
    lv_obj_get_coords(ui_reservation_timer_lable, &timer);
    auto count = [this](lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2, auto pred) {
        int n = 0;
        for (lv_coord_t y = y1; y <= y2; y++)
            for (lv_coord_t x = x1; x <= x2; x++) n += pred(pixel(x, y));
        return n;
    };
    auto lit = [](uint32_t c) { return c != 0; };
    auto grey = [](uint32_t c) {
        const uint32_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r > 0x40 && r < 0xE0 && r + 0x20 > g && g + 0x20 > r && g + 0x20 > b && b + 0x20 > g;
    };
    EXPECT_GT(count(128, 61, 192, 125, grey), 200); // the clock
    // "1501" hugs the right edge of its label; nothing lies between the number and its unit.
    EXPECT_GT(count(150, timer.y1, 163, timer.y2, lit), 20);
    EXPECT_EQ(count(164, timer.y1, 169, timer.y2, lit), 0);
    EXPECT_GT(count(170, timer.y1, 259, timer.y2, lit), 40); // "minutes left"

    // A short number moves right, not left.
    send_expiry(std::to_string(kNow + 600));
    advance(100);
    EXPECT_EQ(count(106, timer.y1, 135, timer.y2, lit), 0);
    EXPECT_GT(count(136, timer.y1, 163, timer.y2, lit), 10);

    ui_reservation_onhide();
    EXPECT_TRUE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
}

} // namespace
