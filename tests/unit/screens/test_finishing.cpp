#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "screen_fixture.h"
#include "ui/ui_finishing/ui_finishing.h"

namespace {

// A status message with the given members of the connector's ramData.
std::string ram_data_message(const std::string& members) {
    return R"({"conns":[{"sessionConnInfo":{"ramData":{)" + members + "}}}]}";
}

// Where the animated widgets are: the texts' y and the pictures' x offsets from the centre.
using Places = std::array<lv_coord_t, 5>;
Places places() {
    return {lv_obj_get_y_aligned(ui_finishing_inform_label), lv_obj_get_y_aligned(ui_finishing_Q_label),
            lv_obj_get_x_aligned(ui_finishing_gun_img), lv_obj_get_x_aligned(ui_finishing_arrow_img),
            lv_obj_get_x_aligned(ui_finishing_plug_img)};
}

// The value of an animation from `start` to `end` lasting `time` ms, `act` ms into its run.
int32_t path_value(lv_anim_path_cb_t path, int32_t start, int32_t end, int32_t time, int32_t act) {
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_values(&a, start, end);
    lv_anim_set_time(&a, uint32_t(time));
    a.act_time = act;
    return path(&a);
}

class Finishing : public ScreenFixture {
  protected:
    Finishing() : ScreenFixture(SCREEN_OPS(finishing)) {}

