#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_charging_1_phase/ui_charging_1_phase.h"
#include "ui/ui_charging_3_phase/ui_charging_3_phase.h"

namespace {

size_t timer_count() {
    size_t n = 0;
    for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) n++;
    return n;
}

class Charging3Phase : public ScreenFixture {
  protected:
    Charging3Phase() : ScreenFixture(SCREEN_OPS(charging_3_phase)) {}
};

TEST_F(Charging3Phase, LayoutFollowsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_charging_3_phase);

    const WidgetRow rows[] = {
        {"charge_gif", ui_charging_3_phase_charge_gif, 46, 98, -60, 20},
        {"chargetim", ui_charging_3_phase_chargetim_lable, 150, 0, 70, -60, 9, LV_TEXT_ALIGN_CENTER},
        {"quantity", ui_charging_3_phase_quantity_lable, 150, 25, 70, -25, 8, LV_TEXT_ALIGN_CENTER},
        {"L1", ui_charging_3_phase_L1_lable, 150, 20, 70, 5, 7, LV_TEXT_ALIGN_LEFT},
        {"L2", ui_charging_3_phase_L2_lable, 150, 20, 70, 40, 7, LV_TEXT_ALIGN_AUTO},
        {"L3", ui_charging_3_phase_L3_lable, 150, 20, 70, 75, 7, LV_TEXT_ALIGN_AUTO},
        {"rcd", ui_charging_3_phase_rcd_label, 150, 0, -75, -60, 2, LV_TEXT_ALIGN_LEFT},
    };
    expect_widget_table(ui_charging_3_phase, rows);
    EXPECT_EQ(lv_obj_get_child_cnt(ui_charging_3_phase), 7u);
    EXPECT_TRUE(hidden(ui_charging_3_phase_rcd_label));
    EXPECT_EQ(text(ui_charging_3_phase_L1_lable), "#00F0FF L1 ");
}

TEST_F(Charging3Phase, PhaseLinesAndEnergy) {
    show();
    struct Case {
        const char* name;
        std::string meter, save;
        const char* l1;
        const char* l2;
        const char* l3;
        const char* energy;
    };
    const Case cases[] = {
        {"typical", R"("voltage":[2301,2299,2310],"current":[160,58,1000],"Q":[0,0,0,123456.9])",
         R"("_meterStart":120000)", "#00F0FF L1:# 230.1V  16.0A", "#00F0FF L2:# 229.9V   5.8A",
         "#00F0FF L3:# 231.0V 100.0A", "3.46 kWh"},
        {"the register's fraction is dropped", R"("Q":[0,0,0,120005.9])", R"("_meterStart":120000.2)",
         "#00F0FF L1:#   0.0V   0.0A", "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
         "0.00 kWh"},
        {"register saturates at 32 bits", R"("Q":[0,0,0,1e10])", R"("_meterStart":0)",
         "#00F0FF L1:#   0.0V   0.0A", "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
         "2147483.65 kWh"},
        {"low 16 bits and negatives", R"("voltage":[67837,-5,40000],"current":[-58,65536,0])",
         R"("_meterStart":500)", "#00F0FF L1:# 230.1V  -5.8A", "#00F0FF L2:#  -0.5V   0.0A",
         "#00F0FF L3:# -2553.6V   0.0A", "-0.50 kWh"},
        {"missing register counts as 0", R"("voltage":[2301])", R"("_meterStart":0)",
         "#00F0FF L1:# 230.1V   0.0A", "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
         "0.00 kWh"},
        {"missing meter start", R"("Q":[0,0,0,5])", "", "#00F0FF L1:#   0.0V   0.0A",
         "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A", "nan kWh"},
        {"one-phase supply", R"("voltage":[2301],"current":[160],"Q":[0,0,0,3000])", R"("_meterStart":0)",
         "#00F0FF L1:# 230.1V  16.0A", "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
         "3.00 kWh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(charging_message(c.meter, c.save));
        EXPECT_EQ(text(ui_charging_3_phase_L1_lable), c.l1);
        EXPECT_EQ(text(ui_charging_3_phase_L2_lable), c.l2);
        EXPECT_EQ(text(ui_charging_3_phase_L3_lable), c.l3);
        EXPECT_EQ(text(ui_charging_3_phase_quantity_lable), c.energy);
    }
}

// The screen manager's order on a switch: old onhide, new init on first use, load, new onshow, set_data.
TEST_F(Charging3Phase, OneChargingTimerAcrossPhaseSwitches) {
    const ScreenOps one = SCREEN_OPS(charging_1_phase);
    ui_charging_1_phase_init();
    ui_charging_3_phase_init();
    const size_t idle_timers = timer_count();
    const std::string one_msg = charging_message("", R"("_startTime":)" + std::to_string(kNow - 10));
    const std::string three_msg =
        charging_message("", R"("_startTime":)" + std::to_string(kNow - 3600), R"("runState":"S_K1K2OFF")");

    show_again(one);
    send_to(ui_charging_1_phase_set_data, one_msg);
    advance(500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 10s");

    for (int round = 0; round < 3; round++) {
        SCOPED_TRACE(round);
        ui_charging_1_phase_onhide();
        show_again();
        send(three_msg);
        EXPECT_EQ(timer_count(), idle_timers + 1);
        ASSERT_NE(charging_timer, nullptr);
        EXPECT_EQ(charging_timer->timer_cb, ui_charging_3_phase_set_charge_time);
        advance(500);
        // Each screen counts from its own start time; the hidden one shows zero time.
        EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "01h 00m 00s");
        EXPECT_FALSE(hidden(ui_charging_3_phase_rcd_label));
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");

        ui_charging_3_phase_onhide();
        show_again(one);
        EXPECT_EQ(timer_count(), idle_timers + 1);
        ASSERT_NE(charging_timer, nullptr);
        EXPECT_EQ(charging_timer->timer_cb, ui_charging_1_phase_set_charge_time);
        advance(500);
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 10s");
        EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "00h 00m 00s");
    }
    // A start of 0 means no session time is known, on either screen and across a switch; the next
    // message with a real start counts from it.
    send_to(ui_charging_1_phase_set_data, charging_message("", R"("_startTime":0)"));
    advance(500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");
    ui_charging_1_phase_onhide();
    show_again();
    send(charging_message("", R"("_startTime":0)"));
    advance(500);
    EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "00h 00m 00s");
    send(charging_message("", R"("_startTime":)" + std::to_string(kNow - 5)));
    advance(500);
    EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "00h 00m 05s");
    ui_charging_3_phase_onhide();
    EXPECT_EQ(timer_count(), idle_timers);
    EXPECT_EQ(charging_timer, nullptr);
}

TEST_F(Charging3Phase, DrawsPhaseNamesInColour) {
    show();
    send(charging_message(R"("voltage":[2301,2299,2310],"current":[160,58,1000],"Q":[0,0,0,123456.9])",
                          R"("_meterStart":120000,"_startTime":)" + std::to_string(kNow - 3723),
                          R"("runState":"S_K1K2OFF")"));
    advance(560);
    const std::string path = save_frame("charging_3_phase.png");

    // Colours in the band of a phase line: the name in cyan, the values in white.
    for (lv_coord_t cy : {5, 40, 75}) {
        SCOPED_TRACE(cy);
        const lv_area_t band = centred_box(70, cy, 150, 20);
        EXPECT_GT(count_pixels(band, is_colour(0x00F0FF)), 10) << path;
        EXPECT_GT(count_pixels(band, is_colour(0xFFFFFF)), 30) << path;
    }
}

} // namespace
