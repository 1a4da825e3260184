#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_charging_1_phase/ui_charging_1_phase.h"

namespace {

class Charging1Phase : public ScreenFixture {
  protected:
    Charging1Phase() : ScreenFixture(SCREEN_OPS(charging_1_phase)) {}
};

TEST_F(Charging1Phase, LayoutFollowsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_charging_1_phase);

    const WidgetRow rows[] = {
        {"charge_gif", ui_charging_1_phase_charge_gif, 46, 98, -60, 20},
        {"chargetim", ui_charging_1_phase_chargetim_lable, 200, 0, 50, -60, 10, LV_TEXT_ALIGN_CENTER},
        {"voltage", ui_charging_1_phase_voltage_lable, 150, 20, 70, -15, 9, LV_TEXT_ALIGN_LEFT},
        {"current", ui_charging_1_phase_current_lable, 150, 20, 70, 20, 9},
        {"quantity", ui_charging_1_phase_quantity_lable, 150, 20, 70, 55, 9},
        {"rcd", ui_charging_1_phase_rcd_label, 150, 0, -75, -60, 2},
    };
    expect_widget_table(ui_charging_1_phase, rows);
    // The placeholder image is gone: the GIF took its place.
    EXPECT_EQ(lv_obj_get_child_cnt(ui_charging_1_phase), 6u);
    EXPECT_TRUE(lv_obj_has_flag(ui_charging_1_phase_charge_gif, LV_OBJ_FLAG_ADV_HITTEST));
    EXPECT_FALSE(lv_obj_has_flag(ui_charging_1_phase_charge_gif, LV_OBJ_FLAG_SCROLLABLE));
    EXPECT_TRUE(hidden(ui_charging_1_phase_rcd_label));
    EXPECT_EQ(text(ui_charging_1_phase_rcd_label), "RCD Checking");
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "");
}