    // Builds and loads the screen, then lets a second pass so that no animation timer run is pending.
    void build() {
        lv_disp_load_scr(ui_finishing_init());
        advance(1000, 10);
    }
};

TEST_F(Finishing, LayoutFollowsTheWidgetTable) {
    build();
    ui_statusbar_set_show(0);
    ui_finishing_onshow();
    EXPECT_FALSE(hidden(ui_statusbar));
    advance(500, 10);
    lv_obj_update_layout(ui_finishing);

    const WidgetRow rows[] = {
        {"inform", ui_finishing_inform_label, 280, 0, 0, 50, 4},
        {"Q", ui_finishing_Q_label, 0, 0, 0, 80, 4},
        {"gun", ui_finishing_gun_img, 64, 64, -80, -20},
        {"arrow", ui_finishing_arrow_img, 48, 48, 5, -20},
        {"plug", ui_finishing_plug_img, 64, 64, 90, -20},
    };
    expect_widget_table(ui_finishing, rows);
    EXPECT_EQ(lv_obj_get_child_cnt(ui_finishing), 5u);
    EXPECT_EQ(lv_label_get_long_mode(ui_finishing_inform_label), LV_LABEL_LONG_SCROLL_CIRCULAR);
    EXPECT_EQ(text(ui_finishing_inform_label), "Remove the charging plug");
    EXPECT_EQ(text(ui_finishing_Q_label), "");

    send(ram_data_message(R"("actualMeter":15234)"));
    advance(100, 10);
    const std::string path = save_frame("finishing.png");
    EXPECT_GT(count_pixels(48, 68, 111, 131, is_lit), 300) << path;   // gun
    EXPECT_GT(count_pixels(141, 76, 188, 123, is_lit), 200) << path;  // arrow
    EXPECT_GT(count_pixels(218, 68, 281, 131, is_lit), 300) << path;  // plug
    EXPECT_GT(count_pixels(20, 160, 300, 180, is_lit), 200) << path;  // request
    EXPECT_GT(count_pixels(110, 190, 210, 210, is_lit), 100) << path; // energy
}

TEST_F(Finishing, EnergyOfTheSession) {
    build();
    ui_finishing_onshow();
    struct Case {
        const char* name;
        const char* ram_data;
        const char* shown;
    };
    const Case cases[] = {
        {"typical", R"("actualMeter":15234)", "15.23 kWh"},
        {"zero", R"("actualMeter":0)", "0.00 kWh"},
        {"rounding", R"("actualMeter":15235.1)", "15.24 kWh"},
        {"negative", R"("actualMeter":-500)", "-0.50 kWh"},
        {"key case", R"("ACTUALMETER":1000)", "1.00 kWh"},
        {"text", R"("actualMeter":"15234")", "nan kWh"},
        {"absent", "", "nan kWh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(ram_data_message(c.ram_data));
        EXPECT_EQ(text(ui_finishing_Q_label), c.shown);
    }
    // At most 30 characters.
    send(ram_data_message(R"("actualMeter":1e30)"));
    EXPECT_EQ(text(ui_finishing_Q_label).size(), 30u);
    EXPECT_EQ(text(ui_finishing_Q_label).substr(0, 5), "10000");
}

TEST_F(Finishing, AnimationPositionsAtChosenTimes) {
    build();
    const uint32_t t0 = app_tick_now();
    ui_finishing_onshow();
    // The texts jump up 20 px at once; the pictures wait where they are.
    EXPECT_EQ(places(), (Places{30, 60, -80, 5, 90}));

    // Runs of the animation timer fall 10 ms after the show and every 30 ms from there.
    auto at = [&](uint32_t ms) {
        SCOPED_TRACE(ms);
        advance(t0 + ms - app_tick_now(), 10);
        return places();
    };
    EXPECT_EQ(at(90), (Places{30, 60, -80, 5, 90}));  // still in the 100 ms delay
    EXPECT_EQ(at(250), (Places{33, 63, -80, 5, 90})); // half way of an ease-in: 183/1024
    EXPECT_EQ(at(400), (Places{50, 80, -80, 5, 90})); // settled
    EXPECT_EQ(at(790), (Places{50, 80, -80, 5, 90})); // pictures still waiting
    const lv_coord_t gun_1210 = lv_coord_t(path_value(lv_anim_path_ease_in_out, -80, -100, 800, 410));
    const lv_coord_t arrow_1210 = lv_coord_t(path_value(lv_anim_path_ease_in_out, 5, -15, 800, 410));
    EXPECT_GT(gun_1210, -100);
    EXPECT_LT(gun_1210, -80);
    EXPECT_EQ(at(1210), (Places{50, 80, gun_1210, arrow_1210, 90}));
    EXPECT_EQ(at(1600), (Places{50, 80, -100, -15, 90})); // at the left end
    EXPECT_EQ(at(2050), (Places{50, 80, -100, -15, 90})); // waiting there 500 ms
    EXPECT_EQ(at(2200), (Places{50, 80, -91, -6, 90}));   // half way back: 503/1024
    EXPECT_EQ(at(2320), (Places{50, 80, -80, 5, 90}));    // back

    // Five nudges in all, and nothing moves after about 10.3 s.
    int nudges = 0;
    lv_coord_t last = -80;
    while (app_tick_now() - t0 < 12000) {
        advance(10, 10);
        const lv_coord_t x = lv_obj_get_x_aligned(ui_finishing_gun_img);
        nudges += x == -100 && last != -100;
        last = x;
        if (app_tick_now() - t0 == 10000) {
            EXPECT_NE(lv_anim_get(ui_finishing_gun_img, nullptr), nullptr);
        }
    }
    EXPECT_EQ(nudges, 4); // the first one was counted above
    EXPECT_EQ(places(), (Places{50, 80, -80, 5, 90}));
    EXPECT_EQ(lv_anim_get(ui_finishing_gun_img, nullptr), nullptr);
    EXPECT_EQ(lv_anim_get(ui_finishing_arrow_img, nullptr), nullptr);
    EXPECT_EQ(lv_anim_get(ui_finishing_inform_label, nullptr), nullptr);
}

TEST_F(Finishing, ShownAgainPlaysTheSameMotion) {
    build();
    auto record = [&]() {
        std::vector<Places> trace;
        for (int i = 0; i < 250; i++) {
            advance(10, 10);
            trace.push_back(places());
        }
        return trace;
    };
    ui_finishing_onshow();
    const std::vector<Places> first = record();
    // Left after 2.5 s: the motion runs on while the screen is hidden.
    ui_finishing_onhide();
    advance(10000, 10);
    ASSERT_EQ(places(), (Places{50, 80, -80, 5, 90}));

    ui_finishing_onshow();
    const std::vector<Places> second = record();
    EXPECT_EQ(first, second);
}

TEST_F(Finishing, LanguageChangeOnShownAndHiddenScreen) {
    build();
    ui_finishing_onshow();
    send(ram_data_message(R"("actualMeter":15234)"));
    change_language("fr-FR");
    const std::string french = text(ui_finishing_inform_label);
    EXPECT_EQ(french, lv_i18n_get_text("s_remove_plug"));
    EXPECT_NE(french, "Remove the charging plug");
    EXPECT_EQ(text(ui_finishing_Q_label), "15.23 kWh");

    ui_finishing_onhide();
    change_language("de-DE");
    const std::string german = text(ui_finishing_inform_label);
    EXPECT_NE(german, french);
    EXPECT_NE(german, "Remove the charging plug");
    ui_finishing_onshow();
    EXPECT_EQ(text(ui_finishing_inform_label), german);
    EXPECT_EQ(text(ui_finishing_Q_label), "15.23 kWh");
}

} // namespace
