#include <gtest/gtest.h>

#include <cjson/cJSON.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "i18n/lv_i18n.h"
#include "ui/font_loader/font_loader.h"
#include "ui/ui_statusbar/ui_statusbar.h"
#include "ui/ui_stopping/ui_stopping.h"

namespace fs = std::filesystem;

namespace {

using Doc = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

// A status message with the stop reason and the controller's error code, each given as raw JSON or
// left out when null.
std::string stop_message(const char* reason, const char* err_code = nullptr) {
    std::string conn = R"({"m1768Info":{"runState":"S_K1K2OFF")";
    if (err_code != nullptr) conn += std::string(R"(,"errCode":)") + err_code;
    conn += "}";
    if (reason != nullptr)
        conn += std::string(R"(,"sessionConnInfo":{"saveData":{"_stopReason":)") + reason + "}}";
    return R"({"conns":[)" + conn + "}]}";
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// The code as written, in small letters, in capitals and with every letter's case swapped.
std::vector<std::string> case_variants(const std::string& code) {
    std::vector<std::string> v(4, code);
    for (size_t i = 0; i < code.size(); i++) {
        const char c = code[i];
        const bool is_upper = c >= 'A' && c <= 'Z', is_lower = c >= 'a' && c <= 'z';
        v[1][i] = is_upper ? char(c - 'A' + 'a') : c;
        v[2][i] = is_lower ? char(c - 'a' + 'A') : c;
        v[3][i] = is_upper ? v[1][i] : is_lower ? v[2][i] : c;
    }
    return v;
}

std::string text(lv_obj_t* label) {
    return lv_label_get_text(label);
}

class Stopping : public AppFixture {
  protected:
    void SetUp() override {
        // The asset set lies beside the tests' build directory.
        fs::current_path(fs::path(SD_TEST_OUT_DIR).parent_path().parent_path());
        AppFixture::SetUp();
        lv_i18n_init(lv_i18n_language_pack);
        ui_statusbar_init();
    }

    // What the screen manager does when it first selects the screen.
    void show() {
        lv_obj_t* scr = ui_stopping_init();
        ASSERT_EQ(scr, ui_stopping);
        lv_disp_load_scr(scr);
        ui_stopping_onshow();
    }
    void send(const std::string& json) {
        Doc doc(cJSON_Parse(json.c_str()), cJSON_Delete);
        ASSERT_NE(doc, nullptr) << json;
        ui_stopping_set_data(doc.get());
    }
    void change_language(const char* locale) {
        ASSERT_EQ(lv_i18n_set_locale(locale), 0);
        ui_stopping_language_changed();
    }
    std::string tips() { return text(ui_stopping_tips_lable); }
};

TEST_F(Stopping, BuildsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_stopping);

    lv_area_t a;
    lv_obj_get_coords(ui_stopping_img, &a);
    EXPECT_EQ(a.x1, 129);
    EXPECT_EQ(a.y1, 62);
    EXPECT_EQ(lv_area_get_width(&a), 62);
    EXPECT_EQ(lv_area_get_height(&a), 63);
    lv_obj_get_coords(ui_stopping_tips_lable, &a);
    EXPECT_EQ(a.x1, 0);
    EXPECT_EQ(a.y1, 171);
    EXPECT_EQ(lv_area_get_width(&a), 320);
    EXPECT_EQ(lv_area_get_height(&a), 30);
    // The explanation takes its text's size, centred 30 px below the middle.
    lv_obj_get_coords(ui_stopping_explanation_lable, &a);
    EXPECT_EQ(a.x1, 160 - lv_area_get_width(&a) / 2);
    EXPECT_EQ(a.y1, 120 - lv_area_get_height(&a) / 2 + 30);

    EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(ui_stopping_img)),
                 "A:qorv_lvgl/assets/img/misc_icon/red_exclaim.png");
    EXPECT_EQ(lv_obj_get_style_text_font(ui_stopping_explanation_lable, LV_PART_MAIN),
              font_loader_get_font(4));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_stopping_tips_lable, LV_PART_MAIN), font_loader_get_font(3));
    EXPECT_EQ(lv_obj_get_style_text_align(ui_stopping_tips_lable, LV_PART_MAIN), LV_TEXT_ALIGN_CENTER);
    EXPECT_TRUE(lv_label_get_recolor(ui_stopping_explanation_lable));
    EXPECT_FALSE(lv_label_get_recolor(ui_stopping_tips_lable));

    // No translation is applied before the first data: the design-time texts show.
    EXPECT_EQ(text(ui_stopping_explanation_lable), "Stopping...");
    EXPECT_EQ(tips(), "Connector removed");
}

TEST_F(Stopping, EveryStopReasonInAnyLetterCase) {
    show();
    struct Row {
        const char* reason;
        const char* shown;
    };
    const Row rows[] = {
        {"DeAuthorized", "DeAuthorized"},
        {"EmergencyStop", "Emergency Stop"},
        {"EVDisconnected", "Connector removed"},
        {"HardReset", "Hard Reset"},
        {"Reboot", "Soft Reset"},
        {"SoftReset", "Soft Reset"},
        {"Remote", "Remote stop"},
        {"UnlockCommand", "Remote stop"},
        {"PowerLoss", "User stop"},
        {"Other", "User stop"},
        {"Remote ", "User stop"},
        {"Remot", "User stop"},
        {"", "User stop"},
    };
    for (const Row& r : rows) {
        for (const std::string& reason : case_variants(r.reason)) {
            SCOPED_TRACE(reason);
            send(stop_message(R"("DeAuthorized")")); // something else first
            if (std::string(r.shown) == "DeAuthorized") send(stop_message(R"("Remote")"));
            send(stop_message(quoted(reason).c_str(), "3"));
            EXPECT_EQ(tips(), r.shown);
            EXPECT_EQ(text(ui_stopping_explanation_lable), "Stopping...");
        }
    }
}

