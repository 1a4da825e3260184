#include <gtest/gtest.h>

#include <string>

#include "app_fixture.h"
#include "ui/ui_trigger/ui_trigger.h"

namespace {

constexpr const char* kImgDir = "A:qorv_lvgl/assets/img/misc_icon/";

// The overlay over the status bar, as the program builds it.
class TriggerTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Let the paused count-down timer fall a few seconds behind, as it does in the program.
        advance(5000);
    }

    static bool shown(lv_obj_t* obj) { return !hidden(obj); }
    // The picture file shown, "" when the image shows none.
    static std::string picture() {
        if (!shown(ui_trigger_img)) return "";
        const void* src = lv_img_get_src(ui_trigger_img);
        return src != nullptr ? static_cast<const char*>(src) : "";
    }
};

TEST_F(TriggerTest, StartsHiddenOnTheTopLayerAndATestStaysWithoutSeconds) {
    EXPECT_EQ(lv_obj_get_parent(ui_trigger_panel), lv_layer_top());
    EXPECT_FALSE(shown(ui_trigger_panel));

    send(R"({"TRIGGER":"Test","Msg":1})");
    EXPECT_TRUE(shown(ui_trigger_panel));
    EXPECT_EQ(picture(), "");
    // No seconds: it stays.
    advance(10000);
    EXPECT_TRUE(shown(ui_trigger_panel));
}

