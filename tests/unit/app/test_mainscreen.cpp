#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "app_recorder.h"

namespace {

using Calls = std::vector<std::string>;

// A status message for the idle state: switches 0 give the idle screen (1), switches 1 the swipe screen (5).
std::string idle_message(int switches, const std::string& language = "") {
    std::string global = R"("userConfigInfo":{"swFunc":)" + std::to_string(switches);
    if (!language.empty()) global += R"(,"language":)" + language;
    global += "}";
    return R"({"global":{)" + global +
           R"(},"conns":[{"m1768Info":{"runState":"S_Idle","connStatus":"Unplug"},)"
           R"("stateMngrInfo":{"runState":"Idle"}}]})";
}

class MainScreenTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        rec::reset(&log_);
    }

    void init() {
        MainScreen_Init();
        rec::clear();
    }

    // Hands one message to the manager and returns what it did.
    Calls send(const std::string& json) {
        rec::clear();
        rec::Doc doc(json);
        EXPECT_NE(doc.root, nullptr) << json;
        MainScreen_SetData(doc.root);
        return rec::recorded();
    }

    LogCapture log_;
};

TEST_F(MainScreenTest, InitShowsTheWelcomeScreenAfterTheTopLayer) {
    testing::internal::CaptureStdout();
    MainScreen_Init();
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(std::regex_match(out, std::regex("LVGL_VER: 24012001 [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} "
                                                 "[0-9]{2}:[0-9]{2}:[0-9]{2}\n")))
        << out;
    // Translations are installed before the status bar is built; no switch line for the first screen.
    EXPECT_EQ(rec::recorded(), (Calls{"statusbar_init en-US", "trigger_init", "init 0", "onshow 0"}));
    EXPECT_EQ(s_currScreenIdx, SCREEN_WELCOME);
    EXPECT_EQ(lv_scr_act(), s_allScreens[SCREEN_WELCOME].root);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
}

TEST_F(MainScreenTest, SwitchOrderAndBuildingOnFirstUse) {
    init();
    EXPECT_EQ(send(idle_message(0)),
              (Calls{"log MainScreen_SwitchScreen: Switch Screen[0] -> [1]", "onhide 0", "init 1", "onshow 1",
                     "statusbar_set_data", "set_data 1"}));
    // The same screen again: no switch, but the status bar and the screen still get the data.
    EXPECT_EQ(send(idle_message(0)), (Calls{"statusbar_set_data", "set_data 1"}));

    EXPECT_EQ(send(idle_message(1)),
              (Calls{"log MainScreen_SwitchScreen: Switch Screen[1] -> [5]", "onhide 1", "init 5", "onshow 5",
                     "statusbar_set_data", "set_data 5"}));
    // Back to a screen built before: shown again, not built again.
    lv_obj_t* idle_root = s_allScreens[SCREEN_IDLE].root;
    EXPECT_EQ(send(idle_message(0)), (Calls{"log MainScreen_SwitchScreen: Switch Screen[5] -> [1]",
                                            "onhide 5", "onshow 1", "statusbar_set_data", "set_data 1"}));
    EXPECT_EQ(s_allScreens[SCREEN_IDLE].root, idle_root);
    EXPECT_EQ(lv_scr_act(), idle_root);
    EXPECT_EQ(s_currScreenIdx, SCREEN_IDLE);
}

TEST_F(MainScreenTest, MessagesWithoutAScreenStillReachTheStatusBarAndTheActiveScreen) {
    init();
    EXPECT_EQ(send(R"({"global":{"userConfigInfo":{"language":2}}})"),
              (Calls{"statusbar_set_data", "language_changed 0 de-DE", "set_data 0"}));
    EXPECT_EQ(send(R"({"conns":[]})"), (Calls{"statusbar_set_data", "set_data 0"}));
    EXPECT_EQ(send("[1,2]"), (Calls{"statusbar_set_data", "set_data 0"}));
    EXPECT_EQ(s_currScreenIdx, SCREEN_WELCOME);
}

TEST_F(MainScreenTest, TriggerMessagesTouchNothingElse) {
    init();
    send(idle_message(0));
    const std::string triggers[] = {
        R"({"Trigger":"Test","Msg":1})",
        R"({"TRIGGER":"Test","Msg":1,"global":{"userConfigInfo":{"swFunc":1,"language":2}},)"
        R"("conns":[{"m1768Info":{"runState":"S"},"stateMngrInfo":{"runState":"Idle"}}]})",
        R"({"trigger":5})",
    };
    for (const std::string& json : triggers) {
        SCOPED_TRACE(json);
        EXPECT_EQ(send(json), (Calls{"trigger_set_data"}));
        EXPECT_EQ(s_currScreenIdx, SCREEN_IDLE);
        EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
    }
}

TEST_F(MainScreenTest, ANullRootDoesNothing) {
    init();
    rec::clear();
    MainScreen_SetData(nullptr);
    EXPECT_TRUE(rec::recorded().empty());
    EXPECT_EQ(s_currScreenIdx, SCREEN_WELCOME);
}

TEST_F(MainScreenTest, LanguageChangeReachesEveryBuiltScreenInIndexOrder) {
    init();
    send(idle_message(0)); // builds 1
    send(idle_message(1)); // builds 5
    // Switch back to 1 and change the language in one message: built screens only, hidden ones included,
    // after the status bar and before the active screen's data.
    EXPECT_EQ(send(idle_message(0, "2")),
              (Calls{"log MainScreen_SwitchScreen: Switch Screen[5] -> [1]", "onhide 5", "onshow 1",
                     "statusbar_set_data", "language_changed 0 de-DE", "language_changed 1 de-DE",
                     "language_changed 5 de-DE", "set_data 1"}));
    EXPECT_STREQ(lv_i18n_get_current_locale(), "de-DE");
    EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), "Ladestecker verbinden");

    // The current language again: nothing to re-read.
    EXPECT_EQ(send(idle_message(0, "2")), (Calls{"statusbar_set_data", "set_data 1"}));
}

TEST_F(MainScreenTest, LanguageCodes) {
    init();
    const struct {
        const char* language; // JSON text
        const char* locale;   // current locale afterwards
        bool changed;         // screens told to re-read
    } steps[] = {
        {"3", "es-ES", true},    {"3", "es-ES", false}, {"1", "fr-FR", true},       {"1.9", "fr-FR", false},
        {"4", "fi-FI", true},    {"5", "fi-FI", false}, {"255", "fi-FI", false},    {"261", "fi-FI", false},
        {"-3", "en-US", true},   {"2", "de-DE", true},  {R"("fr")", "en-US", true}, {"2", "de-DE", true},
        {"true", "en-US", true}, {"2", "de-DE", true},  {"258", "de-DE", false},    {"256", "en-US", true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.language);
        const Calls calls = send(idle_message(0, step.language));
        EXPECT_STREQ(lv_i18n_get_current_locale(), step.locale);
        const bool told = std::find(calls.begin(), calls.end(),
                                    std::string("language_changed 0 ") + step.locale) != calls.end();
        EXPECT_EQ(told, step.changed);
    }
    // Without a language key the language stays.
    send(idle_message(0));
    EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
}

} // namespace
