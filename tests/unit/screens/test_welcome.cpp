#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_welcome/ui_welcome.h"

namespace {

// The welcome screen as the screen manager shows it at start: status bar first, then the screen.
class Welcome : public ScreenFixture {
  protected:
    Welcome() : ScreenFixture(SCREEN_OPS(welcome)) {}
    void SetUp() override {
        ScreenFixture::SetUp();
        show();
    }

    std::string figure() const { return lv_label_get_text(ui_welcome_loading_label); }
    // Advances the virtual time to `ms` after start.
    void advance_to(uint32_t ms) { advance(ms - app_tick_now()); }
};

TEST_F(Welcome, CountsTwoStepsASecondUpTo99) {
    EXPECT_EQ(figure(), "");
    EXPECT_TRUE(hidden(ui_statusbar));

    struct Point {
        uint32_t ms;
        const char* figure;
    };
    const Point points[] = {
        {480, ""},      {500, "1%"},    {980, "1%"},    {1000, "2%"},    {5000, "10%"},
        {49480, "98%"}, {49500, "99%"}, {50000, "99%"}, {120000, "99%"},
    };
    for (const Point& p : points) {
        SCOPED_TRACE(p.ms);
        advance_to(p.ms);
        EXPECT_EQ(figure(), p.figure);
    }
    // A status message that keeps the welcome screen changes nothing.
    ui_welcome_set_data(nullptr);
    ui_welcome_language_changed();
    EXPECT_EQ(figure(), "99%");
}

TEST_F(Welcome, LeavingEmptiesTheFigureAndShowingAgainRestartsIt) {
    AppLog log;
    advance_to(3000);
    EXPECT_EQ(figure(), "6%");

    ui_welcome_onhide();
    EXPECT_EQ(figure(), "");
    EXPECT_FALSE(hidden(ui_statusbar));
    EXPECT_EQ(log.count("RESTORE statusbar show  =  1"), 1u);

    // Paused: nothing counts while another screen is shown.
    advance_to(10000);
    EXPECT_EQ(figure(), "");

    // Shown again after more than a period: the first step comes at the next handler run.
    ui_welcome_onshow();
    EXPECT_TRUE(hidden(ui_statusbar));
    EXPECT_EQ(figure(), "");
    advance_to(10020);
    EXPECT_EQ(figure(), "1%");
    advance_to(10500);
    EXPECT_EQ(figure(), "1%");
    advance_to(10520);
    EXPECT_EQ(figure(), "2%");

    // Hidden and shown again within one period: the count restarts, the period runs on.
    ui_welcome_onhide();
    advance_to(10600);
    ui_welcome_onshow();
    advance_to(11000);
    EXPECT_EQ(figure(), "");
    advance_to(11020);
    EXPECT_EQ(figure(), "1%");
}

TEST_F(Welcome, ShowsTheFigureInTheLowerRightCornerOfThePicture) {
    EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(ui_welcome_img)),
                 "A:qorv_lvgl/assets/img/misc_icon/welcome.png");
    EXPECT_EQ(lv_obj_get_parent(ui_welcome_loading_label), ui_welcome_img);
    EXPECT_EQ(lv_obj_get_style_text_font(ui_welcome_loading_label, LV_PART_MAIN), font_loader_get_font(1));

    advance_to(49500);
    lv_obj_update_layout(ui_welcome);
    expect_area(ui_welcome_img, 0, 0, 320, 240);
    const lv_area_t label = coords_of(ui_welcome_loading_label);
    EXPECT_NEAR((label.x1 + label.x2) / 2.0, 160 + 130, 1.0);
    EXPECT_NEAR((label.y1 + label.y2) / 2.0, 120 + 100, 1.0);

    save_frame("welcome/99.png");
    // The figure is drawn in white over the picture.
    EXPECT_GT(count_pixels(label, is_colour(0xFFFFFF)), 0);
}

} // namespace
