#include <gtest/gtest.h>

#include <cjson/cJSON.h>
#include <filesystem>
#include <string>

#include "app_fixture.h"
#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_charging_1_phase/ui_charging_1_phase.h"
#include "ui/ui_charging_3_phase/ui_charging_3_phase.h"
#include "ui/ui_statusbar/ui_statusbar.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kNow = 1700000000; // 2023-11-14 22:13:20 UTC

struct Doc {
    explicit Doc(const std::string& json) : root(cJSON_Parse(json.c_str())) {}
    ~Doc() { cJSON_Delete(root); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;
    cJSON* root;
};

// A status message with the given members of meterInfo, saveData and m1768Info.
std::string charging_msg(const std::string& meter, const std::string& save, const std::string& m1768 = "") {
    return R"({"conns":[{"meterInfo":{)" + meter + R"(},"sessionConnInfo":{"saveData":{)" + save +
           R"(}},"m1768Info":{)" + m1768 + "}}]}";
}

std::string text_of(lv_obj_t* label) {
    return lv_label_get_text(label);
}

size_t timer_count() {
    size_t n = 0;
    for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) n++;
    return n;
}

class Charging3Phase : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        cwd_ = fs::current_path();
        // The build directory holds the asset set.
        fs::current_path(fs::path(SD_TEST_OUT_DIR).parent_path().parent_path());
        ASSERT_TRUE(fs::exists("qorv_lvgl/assets")) << "build the assets target first";
        lv_i18n_init(lv_i18n_language_pack);
        msg_pin_now(kNow);
        ui_statusbar_init();
    }
    void TearDown() override {
        msg_unpin_now();
        fs::current_path(cwd_);
    }

    void show() {
        lv_disp_load_scr(ui_charging_3_phase_init());
        ui_charging_3_phase_onshow();
    }
    void send(const std::string& json) {
        Doc doc(json);
        ASSERT_NE(doc.root, nullptr) << json;
        ui_charging_3_phase_set_data(doc.root);
    }

    fs::path cwd_;
};

TEST_F(Charging3Phase, LayoutFollowsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_charging_3_phase);

    struct Row {
        const char* name;
        lv_obj_t* obj;
        lv_coord_t w, h, cx, cy; // h 0: content height, only the centre is checked
        uint32_t font;           // 99: no font
        lv_text_align_t align;
    };
    const Row rows[] = {
        {"charge_gif", ui_charging_3_phase_charge_gif, 46, 98, -60, 20, 99, LV_TEXT_ALIGN_AUTO},
        {"chargetim", ui_charging_3_phase_chargetim_lable, 150, 0, 70, -60, 9, LV_TEXT_ALIGN_CENTER},
        {"quantity", ui_charging_3_phase_quantity_lable, 150, 25, 70, -25, 8, LV_TEXT_ALIGN_CENTER},
        {"L1", ui_charging_3_phase_L1_lable, 150, 20, 70, 5, 7, LV_TEXT_ALIGN_LEFT},
        {"L2", ui_charging_3_phase_L2_lable, 150, 20, 70, 40, 7, LV_TEXT_ALIGN_AUTO},
        {"L3", ui_charging_3_phase_L3_lable, 150, 20, 70, 75, 7, LV_TEXT_ALIGN_AUTO},
        {"rcd", ui_charging_3_phase_rcd_label, 150, 0, -75, -60, 2, LV_TEXT_ALIGN_LEFT},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_NE(r.obj, nullptr);
        EXPECT_EQ(lv_obj_get_parent(r.obj), ui_charging_3_phase);
        const lv_coord_t w = lv_obj_get_width(r.obj), h = lv_obj_get_height(r.obj);
        EXPECT_EQ(w, r.w);
        if (r.h != 0) {
            EXPECT_EQ(h, r.h);
        }
        EXPECT_EQ(lv_obj_get_x(r.obj), 320 / 2 - w / 2 + r.cx);
        EXPECT_EQ(lv_obj_get_y(r.obj), 240 / 2 - h / 2 + r.cy);
        if (r.font != 99) {
            EXPECT_EQ(lv_obj_get_style_text_font(r.obj, LV_PART_MAIN), font_loader_get_font(r.font));
            EXPECT_EQ(lv_obj_get_style_text_align(r.obj, LV_PART_MAIN), r.align);
        }
    }
    EXPECT_EQ(lv_obj_get_child_cnt(ui_charging_3_phase), 7u);
    EXPECT_TRUE(lv_obj_has_flag(ui_charging_3_phase_rcd_label, LV_OBJ_FLAG_HIDDEN));
    EXPECT_EQ(text_of(ui_charging_3_phase_L1_lable), "#00F0FF L1 ");
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
        send(charging_msg(c.meter, c.save));
        EXPECT_EQ(text_of(ui_charging_3_phase_L1_lable), c.l1);
        EXPECT_EQ(text_of(ui_charging_3_phase_L2_lable), c.l2);
        EXPECT_EQ(text_of(ui_charging_3_phase_L3_lable), c.l3);
        EXPECT_EQ(text_of(ui_charging_3_phase_quantity_lable), c.energy);
    }
}

