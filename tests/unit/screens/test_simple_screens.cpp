#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_idle/ui_idle.h"
#include "ui/ui_suspended_ev/ui_suspended_ev.h"
#include "ui/ui_suspended_evse/ui_suspended_evse.h"
#include "ui/ui_swiping_card/ui_swiping_card.h"
#include "ui/ui_swiping_rfid/ui_swiping_rfid.h"

namespace {

// One screen of one picture and one label, with what its widget table says.
struct Screen : ScreenOps {
    void (*screen_init)(void);
    lv_obj_t** img;
    lv_obj_t** label;
    lv_coord_t img_w, img_h, img_x, img_y;
    lv_coord_t label_w; // 0: the text's width
    lv_coord_t label_x, label_y;
    const char* picture;
    const char* key;
    const char* design_text; // null: not fixed
    bool text_after_init;    // init applies the key; otherwise set_data does
    bool bar_hidden;
    bool recolour;
    lv_text_align_t align;
};

#define SCREEN_FNS(m) SCREEN_OPS(m), ui_##m##_screen_init

const Screen kScreens[] = {
    {SCREEN_FNS(idle), &ui_idle_plug_in_img, &ui_idle_inform_label, 270, 80, 0, -20, 280, 0, 50,
     "A:qorv_lvgl/assets/img/misc_icon/plug_in.png", "s_connect_plug", nullptr, true, false, false,
     LV_TEXT_ALIGN_CENTER},
    {SCREEN_FNS(suspended_ev), &ui_suspended_ev_img, &ui_suspended_ev_explanation_lable, 100, 120, -95, -10,
     170, 10, 20, "A:qorv_lvgl/assets/img/misc_icon/charge_suspend.png", "s_suspended_by_ev",
     "Suspended by EV", false, false, true, LV_TEXT_ALIGN_LEFT},
    {SCREEN_FNS(suspended_evse), &ui_suspended_evse_img, &ui_suspended_evse_explanation_lable, 110, 120, -95,
     -10, 200, 10, 20, "A:qorv_lvgl/assets/img/misc_icon/fast_charge_suspend.png", "s_suspended_by_evse",
     "Suspended by EVSE", false, false, true, LV_TEXT_ALIGN_LEFT},
    {SCREEN_FNS(swiping_card), &ui_swiping_card_img, &ui_swiping_card_explanation_lable, 100, 80, 0, -27, 0,
     0, 50, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png", "s_swiping_the_card", "Swiping the Card", true,
     true, false, LV_TEXT_ALIGN_AUTO},
    {SCREEN_FNS(swiping_rfid), &ui_swiping_rfid_img, &ui_swiping_rfid_explanation_lable, 100, 80, 0, -27, 0,
     0, 51, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png", "s_swiping_the_RFID",
     "Swipe RFID to start charging", true, false, false, LV_TEXT_ALIGN_AUTO},
};

class SimpleScreens : public ScreenFixture {};

TEST_F(SimpleScreens, ConstructionGivesTheDesignTexts) {
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.name);
        s.screen_init();
        ASSERT_NE(*s.root, nullptr);
        EXPECT_EQ(lv_obj_get_parent(*s.root), nullptr);
        if (s.design_text != nullptr) {
            EXPECT_EQ(text(*s.label), s.design_text);
        }
        // Nothing is loaded before init.
        EXPECT_EQ(lv_img_get_src(*s.img), nullptr);
    }
    // The suspended-by-EV label moves from x 0 to x 10 in init.
    EXPECT_EQ(lv_obj_get_x_aligned(ui_suspended_ev_explanation_lable), 0);
}

TEST_F(SimpleScreens, InitCompletesEachScreenAsItsTableSays) {
    const lv_font_t* font = font_loader_get_font(4);
    ASSERT_NE(font, nullptr);
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.name);
        lv_obj_t* root = s.init();
        EXPECT_EQ(root, *s.root);
        EXPECT_EQ(lv_obj_get_parent(*s.img), root);
        EXPECT_EQ(lv_obj_get_parent(*s.label), root);
        EXPECT_EQ(lv_obj_get_child_cnt(root), 2u);
        EXPECT_FALSE(lv_obj_has_flag(root, LV_OBJ_FLAG_SCROLLABLE));
        EXPECT_EQ(lv_obj_get_style_bg_color(root, LV_PART_MAIN).full & 0xFFFFFF, 0u);

        EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(*s.img)), s.picture);
        EXPECT_TRUE(lv_obj_has_flag(*s.img, LV_OBJ_FLAG_ADV_HITTEST));
        const lv_area_t img = coords_of(*s.img);
        EXPECT_EQ(lv_area_get_width(&img), s.img_w);
        EXPECT_EQ(lv_area_get_height(&img), s.img_h);
        EXPECT_EQ(img.x1, 160 - s.img_w / 2 + s.img_x);
        EXPECT_EQ(img.y1, 120 - s.img_h / 2 + s.img_y);

        EXPECT_EQ(lv_obj_get_style_text_font(*s.label, LV_PART_MAIN), font);
        EXPECT_EQ(lv_label_get_recolor(*s.label), s.recolour);
        EXPECT_EQ(lv_obj_get_style_text_align(*s.label, LV_PART_MAIN), s.align);
        EXPECT_EQ(lv_obj_get_style_text_color(*s.label, LV_PART_MAIN).full & 0xFFFFFF, 0xFFFFFFu);
        const lv_area_t label = coords_of(*s.label);
        if (s.label_w != 0) {
            EXPECT_EQ(lv_area_get_width(&label), s.label_w);
            EXPECT_EQ(label.x1, 160 - s.label_w / 2 + s.label_x);
        } else {
            EXPECT_NEAR((label.x1 + label.x2) / 2.0, 160 + s.label_x, 1.0);
        }
        EXPECT_NEAR((label.y1 + label.y2) / 2.0, 120 + s.label_y, 1.0);

        const std::string english = lv_i18n_get_text(s.key);
        EXPECT_EQ(text(*s.label), s.text_after_init ? english : s.design_text);
    }
}