TEST_F(Charging1Phase, LabelsShowVoltageCurrentAndEnergy) {
    show();
    struct Case {
        const char* name;
        std::string meter, save;
        const char* voltage;
        const char* current;
        const char* energy;
    };
    const Case cases[] = {
        {"typical", R"("voltage":[2301],"current":[160],"Q":[0,0,0,123456])", R"("_meterStart":120000)",
         "230.1V", "16.0A", "3.46kWh"},
        {"fraction of the register counts", R"("voltage":[2301.9],"current":[5.5],"Q":[0,0,0,120005.9])",
         R"("_meterStart":120000.2)", "230.1V", "0.5A", "0.01kWh"},
        {"large register", R"("Q":[0,0,0,1e10])", R"("_meterStart":0)", "0.0V", "0.0A", "10000000.00kWh"},
        {"negative", R"("voltage":[-2301],"current":[-160],"Q":[0,0,0,100])", R"("_meterStart":600)",
         "-230.1V", "-16.0A", "-0.50kWh"},
        {"low 16 bits", R"("voltage":[67837],"current":[40000],"Q":[0,0,0,0])", R"("_meterStart":0)",
         "230.1V", "-2553.6A", "0.00kWh"},
        {"saturated", R"("voltage":[1e12],"current":[-1e12],"Q":[0,0,0,0])", R"("_meterStart":0)", "-0.1V",
         "0.0A", "0.00kWh"},
        {"texts are no numbers", R"("voltage":["2301"],"current":[true],"Q":[0,0,0,"5"])",
         R"("_meterStart":0)", "0.0V", "0.0A", "nankWh"},
        {"nothing", "", "", "0.0V", "0.0A", "nankWh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(charging_message(c.meter, c.save));
        EXPECT_EQ(text(ui_charging_1_phase_voltage_lable), c.voltage);
        EXPECT_EQ(text(ui_charging_1_phase_current_lable), c.current);
        EXPECT_EQ(text(ui_charging_1_phase_quantity_lable), c.energy);
    }
}

TEST_F(Charging1Phase, RcdNoticeFollowsTheRunState) {
    show();
    struct Step {
        const char* m1768;
        bool hidden;
    };
    // One message after another on the same screen.
    const Step steps[] = {
        {"", true},
        {R"("runState":"S_K1K2OFF_Wait")", false},
        {R"("runState":"S_K1K2ON")", true},
        {R"("runState":"")", false},
        {R"("runState":"S_Charging_L1")", true},
        {R"("runState":"S_charging")", false}, // the markers are case-sensitive
        {R"("runState":"x_K1K2ONx")", true},
        {R"("runState":"_K1K2")", false},
        {R"("runState":5)", true}, // no text: as if absent
        {R"("runState":"S_Prepare")", false},
        {R"("runState":null)", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.m1768);
        send(charging_message("", "", s.m1768));
        EXPECT_EQ(hidden(ui_charging_1_phase_rcd_label), s.hidden);
    }
    EXPECT_EQ(text(ui_charging_1_phase_rcd_label), "RCD Checking");

    // A language change re-reads the notice and leaves its visibility and the values alone.
    send(charging_message(R"("voltage":[2301])", "", R"("runState":"S_Wait")"));
    change_language("ru-RU");
    EXPECT_FALSE(hidden(ui_charging_1_phase_rcd_label));
    EXPECT_EQ(text(ui_charging_1_phase_rcd_label), lv_i18n_get_text("s_rcd_checkin"));
    EXPECT_EQ(text(ui_charging_1_phase_voltage_lable), "230.1V");
}

TEST_F(Charging1Phase, ChargingTimeCountsTotalHours) {
    const int64_t start = kNow - (25 * 3600 + 5 * 60 + 7);
    show();
    send(charging_message("", R"("_startTime":)" + std::to_string(start)));
    // The first tick comes 500 ms after the screen is shown.
    advance(480);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "");
    advance(20);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "25h 05m 07s");

    msg_pin_now(kNow + 1);
    advance(500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "25h 05m 08s");

    struct Case {
        const char* name;
        int64_t now;
        std::string start;
        const char* shown;
    };
    const Case cases[] = {
        {"one second", kNow, std::to_string(kNow - 1), "00h 00m 01s"},
        {"start in the future", kNow, std::to_string(kNow + 10), "00h 00m 00s"},
        {"start now", kNow, std::to_string(kNow), "00h 00m 00s"},
        {"after January 2038", 4102444800, "4102441139", "01h 01m 01s"},
        {"start 0: no session time known", kNow, "0", "00h 00m 00s"},
        {"a real start counts again", kNow, std::to_string(kNow - 61), "00h 01m 01s"},
        {"no start time", kNow, "null", "00h 00m 00s"},
        {"negative start", kNow, "-5", "00h 00m 00s"},
        {"start time with a fraction", kNow, std::to_string(kNow - 60) + ".9", "00h 01m 00s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msg_pin_now(c.now);
        send(charging_message("", R"("_startTime":)" + c.start));
        advance(500);
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), c.shown);
    }

    // Hidden: zero time, and no timer writes the label any more.
    ui_charging_1_phase_onhide();
    EXPECT_EQ(charging_timer, nullptr);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");
    advance(1500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");

    // Shown again: zero time until the first tick.
    msg_pin_now(kNow);
    ui_charging_1_phase_onshow();
    send(charging_message("", R"("_startTime":)" + std::to_string(kNow - 3600)));
    advance(480);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");
    advance(20);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "01h 00m 00s");
}

TEST_F(Charging1Phase, DrawsTheBatteryAndTheValues) {
    show();
    send(charging_message(R"("voltage":[2301],"current":[160],"Q":[0,0,0,123456])",
                          R"("_meterStart":120000,"_startTime":)" + std::to_string(kNow - 3723),
                          R"("runState":"S_K1K2OFF")"));
    advance(500);
    const std::string path = save_frame("charging_1_phase.png");

    // Lit pixels in a box given by its centre offset and size.
    auto lit = [&](lv_coord_t cx, lv_coord_t cy, lv_coord_t w, lv_coord_t h) {
        return count_pixels(centred_box(cx, cy, w, h), is_lit);
    };
    EXPECT_GT(lit(-60, 20, 46, 98), 200) << path;  // battery
    EXPECT_GT(lit(50, -60, 200, 30), 100) << path; // charging time
    EXPECT_GT(lit(70, -15, 150, 20), 50) << path;  // voltage
    EXPECT_GT(lit(70, 20, 150, 20), 50) << path;   // current
    EXPECT_GT(lit(70, 55, 150, 20), 50) << path;   // energy
    EXPECT_GT(lit(-75, -60, 150, 16), 30) << path; // RCD notice
    EXPECT_EQ(lit(-130, 90, 40, 40), 0) << path;   // nothing in the bottom left corner

    // The battery fills up on its own: its green part grows from one frame of the GIF to the next.
    auto green = [&]() {
        return count_pixels(centred_box(-60, 20, 46, 98),
                            [](uint32_t px) { return ((px >> 8) & 0xFF) > 0x80 && (px >> 16) < 0x80; });
    };
    const int before = green();
    advance(450);
    EXPECT_NE(green(), before) << save_frame("charging_1_phase_later.png");
}

} // namespace
