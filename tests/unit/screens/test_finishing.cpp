#include <gtest/gtest.h>

#include <array>
#include <cjson/cJSON.h>
#include <filesystem>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "i18n/lv_i18n.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_finishing/ui_finishing.h"
#include "ui/ui_statusbar/ui_statusbar.h"

namespace fs = std::filesystem;

namespace {

struct Doc {
    explicit Doc(const std::string& json) : root(cJSON_Parse(json.c_str())) {}
    ~Doc() { cJSON_Delete(root); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;
    cJSON* root;
};

std::string text_of(lv_obj_t* label) {
    return lv_label_get_text(label);
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

class Finishing : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        cwd_ = fs::current_path();
        // The build directory holds the asset set.
        fs::current_path(fs::path(SD_TEST_OUT_DIR).parent_path().parent_path());
        ASSERT_TRUE(fs::exists("qorv_lvgl/assets")) << "build the assets target first";
        lv_i18n_init(lv_i18n_language_pack);
        ui_statusbar_init();
    }
    void TearDown() override { fs::current_path(cwd_); }

    // Builds and loads the screen, then lets a second pass so that no animation timer run is pending.
    void build() {
        lv_disp_load_scr(ui_finishing_init());
        advance(1000, 10);
    }
    void send(const std::string& json) {
        Doc doc(json);
        ASSERT_NE(doc.root, nullptr) << json;
        ui_finishing_set_data(doc.root);
    }

    fs::path cwd_;
};

TEST_F(Finishing, LayoutFollowsTheWidgetTable) {
    build();
    ui_statusbar_set_show(0);
    ui_finishing_onshow();
    EXPECT_FALSE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
    advance(500, 10);
    lv_obj_update_layout(ui_finishing);

    struct Row {
        const char* name;
        lv_obj_t* obj;
        lv_coord_t w, h, cx, cy; // w or h 0: content size, only the centre is checked
    };
    const Row rows[] = {
        {"inform", ui_finishing_inform_label, 280, 0, 0, 50},
        {"Q", ui_finishing_Q_label, 0, 0, 0, 80},
        {"gun", ui_finishing_gun_img, 64, 64, -80, -20},
        {"arrow", ui_finishing_arrow_img, 48, 48, 5, -20},
        {"plug", ui_finishing_plug_img, 64, 64, 90, -20},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_NE(r.obj, nullptr);
        EXPECT_EQ(lv_obj_get_parent(r.obj), ui_finishing);
        const lv_coord_t w = lv_obj_get_width(r.obj), h = lv_obj_get_height(r.obj);
        if (r.w != 0) {
            EXPECT_EQ(w, r.w);
        }
        if (r.h != 0) {
            EXPECT_EQ(h, r.h);
        }
        EXPECT_EQ(lv_obj_get_x(r.obj), 320 / 2 - w / 2 + r.cx);
        EXPECT_EQ(lv_obj_get_y(r.obj), 240 / 2 - h / 2 + r.cy);
    }
    EXPECT_EQ(lv_obj_get_child_cnt(ui_finishing), 5u);
    EXPECT_EQ(lv_obj_get_style_text_font(ui_finishing_inform_label, LV_PART_MAIN), font_loader_get_font(4));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_finishing_Q_label, LV_PART_MAIN), font_loader_get_font(4));
    EXPECT_EQ(lv_label_get_long_mode(ui_finishing_inform_label), LV_LABEL_LONG_SCROLL_CIRCULAR);
    EXPECT_EQ(text_of(ui_finishing_inform_label), "Remove the charging plug");
    EXPECT_EQ(text_of(ui_finishing_Q_label), "");

    send(R"({"conns":[{"sessionConnInfo":{"ramData":{"actualMeter":15234}}}]})");
    advance(100, 10);
    const std::string path = save_frame("finishing.png");
    auto lit = [&](lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2) {
        int n = 0;
        for (lv_coord_t y = y1; y <= y2; y++) {
            for (lv_coord_t x = x1; x <= x2; x++) n += pixel(x, y) != 0;
        }
        return n;
    };
    EXPECT_GT(lit(48, 68, 111, 131), 300) << path;   // gun
    EXPECT_GT(lit(141, 76, 188, 123), 200) << path;  // arrow
    EXPECT_GT(lit(218, 68, 281, 131), 300) << path;  // plug
    EXPECT_GT(lit(20, 160, 300, 180), 200) << path;  // request
    EXPECT_GT(lit(110, 190, 210, 210), 100) << path; // energy
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
        send(std::string(R"({"conns":[{"sessionConnInfo":{"ramData":{)") + c.ram_data + "}}}]}");
        EXPECT_EQ(text_of(ui_finishing_Q_label), c.shown);
    }
    // At most 30 characters.
    send(R"({"conns":[{"sessionConnInfo":{"ramData":{"actualMeter":1e30}}}]})");
    EXPECT_EQ(text_of(ui_finishing_Q_label).size(), 30u);
    EXPECT_EQ(text_of(ui_finishing_Q_label).substr(0, 5), "10000");
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
    send(R"({"conns":[{"sessionConnInfo":{"ramData":{"actualMeter":15234}}}]})");
    ASSERT_EQ(lv_i18n_set_locale("fr-FR"), 0);
    ui_finishing_language_changed();
    const std::string french = text_of(ui_finishing_inform_label);
    EXPECT_EQ(french, lv_i18n_get_text("s_remove_plug"));
    EXPECT_NE(french, "Remove the charging plug");
    EXPECT_EQ(text_of(ui_finishing_Q_label), "15.23 kWh");

    ui_finishing_onhide();
    ASSERT_EQ(lv_i18n_set_locale("de-DE"), 0);
    ui_finishing_language_changed();
    const std::string german = text_of(ui_finishing_inform_label);
    EXPECT_NE(german, french);
    EXPECT_NE(german, "Remove the charging plug");
    ui_finishing_onshow();
    EXPECT_EQ(text_of(ui_finishing_inform_label), german);
    EXPECT_EQ(text_of(ui_finishing_Q_label), "15.23 kWh");
}

} // namespace