TEST_F(SimpleScreens, EachScreenSetsTheStatusBarAndRestoresIt) {
    AppLog log;
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.name);
        log.clear();
        show(s);
        EXPECT_EQ(hidden(ui_statusbar), s.bar_hidden);
        s.onhide();
        EXPECT_FALSE(hidden(ui_statusbar));
        EXPECT_EQ(log.count("RESTORE statusbar show  =  1"), 1u);
    }
}

TEST_F(SimpleScreens, StatusMessagesWriteOnlyTheSuspendedTexts) {
    const char* messages[] = {
        "{}",
        R"({"global":{"userConfigInfo":{"language":2}},"conns":[{"sessionConnInfo":{"ramData":)"
        R"({"_status":"SuspendedEV"}},"m1768Info":{"runState":"S_X"}}]})",
        R"({"conns":"nonsense","global":[1,2,3]})",
    };
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.name);
        show(s);
        lv_label_set_text(*s.label, "stale");
        for (const char* json : messages) {
            SCOPED_TRACE(json);
            JsonDoc doc = parse_json(json);
            ASSERT_NE(doc, nullptr);
            s.set_data(doc.get());
            EXPECT_EQ(text(*s.label), s.text_after_init ? "stale" : lv_i18n_get_text(s.key));
        }
        s.onhide();
    }
}

TEST_F(SimpleScreens, LanguageChangesReachShownAndHiddenScreens) {
    struct Expect {
        const char* locale;
        const char* idle;
    };
    // Every screen is built; the suspended-by-EV screen is the one shown.
    for (const Screen& s : kScreens) *s.root = s.init();
    show_again(kScreens[1]);
    JsonDoc empty = parse_json("{}");
    kScreens[1].set_data(empty.get());

    const Expect locales[] = {
        {"de-DE", "Ladestecker verbinden"},
        {"el-GR", "Συνδέστε το βύσμα φόρτισης"},
        {"ru-RU", "Подключите коннектор"},
        {"en-US", "Connect the charging plug"},
    };
    for (const Expect& e : locales) {
        SCOPED_TRACE(e.locale);
        ASSERT_EQ(lv_i18n_set_locale(e.locale), 0);
        for (const Screen& s : kScreens) s.language_changed();
        EXPECT_EQ(text(ui_idle_inform_label), e.idle);
        for (const Screen& s : kScreens) {
            SCOPED_TRACE(s.name);
            EXPECT_EQ(text(*s.label), lv_i18n_get_text(s.key));
        }
    }
}

TEST_F(SimpleScreens, ScreensBuiltAfterASwitchStartInTheCurrentLanguage) {
    lv_i18n_set_locale("es-ES");
    for (const Screen& s : kScreens) {
        if (!s.text_after_init) continue;
        SCOPED_TRACE(s.name);
        show(s);
        EXPECT_EQ(text(*s.label), lv_i18n_get_text(s.key));
        EXPECT_NE(text(*s.label), s.design_text == nullptr ? "Connect the charging plug" : s.design_text);
        s.onhide();
    }
}

TEST_F(SimpleScreens, DrawsThePictureAndTheTextOnBlack) {
    JsonDoc empty = parse_json("{}");
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.name);
        show(s);
        s.set_data(empty.get());
        advance(100);
        save_frame(std::string("simple/") + s.name + ".png");

        // Text: some fully white pixels inside the label; picture: something not black inside it.
        const lv_area_t label = coords_of(*s.label);
        const lv_area_t img = coords_of(*s.img);
        EXPECT_GT(count_pixels(label, is_colour(0xFFFFFF)), 0);
        EXPECT_GT(count_pixels(img, is_lit), 0);
        // Below both widgets the screen is black.
        EXPECT_EQ(pixel(5, 235), 0u);
        s.onhide();
    }
}

} // namespace
