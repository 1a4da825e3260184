#include <gtest/gtest.h>

#include <string>

#include "app_fixture.h"
#include "ui/ui_statusbar/ui_statusbar.h"

namespace {

// A status message with the given members of global.drvPointInfo and global.sysconfigInfo.
std::string bar_message(const std::string& points, const std::string& sysconfig = "") {
    std::string global = R"("drvPointInfo":{)" + points + "}";
    if (!sysconfig.empty()) global += R"(,"sysconfigInfo":{)" + sysconfig + "}";
    return R"({"global":{)" + global + "}}";
}

std::string picture(const std::string& file) {
    return "A:qorv_lvgl/assets/img/statusbar_icon/" + file;
}

class StatusBar : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        MainScreen_SwitchScreen(SCREEN_IDLE); // shows the bar
    }
};

TEST_F(StatusBar, MapsEachItemToAnIconState) {
    struct Case {
        const char* name;
        const char* before; // drvPointInfo members that set a known state first
        const char* points; // drvPointInfo members of the message under test
        lv_obj_t** icon;
        const char* file;
    };
    const Case cases[] = {
        {"fault false is on", "", R"("meterFault":false)", &ui_ammter_icon, "ammeter_on.png"},
        {"fault true is error", "", R"("meterFault":true)", &ui_ammter_icon, "ammeter_err.png"},
        {"missing fault is off", R"("meterFault":true)", "", &ui_ammter_icon, "ammeter_off.png"},
        {"rf fault", "", R"("rfFault":true)", &ui_nfc_icon, "rf_err.png"},
        {"eth 1", "", R"("ethStatus":1)", &ui_wan_icon, "eth_on.png"},
        {"4g 2", "", R"("m4gStatus":2)", &ui_lte_icon, "4g_err.png"},
        {"online true", "", R"("online":true)", &ui_server_icon, "online_err.png"},
        {"wifi 2", "", R"("wifiStatus":2)", &ui_wifi_icon, "wifi_err.png"},
        {"wifi 3", R"("wifiStatus":1)", R"("wifiStatus":3)", &ui_wifi_icon, "wifi_off.png"},
        {"wifi 257 keeps the low byte", "", R"("wifiStatus":257)", &ui_wifi_icon, "wifi_on.png"},
        {"wifi 1.9 truncates", "", R"("wifiStatus":1.9)", &ui_wifi_icon, "wifi_on.png"},
        {"wifi 5e9 saturates", R"("wifiStatus":1)", R"("wifiStatus":5e9)", &ui_wifi_icon, "wifi_off.png"},
        {"online text keeps", R"("online":true)", R"("online":"1")", &ui_server_icon, "online_err.png"},
        {"online null keeps", R"("online":1)", R"("online":null)", &ui_server_icon, "online_on.png"},
        {"key case ignored", "", R"("WIFISTATUS":1)", &ui_wifi_icon, "wifi_on.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(bar_message(
            R"("meterFault":0,"rfFault":0,"ethStatus":0,"wifiStatus":0,"m4gStatus":0,"online":0)"));
        send(bar_message(c.before));
        send(bar_message(c.points));
        EXPECT_EQ(img_src(*c.icon), picture(c.file));
    }
}

TEST_F(StatusBar, ClockFollowsTheTimeZoneInQuarterHours) {
    // 2024-03-01 10:07:30 UTC and 01:30:00 UTC of the same day; the last one lies beyond January 2038.
    constexpr int64_t k1007 = 1709287650;
    constexpr int64_t k0130 = 1709256600;
    constexpr int64_t k2040 = 2209025220; // 2040-01-01 10:07:00 UTC
    struct Case {
        const char* name;
        int64_t now;
        const char* sysconfig;
        const char* clock;
    };
    const Case cases[] = {
        {"UTC+2", k1007, R"("timezone":56)", "12 : 07"},
        {"UTC-2 across midnight", k0130, R"("timezone":40)", "23 : 30"},
        {"explicit 0 is UTC-12", k1007, R"("timezone":0)", "22 : 07"},
        {"absent is UTC", k1007, "", "10 : 07"},
        {"text is UTC", k1007, R"("timezone":"56")", "10 : 07"},
        {"low byte of -200 is UTC+2", k1007, R"("timezone":-200)", "12 : 07"},
        {"after 2038", k2040, R"("timezone":52)", "11 : 07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msg_pin_now(c.now);
        send(bar_message("", c.sysconfig));
        EXPECT_STREQ(lv_label_get_text(ui_clock_text), c.clock);
    }
}

// What the screens' onshow and onhide do: onshow sets the bar, onhide restores what held before, with a
// log line. One level is saved: showing twice in a row saves the state the first call set.
TEST_F(StatusBar, RestoresTheVisibilityThatHeldBeforeTheScreen) {
    struct Step {
        int show; // -1: restore
        bool hidden;
        const char* log;
    };
    const Step steps[] = {
        {0, true, nullptr},
        {-1, false, "RESTORE statusbar show  =  1"},
        {1, false, nullptr},
        {-1, false, "RESTORE statusbar show  =  1"},
        {0, true, nullptr},
        {1, false, nullptr},
        {-1, true, "RESTORE statusbar show  =  0"},
        {-1, true, "RESTORE statusbar show  =  0"},
    };
    for (size_t i = 0; i < std::size(steps); i++) {
        SCOPED_TRACE(i);
        StdoutLog log;
        if (steps[i].show < 0)
            ui_statusbar_restore_show();
        else
            ui_statusbar_set_show(uint8_t(steps[i].show));
        EXPECT_EQ(hidden(ui_statusbar), steps[i].hidden);
        const std::vector<std::string> lines = log.lines();
        ASSERT_EQ(lines.size(), steps[i].log ? 1u : 0u);
        if (steps[i].log != nullptr) {
            EXPECT_NE(lines[0].find("[User]"), std::string::npos) << lines[0];
            EXPECT_NE(lines[0].find(steps[i].log), std::string::npos) << lines[0];
        }
    }
}

} // namespace