// The screen manager's order on a switch: old onhide, new init on first use, load, new onshow, set_data.
TEST_F(Charging3Phase, OneChargingTimerAcrossPhaseSwitches) {
    lv_obj_t* one = ui_charging_1_phase_init();
    lv_obj_t* three = ui_charging_3_phase_init();
    const size_t idle_timers = timer_count();
    const std::string one_msg = charging_msg("", R"("_startTime":)" + std::to_string(kNow - 10));
    const std::string three_msg =
        charging_msg("", R"("_startTime":)" + std::to_string(kNow - 3600), R"("runState":"S_K1K2OFF")");

    lv_disp_load_scr(one);
    ui_charging_1_phase_onshow();
    {
        Doc doc(one_msg);
        ui_charging_1_phase_set_data(doc.root);
    }
    advance(500);
    EXPECT_EQ(text_of(ui_charging_1_phase_chargetim_lable), "00h 00m 10s");

    for (int round = 0; round < 3; round++) {
        SCOPED_TRACE(round);
        ui_charging_1_phase_onhide();
        lv_disp_load_scr(three);
        ui_charging_3_phase_onshow();
        send(three_msg);
        EXPECT_EQ(timer_count(), idle_timers + 1);
        ASSERT_NE(charging_timer, nullptr);
        EXPECT_EQ(charging_timer->timer_cb, ui_charging_3_phase_set_charge_time);
        advance(500);
        // Each screen counts from its own start time; the hidden one shows zero time.
        EXPECT_EQ(text_of(ui_charging_3_phase_chargetim_lable), "01h 00m 00s");
        EXPECT_FALSE(lv_obj_has_flag(ui_charging_3_phase_rcd_label, LV_OBJ_FLAG_HIDDEN));
        EXPECT_EQ(text_of(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");

        ui_charging_3_phase_onhide();
        lv_disp_load_scr(one);
        ui_charging_1_phase_onshow();
        EXPECT_EQ(timer_count(), idle_timers + 1);
        ASSERT_NE(charging_timer, nullptr);
        EXPECT_EQ(charging_timer->timer_cb, ui_charging_1_phase_set_charge_time);
        advance(500);
        EXPECT_EQ(text_of(ui_charging_1_phase_chargetim_lable), "00h 00m 10s");
        EXPECT_EQ(text_of(ui_charging_3_phase_chargetim_lable), "00h 00m 00s");
    }
    ui_charging_1_phase_onhide();
    EXPECT_EQ(timer_count(), idle_timers);
    EXPECT_EQ(charging_timer, nullptr);
}

TEST_F(Charging3Phase, DrawsPhaseNamesInColour) {
    show();
    send(charging_msg(R"("voltage":[2301,2299,2310],"current":[160,58,1000],"Q":[0,0,0,123456.9])",
                      R"("_meterStart":120000,"_startTime":)" + std::to_string(kNow - 3723),
                      R"("runState":"S_K1K2OFF")"));
    advance(560);
    const std::string path = save_frame("charging_3_phase.png");

    // Colours in the band of a phase line: the name in cyan, the values in white.
    for (lv_coord_t cy : {5, 40, 75}) {
        SCOPED_TRACE(cy);
        int cyan = 0, white = 0;
        for (lv_coord_t y = 120 + cy - 10; y < 120 + cy + 10; y++) {
            for (lv_coord_t x = 155; x < 305; x++) {
                cyan += pixel(x, y) == 0x00F0FF;
                white += pixel(x, y) == 0xFFFFFF;
            }
        }
        EXPECT_GT(cyan, 10) << path;
        EXPECT_GT(white, 30) << path;
    }
}

} // namespace
