#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "screen_fixture.h"
#include "ui/ui_reservation/ui_reservation.h"

namespace {

constexpr int64_t kAfter2038 = 4102444800; // January 2100

// A status message whose expiry date is the raw JSON `expiry`, or without one when null.
std::string reserve_message(const std::string* expiry) {
    std::string info = expiry != nullptr ? R"({"expireDate":)" + *expiry + "}" : "{}";
    return R"({"conns":[{"reserveConnInfo":)" + info + "}]}";
}

class Reservation : public ScreenFixture {
  protected:
    Reservation() : ScreenFixture(SCREEN_OPS(reservation)) {}

    void send_expiry(const std::string& expiry) { send(reserve_message(&expiry)); }
    void change_language(const char* locale) {
        ASSERT_EQ(lv_i18n_set_locale(locale), 0);
        ui_reservation_language_changed();
    }
    std::string minutes() { return text(ui_reservation_timer_lable); }
};

TEST_F(Reservation, BuildsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_reservation);

    expect_area(ui_reservation_img, 128, 61, 65, 65);
    // The number ends 4 px right of the centre line, its unit starts 10 px right of it.
    lv_area_t a = coords_of(ui_reservation_timer_lable);
    EXPECT_EQ(a.x1, 106);
    EXPECT_EQ(a.x2, 163);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 66);
    a = coords_of(ui_reservation_unit_lable);
    EXPECT_EQ(a.x1, 170);
    EXPECT_EQ(lv_area_get_width(&a), 90);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 66);
    expect_centred(ui_reservation_explanation_lable, ui_reservation, 0, 0, 0, 30);

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
        send(c.json);
        EXPECT_EQ(minutes(), c.shown);
    }
    // A wall clock before 1970 against the latest time: no overflow either.
    msg_pin_now(-120);
    send(reserve_message(&huge));
    EXPECT_EQ(minutes(), std::to_string((uint64_t(std::numeric_limits<int64_t>::max()) + 120) / 60 + 1));
}

TEST_F(Reservation, BuiltWhileGermanIsCurrent) {
    ASSERT_EQ(lv_i18n_set_locale("de-DE"), 0);
    show();
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Reservierung");
    EXPECT_EQ(text(ui_reservation_unit_lable), "Verbleibende Minuten");
}

TEST_F(Reservation, LanguageChangesOnShownAndHiddenScreen) {
    show();
    msg_pin_now(kNow);
    send_expiry(std::to_string(kNow + 600));

    change_language("de-DE");
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Reservierung");
    EXPECT_EQ(text(ui_reservation_unit_lable), "Verbleibende Minuten");
    EXPECT_EQ(minutes(), "11");

    hide();
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
    EXPECT_FALSE(hidden(ui_statusbar));
    msg_pin_now(kNow);
    send_expiry(std::to_string(kNow + 90000));
    advance(100);
    save_frame("reservation/1501.png");

    const lv_area_t timer = coords_of(ui_reservation_timer_lable);
    auto is_grey = [](uint32_t c) {
        const uint32_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r > 0x40 && r < 0xE0 && r + 0x20 > g && g + 0x20 > r && g + 0x20 > b && b + 0x20 > g;
    };
    EXPECT_GT(count_pixels(128, 61, 192, 125, is_grey), 200); // the clock
    // "1501" hugs the right edge of its label; nothing lies between the number and its unit.
    EXPECT_GT(count_pixels(150, timer.y1, 163, timer.y2, is_lit), 20);
    EXPECT_EQ(count_pixels(164, timer.y1, 169, timer.y2, is_lit), 0);
    EXPECT_GT(count_pixels(170, timer.y1, 259, timer.y2, is_lit), 40); // "minutes left"

    // A short number moves right, not left.
    send_expiry(std::to_string(kNow + 600));
    advance(100);
    EXPECT_EQ(count_pixels(106, timer.y1, 135, timer.y2, is_lit), 0);
    EXPECT_GT(count_pixels(136, timer.y1, 163, timer.y2, is_lit), 10);

    ui_reservation_onhide();
    EXPECT_TRUE(hidden(ui_statusbar));
}

} // namespace