TEST_F(Stopping, LocalStopsByTheLowBitsOfTheErrorCode) {
    show();
    struct Row {
        const char* code; // raw JSON or absent
        const char* shown;
    };
    const Row rows[] = {
        {"0", "User stop"},
        {"1", "Connector removed"},
        {"2", "Connector removed"},
        {"3", "CP fault"},
        {"4", "Over current"},
        {"5", "Over voltage"},
        {"6", "Low voltage"},
        {"7", "Other"},
        {"8", "Other"},
        {"9", "User stop"},
        {"255", "User stop"},
        {"256", "User stop"},    // low 8 bits 0
        {"259", "CP fault"},     // low 8 bits 3
        {"4.9", "Over current"}, // truncated
        {"-1", "User stop"},     // negative gives 0
        {"-259", "User stop"},   // no two's complement wrap
        {"1e12", "User stop"},   // saturates at 0xFFFFFFFF, low bits 0xFF
        {nullptr, "User stop"},  // absent
        {R"("3")", "User stop"}, // text, not a number
        {"true", "User stop"},
    };
    for (const Row& r : rows) {
        for (const char* local : {R"("Local")", R"("local")", R"("LOCAL")", R"("lOcAl")"}) {
            SCOPED_TRACE(std::string(local) + " with " + (r.code != nullptr ? r.code : "no code"));
            send(stop_message(R"("DeAuthorized")", "3"));
            send(stop_message(local, r.code));
            EXPECT_EQ(tips(), r.shown);
        }
    }
}

TEST_F(Stopping, AbsentOrNonStringReasonIsAUserStop) {
    show();
    AppLog log;
    for (const char* reason :
         {static_cast<const char*>(nullptr), "null", "5", "true", R"(["Remote"])", R"({"Remote":1})"}) {
        SCOPED_TRACE(reason != nullptr ? reason : "absent");
        send(stop_message(R"("Remote")"));
        send(stop_message(reason, "3"));
        EXPECT_EQ(tips(), "User stop");
    }
    // Each message logs its reason; an absent one is named, not passed to the formatter as null.
    EXPECT_EQ(log.count("ui_stopping_set_data: Remote \t(in ui_stopping.cpp line #"), 6u);
    EXPECT_EQ(log.count("ui_stopping_set_data: (none) \t"), 6u);
    EXPECT_EQ(log.count("[User]"), 12u);
}

TEST_F(Stopping, LanguageChangesFollowTheShownReason) {
    show();
    send(stop_message(R"("Local")", "5"));
    ASSERT_EQ(tips(), "Over voltage");

    // Shown: both lines change at once.
    change_language("de-DE");
    EXPECT_EQ(text(ui_stopping_explanation_lable), "Wird gestoppt...");
    EXPECT_EQ(tips(), "Überspannung");

    // A later message is written in the current language.
    send(stop_message(R"("Remote")"));
    EXPECT_EQ(tips(), "Fernstopp");

    // Hidden: the texts change as well, and the last reason stays until new data arrives.
    ui_stopping_onhide();
    lv_disp_load_scr(lv_obj_create(nullptr));
    change_language("el-GR");
    EXPECT_EQ(text(ui_stopping_explanation_lable), "Διακοπή...");
    EXPECT_EQ(tips(), "Απομακρυσμένη διακοπή");

    lv_disp_load_scr(ui_stopping);
    ui_stopping_onshow();
    EXPECT_EQ(tips(), "Απομακρυσμένη διακοπή");
    send(stop_message(R"("EVDisconnected")"));
    EXPECT_EQ(tips(), "Το βύσμα αφαιρέθηκε");
}

TEST_F(Stopping, LanguageChangeBeforeTheFirstDataLeavesTheTipsAlone) {
    // The message that first shows the screen may also switch the language before its data arrives.
    show();
    change_language("de-DE");
    EXPECT_EQ(text(ui_stopping_explanation_lable), "Wird gestoppt...");
    EXPECT_EQ(tips(), "Connector removed");

    send(stop_message(R"("Local")", "3"));
    EXPECT_EQ(tips(), "CP-Fehler");
}

TEST_F(Stopping, HidesTheStatusBarWhileShown) {
    ASSERT_FALSE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
    show();
    EXPECT_TRUE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
    send(stop_message(R"("Remote")"));
    advance(100);
    save_frame("stopping/remote.png");
    // The bar's strip stays black; the picture and both lines are drawn.
    auto count = [this](lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2, auto pred) {
        int n = 0;
        for (lv_coord_t y = y1; y <= y2; y++)
            for (lv_coord_t x = x1; x <= x2; x++) n += pred(pixel(x, y));
        return n;
    };
    auto lit = [](uint32_t c) { return c != 0; };
    auto red = [](uint32_t c) { return (c >> 16) > 0xB0 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60; };
    auto bright = [](uint32_t c) {
        return (c >> 16) > 0xC0 && ((c >> 8) & 0xFF) > 0xC0 && (c & 0xFF) > 0xC0;
    };
    EXPECT_EQ(count(0, 0, 319, 40, lit), 0);
    EXPECT_GT(count(129, 62, 190, 124, red), 300);
    EXPECT_GT(count(80, 138, 240, 162, bright), 40); // "Stopping..."
    EXPECT_GT(count(80, 171, 240, 200, bright), 40); // "Remote stop"
    EXPECT_EQ(count(0, 171, 70, 200, lit), 0);       // centred
    EXPECT_EQ(count(250, 171, 319, 200, lit), 0);

    ui_stopping_onhide();
    EXPECT_FALSE(lv_obj_has_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN));
}

} // namespace
