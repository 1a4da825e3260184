// The screen manager through the real screens: start-up, the order of a switch, screens built once,
// language changes and trigger messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "ui/ui_idle/ui_idle.h"
#include "ui/ui_reservation/ui_reservation.h"
#include "ui/ui_statusbar/ui_statusbar.h"
#include "ui/ui_stopping/ui_stopping.h"
#include "ui/ui_swipe_normal/ui_swipe_normal.h"
#include "ui/ui_trigger/ui_trigger.h"
#include "ui/ui_welcome/ui_welcome.h"

namespace {

using Lines = std::vector<std::string>;

// The lines that contain any of the texts, in order, cut to the text found.
Lines only(const Lines& lines, const std::vector<std::string>& texts) {
    Lines out;
    for (const std::string& l : lines)
        for (const std::string& t : texts)
            if (l.find(t) != std::string::npos) out.push_back(t);
    return out;
}

class MainScreen : public AppFixture {};

class MainScreenStart : public AppFixture {
  protected:
    MainScreenStart() { start_manager_ = false; }
};

TEST_F(MainScreenStart, InitShowsTheWelcomeScreenWithTheBarHidden) {
    StdoutLog log;
    MainScreen_Init();
    EXPECT_EQ(log.count("Switch Screen"), 0u) << "no switch line for the first screen";
    EXPECT_EQ(MainScreen_GetScreen(), SCREEN_WELCOME);
    EXPECT_EQ(lv_scr_act(), ui_welcome);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
    EXPECT_TRUE(hidden(ui_statusbar));
    EXPECT_TRUE(hidden(ui_trigger_panel));
    // The overlay lies above the status bar on the top layer.
    EXPECT_EQ(lv_obj_get_index(ui_trigger_panel), lv_obj_get_index(ui_statusbar) + 1);
}

TEST_F(MainScreen, SwitchOrderAndScreensBuiltOnce) {
    const Lines order = {"Switch Screen[0] -> [1]", "RESTORE statusbar show  =  1"};
    EXPECT_EQ(only(send(screen_message(SCREEN_IDLE)), order), order) << "log line, then the old onhide";
    EXPECT_EQ(lv_scr_act(), ui_idle);
    EXPECT_FALSE(hidden(ui_statusbar)) << "the new onshow";
    lv_obj_t* idle = ui_idle;

    // The same screen again: no switch, but the status bar still reads the message.
    const Lines again = send(screen_message(SCREEN_IDLE, {{"global.sysconfigInfo.timezone", "56"}}));
    EXPECT_EQ(only(again, {"Switch Screen", "RESTORE"}), Lines{});
    EXPECT_EQ(text(ui_clock_text), "00 : 13");

    // To the swipe screen, whose set_data runs after its first onshow in the same message.
    send(screen_message(SCREEN_SWIPE_NORMAL, {{"conns[0].connConfig.connCode", R"("QV-7")"}}));
    EXPECT_EQ(MainScreen_GetScreen(), SCREEN_SWIPE_NORMAL);
    EXPECT_EQ(text(ui_swipe_normal_station_number), "QV-7");
    // Back: shown again, not built again.
    send(screen_message(SCREEN_IDLE));
    EXPECT_EQ(ui_idle, idle);
    EXPECT_EQ(lv_obj_get_child_cnt(ui_idle), 2u);
    EXPECT_EQ(lv_scr_act(), ui_idle);

    // By index, as the snapshot tool does; the screen active already or an index out of range does nothing.
    MainScreen_SwitchScreen(SCREEN_SWIPING_CARD);
    EXPECT_EQ(MainScreen_GetScreen(), SCREEN_SWIPING_CARD);
    EXPECT_TRUE(hidden(ui_statusbar));
    for (int idx : {int(SCREEN_SWIPING_CARD), -1, int(SCREEN_NUM)}) MainScreen_SwitchScreen(idx);
    EXPECT_EQ(MainScreen_GetScreen(), SCREEN_SWIPING_CARD);
}

TEST_F(MainScreen, MessagesWithoutAScreenStillReachTheBarLanguageAndActiveScreen) {
    for (const char* json : {R"({"global":{"sysconfigInfo":{"timezone":52}}})", R"({"conns":[]})", "[1,2]"}) {
        SCOPED_TRACE(json);
        send(json);
        EXPECT_EQ(MainScreen_GetScreen(), SCREEN_WELCOME);
    }
    EXPECT_EQ(text(ui_clock_text), "22 : 13") << "a root that is no object has no time zone: UTC";
    send(R"({"global":{"userConfigInfo":{"language":2}}})");
    EXPECT_STREQ(lv_i18n_get_current_locale(), "de-DE");
    MainScreen_SetData(nullptr);
    EXPECT_EQ(MainScreen_GetScreen(), SCREEN_WELCOME);
}

TEST_F(MainScreen, LanguageChangeReachesBuiltScreensBeforeTheActiveScreensData) {
    send(screen_message(SCREEN_IDLE));
    send(screen_message(SCREEN_RESERVATION));
    send(screen_message(SCREEN_SWIPE_NORMAL));
    // The stopping screen is built and shown, and the language changes, in one message: the reason is
    // written in the new language, and the hidden screens built before read theirs too.
    send(screen_message(SCREEN_STOPPING, {{"global.userConfigInfo.language", "2"},
                                          {"conns[0].sessionConnInfo.saveData._stopReason", R"("Remote")"}}));
    EXPECT_EQ(text(ui_stopping_tips_lable), "Fernstopp");
    EXPECT_EQ(text(ui_idle_inform_label), "Ladestecker verbinden");
    EXPECT_EQ(text(ui_reservation_explanation_lable), "Reservierung");
    EXPECT_EQ(text(ui_reservation_unit_lable), "Verbleibende Minuten");
    EXPECT_EQ(text(ui_swipe_normal_inform_text), lv_i18n_get_text("s_swipe_normal_default_text"));
    EXPECT_STREQ(lv_i18n_get_current_locale(), "de-DE");
}

TEST_F(MainScreen, LanguageCodes) {
    send(screen_message(SCREEN_IDLE));
    const struct {
        const char* language; // JSON text
        const char* locale;   // current locale afterwards
        bool changed;         // built screens told to read their texts again
    } steps[] = {
        {"3", "es-ES", true},       {"3", "es-ES", false},   {"1", "fr-FR", true},    {"4", "fi-FI", true},
        {"5", "fi-FI", false},      {"261", "fi-FI", false}, {"-3", "en-US", true},   {"2", "de-DE", true},
        {R"("fr")", "en-US", true}, {"2", "de-DE", true},    {"258", "de-DE", false}, {"256", "en-US", true},
        {nullptr, "en-US", false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.language != nullptr ? step.language : "absent");
        lv_label_set_text(ui_idle_inform_label, "stale");
        send(step.language ? screen_message(SCREEN_IDLE, {{"global.userConfigInfo.language", step.language}})
                           : screen_message(SCREEN_IDLE));
        EXPECT_STREQ(lv_i18n_get_current_locale(), step.locale);
        EXPECT_EQ(text(ui_idle_inform_label) != "stale", step.changed);
    }
}

TEST_F(MainScreen, TriggerMessagesTouchNothingElse) {
    send(screen_message(SCREEN_IDLE, {{"global.sysconfigInfo.timezone", "48"}}));
    const std::string clock = text(ui_clock_text);
    const std::string triggers[] = {
        message({{"TRIGGER", R"("Test")"},
                 {"Msg", "1"},
                 {"global.userConfigInfo.language", "2"},
                 {"global.sysconfigInfo.timezone", "80"},
                 {"conns[0].m1768Info.runState", R"("S")"},
                 {"conns[0].sessionConnInfo.ramData._status", R"("Faulted")"}}),
        R"({"trigger":5})",
    };
    for (const std::string& json : triggers) {
        SCOPED_TRACE(json);
        send(json);
        EXPECT_EQ(MainScreen_GetScreen(), SCREEN_IDLE);
        EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
        EXPECT_EQ(text(ui_clock_text), clock);
    }
}

} // namespace