TEST_F(TriggerTest, EveryCommandAndTableRow) {
    struct Case {
        const char* json;
        const char* picture; // file name below misc_icon, "" for none
        const char* inform;
        const char* reason;
        const char* progress; // null: progress figure hidden
    };
    const Case cases[] = {
        {R"({"Trigger":"Downloading","percent":45})", "gray_download.png", "Software downloading", "", "45%"},
        {R"({"Trigger":"dOWNLOADING","percent":300})", "gray_download.png", "Software downloading", "",
         "44%"},
        {R"({"Trigger":"downloading"})", "gray_download.png", "Software downloading", "", "0%"},
        {R"({"Trigger":"INSTALLING","percent":-7})", "gray_auto_upgrade.png", "Automatic Upgrade Mode", "",
         "0%"},
        {R"({"Trigger":"prompt","Msg":1})", "red_fill_X.png", "Fail to start charging", "", nullptr},
        {R"({"Trigger":"Prompt","Msg":5.9})", "gray_stop.png", "RFID Card Dectivated", "", nullptr},
        {R"({"Trigger":"Prompt","Msg":6})", "", "ERROR", "", nullptr},
        {R"({"Trigger":"Prompt","Msg":7})", "", "", "", nullptr},
        {R"({"Trigger":"Prompt","Msg":260})", "green_hook.png", "RFID Card Activated", "", nullptr},
        {R"({"Trigger":"Prompt"})", "", "", "", nullptr},
        {R"({"Trigger":"Auth"})", "validate_fail.png", "Invalid Auth", "Other", nullptr},
        {R"({"Trigger":"auth","Msg":1})", "validate_fail.png", "Invalid Auth", "ID BLOCK", nullptr},
        {R"({"Trigger":"Auth","Msg":5})", "validate_fail.png", "Invalid Auth", "", nullptr},
        {R"({"Trigger":"Auth","Msg":"1"})", "validate_fail.png", "Invalid Auth", "Other", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        // Start each row from a download with its progress figure, then hide the overlay.
        send(R"({"Trigger":"Downloading","percent":12})");
        send(R"({"Trigger":"none"})");
        ASSERT_FALSE(shown(ui_trigger_panel));

        send(c.json);
        EXPECT_TRUE(shown(ui_trigger_panel));
        EXPECT_EQ(picture(), *c.picture ? std::string(kImgDir) + c.picture : "");
        EXPECT_EQ(text(ui_trigger_inform_label), c.inform);
        EXPECT_EQ(text(ui_trigger_reason_label), c.reason);
        EXPECT_EQ(shown(ui_trigger_process_label), c.progress != nullptr);
        if (c.progress != nullptr) {
            EXPECT_EQ(text(ui_trigger_process_label), c.progress);
        }
    }
}

TEST_F(TriggerTest, TextsFollowTheLanguageOfTheMoment) {
    MainScreen_SetLocale("de-DE");
    send(R"({"Trigger":"Auth","Msg":1})");
    EXPECT_EQ(text(ui_trigger_inform_label), "Ungültige Autorisierung");
    EXPECT_EQ(text(ui_trigger_reason_label), "ID GESPERRT");
    send(R"({"Trigger":"Prompt","Msg":6})");
    EXPECT_EQ(text(ui_trigger_inform_label), "ERROR");
}

TEST_F(TriggerTest, UnknownCommandsHideAndKeepTheWidgets) {
    send(R"({"Trigger":"Auth","Msg":2})");
    const char* unknown[] = {
        R"({"Trigger":"Reboot"})",  R"({"Trigger":"Downloadingx"})",   R"({"Trigger":""})",
        R"({"Trigger":5,"Msg":1})", R"({"Trigger":["Test"],"Msg":1})",
    };
    for (const char* json : unknown) {
        SCOPED_TRACE(json);
        send(R"({"Trigger":"Test","Msg":0})");
        ASSERT_TRUE(shown(ui_trigger_panel));
        StdoutLog log;
        send(json);
        EXPECT_FALSE(shown(ui_trigger_panel));
        EXPECT_EQ(log.count("[Error]"), 1u);
        EXPECT_EQ(log.count("ERROR TRIGGER: unknown command:"), 1u);
        EXPECT_EQ(log.count("ui_trigger_set_data: TRIGGER "), 1u);
        EXPECT_EQ(picture(), std::string(kImgDir) + "validate_fail.png");
        EXPECT_EQ(text(ui_trigger_reason_label), "Identifier has expired");
    }
}

TEST_F(TriggerTest, CountDownHidesAfterNPlusOneTicks) {
    StdoutLog log;
    send(R"({"Trigger":"downloading","percent":45,"seconds":5})");
    EXPECT_EQ(log.count("Set trigger timer and start it"), 1u);
    // The first tick comes with the next handler run (20 ms), then one a second: 5 -> 0 in five
    // ticks, and the sixth, 5 s after the first, hides the overlay.
    advance(5000);
    EXPECT_TRUE(shown(ui_trigger_panel));
    advance(20);
    EXPECT_FALSE(shown(ui_trigger_panel));
    // The timer has paused itself: a message without seconds shows the overlay for good.
    send(R"({"Trigger":"Prompt","Msg":4})");
    advance(20000);
    EXPECT_TRUE(shown(ui_trigger_panel));
}

TEST_F(TriggerTest, NewCountReplacesTheRemainingOneAndKeepsTheRhythm) {
    send(R"({"Trigger":"Prompt","Msg":1,"seconds":5})");
    advance(1500); // ticks at 20 and 1020 ms: 3 left
    send(R"({"Trigger":"Prompt","Msg":2,"seconds":2})");
    // Ticks at 2020 (1), 3020 (0), 4020 hides: the running rhythm, not a fresh one.
    advance(2500); // 4000 ms
    EXPECT_TRUE(shown(ui_trigger_panel));
    advance(40);
    EXPECT_FALSE(shown(ui_trigger_panel));

    // A message without seconds during a count-down does not stop it.
    send(R"({"Trigger":"Test","Msg":2,"seconds":3})");
    advance(1500);
    send(R"({"Trigger":"Prompt","Msg":3})");
    advance(2000);
    EXPECT_TRUE(shown(ui_trigger_panel));
    advance(1000);
    EXPECT_FALSE(shown(ui_trigger_panel));
}

TEST_F(TriggerTest, SecondsZeroStopsAndOutOfRangeCountsAsZero) {
    // 0 during a count-down: the next tick hides.
    send(R"({"Trigger":"Installing","percent":3,"seconds":100})");
    advance(1500);
    StdoutLog log;
    send(R"({"Trigger":"Installing","percent":4,"seconds":0})");
    EXPECT_EQ(log.count("Set trigger timer"), 0u);
    EXPECT_EQ(text(ui_trigger_process_label), "4%");
    advance(400);
    EXPECT_TRUE(shown(ui_trigger_panel));
    advance(200);
    EXPECT_FALSE(shown(ui_trigger_panel));

    // 65536 keeps 0 in the low 16 bits: no count-down starts.
    send(R"({"Trigger":"Prompt","Msg":1,"seconds":65536})");
    advance(10000);
    EXPECT_TRUE(shown(ui_trigger_panel));

    // An unknown command with a count hides at once and still counts down; a message shown meanwhile
    // goes when the count runs out.
    send(R"({"Trigger":"Reboot","seconds":2})");
    EXPECT_FALSE(shown(ui_trigger_panel));
    advance(500);
    send(R"({"Trigger":"Prompt","Msg":1})");
    advance(1000);
    EXPECT_TRUE(shown(ui_trigger_panel));
    advance(1000);
    EXPECT_FALSE(shown(ui_trigger_panel));
}

TEST_F(TriggerTest, ColourTestPaintsThePanelAndStays) {
    struct Case {
        const char* json;
        uint32_t colour;
    };
    const Case cases[] = {
        {R"({"Trigger":"TEST","Msg":1})", 0x00FF00},   {R"({"Trigger":"test","Msg":2})", 0x0000FF},
        {R"({"Trigger":"Test","Msg":3})", 0x0000FF}, // out of range: the last colour stays
        {R"({"Trigger":"Test","Msg":257})", 0x00FF00}, {R"({"Trigger":"Test"})", 0xFF0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        send(c.json);
        advance(40);
        EXPECT_EQ(pixel(20, 120), c.colour);
    }
    // Later messages are drawn on the last test colour, also after the overlay was hidden.
    send(R"({"Trigger":"Test","Msg":1})");
    send(R"({"Trigger":"unknown"})");
    send(R"({"Trigger":"Prompt","Msg":4})");
    advance(40);
    EXPECT_EQ(pixel(20, 120), 0x00FF00u);
}

} // namespace
