#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_stopping/ui_stopping.h"

namespace {

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

class Stopping : public ScreenFixture {
  protected:
    Stopping() : ScreenFixture(SCREEN_OPS(stopping)) {}

    std::string tips() { return text(ui_stopping_tips_lable); }
};

TEST_F(Stopping, BuildsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_stopping);

    expect_area(ui_stopping_img, 129, 62, 62, 63);
    expect_area(ui_stopping_tips_lable, 0, 171, 320, 30);
    // The explanation takes its text's size, centred 30 px below the middle.
    expect_centred(ui_stopping_explanation_lable, ui_stopping, 0, 0, 0, 30);

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
    hide();
    change_language("el-GR");
    EXPECT_EQ(text(ui_stopping_explanation_lable), "Διακοπή...");
    EXPECT_EQ(tips(), "Απομακρυσμένη διακοπή");

    show_again();
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
    ASSERT_FALSE(hidden(ui_statusbar));
    show();
    EXPECT_TRUE(hidden(ui_statusbar));
    send(stop_message(R"("Remote")"));
    advance(100);
    save_frame("stopping/remote.png");
    // The bar's strip stays black; the picture and both lines are drawn.
    EXPECT_EQ(count_pixels(0, 0, 319, 40, is_lit), 0);
    EXPECT_GT(count_pixels(129, 62, 190, 124, is_red), 300);
    EXPECT_GT(count_pixels(80, 138, 240, 162, is_bright), 40); // "Stopping..."
    EXPECT_GT(count_pixels(80, 171, 240, 200, is_bright), 40); // "Remote stop"
    EXPECT_EQ(count_pixels(0, 171, 70, 200, is_lit), 0);       // centred
    EXPECT_EQ(count_pixels(250, 171, 319, 200, is_lit), 0);

    ui_stopping_onhide();
    EXPECT_FALSE(hidden(ui_statusbar));
}

} // namespace
