// The thirteen screens through the screen manager: for each, messages in and texts, pictures,
// visibility and timers out. Layout and drawing are the golden pictures' part.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_charging_1_phase/ui_charging_1_phase.h"
#include "ui/ui_charging_3_phase/ui_charging_3_phase.h"
#include "ui/ui_finishing/ui_finishing.h"
#include "ui/ui_idle/ui_idle.h"
#include "ui/ui_not_available/ui_not_available.h"
#include "ui/ui_reservation/ui_reservation.h"
#include "ui/ui_stopping/ui_stopping.h"
#include "ui/ui_suspended_ev/ui_suspended_ev.h"
#include "ui/ui_swipe_normal/ui_swipe_normal.h"
#include "ui/ui_welcome/ui_welcome.h"

namespace {

const std::string kStatus = "conns[0].sessionConnInfo.ramData._status";
const std::string kErr = "conns[0].sessionConnInfo.ramData._errCode";
const std::string kPointErr = "global.sessionPointInfo.ramdData._errCode";
const std::string kRun = "conns[0].m1768Info.runState";
const std::string kStart = "conns[0].sessionConnInfo.saveData._startTime";
const std::string kReason = "conns[0].sessionConnInfo.saveData._stopReason";
const std::string kLocalCode = "conns[0].m1768Info.errCode";
const std::string kExpire = "conns[0].reserveConnInfo.expireDate";

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// A code as written, in small letters, in capitals and with every letter's case swapped.
std::vector<std::string> case_variants(const std::string& code) {
    std::string lower, upper, swapped;
    for (char c : code) {
        lower += char(std::tolower(c));
        upper += char(std::toupper(c));
        swapped += std::isupper(c) ? char(std::tolower(c)) : char(std::toupper(c));
    }
    return {code, lower, upper, swapped};
}

size_t timer_count() {
    size_t n = 0;
    for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) n++;
    return n;
}

class Screens : public AppFixture {
  protected:
    // The pixels of the QR code's square (100 x 100, centred 80 px right of and 25 px above the middle).
    std::vector<uint32_t> qr_pixels() {
        std::vector<uint32_t> px;
        for (lv_coord_t y = 45; y < 145; y++)
            for (lv_coord_t x = 190; x < 290; x++) px.push_back(pixel(x, y));
        return px;
    }
};

// Of the picture-and-label screens only the suspended ones write their text again with every message
// that keeps them.
TEST_F(Screens, SuspendedScreensRewriteTheirText) {
    for (const auto& [screen, label] : {std::pair{SCREEN_IDLE, &ui_idle_inform_label},
                                        std::pair{SCREEN_SUSPENDED_EV, &ui_suspended_ev_explanation_lable}}) {
        SCOPED_TRACE(screen);
        MainScreen_SwitchScreen(screen);
        const std::string shown = text(*label);
        lv_label_set_text(*label, "stale");
        send(R"({"global":{"userConfigInfo":{"language":0}},"conns":"nonsense"})");
        EXPECT_EQ(text(*label), screen == SCREEN_SUSPENDED_EV ? shown : "stale");
    }
    // An unknown language changes nothing.
    ASSERT_TRUE(MainScreen_SetLocale("de-DE"));
    EXPECT_FALSE(MainScreen_SetLocale("xx-XX"));
    EXPECT_STREQ(lv_i18n_get_current_locale(), "de-DE");
}

TEST_F(Screens, WelcomeFigureCountsUpTo99) {
    struct Point {
        uint32_t ms;
        const char* figure;
    };
    const Point points[] = {
        {480, ""}, {500, "1%"}, {1000, "2%"}, {49480, "98%"}, {49500, "99%"}, {120000, "99%"},
    };
    uint32_t shown_for = 0;
    for (const Point& p : points) {
        SCOPED_TRACE(p.ms);
        advance(p.ms - shown_for);
        shown_for = p.ms;
        EXPECT_EQ(text(ui_welcome_loading_label), p.figure);
    }
    // Leaving empties the figure and stops the count; shown again after a pause, it restarts from 0 and
    // the first step comes at the next run of the timer handler.
    MainScreen_SwitchScreen(SCREEN_IDLE);
    advance(5000);
    EXPECT_EQ(text(ui_welcome_loading_label), "");
    MainScreen_SwitchScreen(SCREEN_WELCOME);
    advance(20);
    EXPECT_EQ(text(ui_welcome_loading_label), "1%");
    advance(500);
    EXPECT_EQ(text(ui_welcome_loading_label), "2%");
}

TEST_F(Screens, ChargingValues) {
    struct Case {
        const char* name;
        int screen;
        Fields fields; // below conns[0]
        std::vector<std::pair<lv_obj_t**, const char*>> texts;
    };
    const std::string v = "meterInfo.voltage", i = "meterInfo.current", q = "meterInfo.Q",
                      ms = "sessionConnInfo.saveData._meterStart";
    auto one = [](const char* volt, const char* cur, const char* energy) {
        return std::vector<std::pair<lv_obj_t**, const char*>>{{&ui_charging_1_phase_voltage_lable, volt},
                                                               {&ui_charging_1_phase_current_lable, cur},
                                                               {&ui_charging_1_phase_quantity_lable, energy}};
    };
    auto three = [](const char* l1, const char* l2, const char* l3, const char* energy) {
        return std::vector<std::pair<lv_obj_t**, const char*>>{{&ui_charging_3_phase_L1_lable, l1},
                                                               {&ui_charging_3_phase_L2_lable, l2},
                                                               {&ui_charging_3_phase_L3_lable, l3},
                                                               {&ui_charging_3_phase_quantity_lable, energy}};
    };
    const Case cases[] = {
        {"typical",
         SCREEN_CHARGING_1_PHASE,
         {{v, "[2301]"}, {i, "[160]"}, {q, "[0,0,0,123456]"}, {ms, "120000"}},
         one("230.1V", "16.0A", "3.46kWh")},
        {"the register's fraction counts",
         SCREEN_CHARGING_1_PHASE,
         {{v, "[2301.9]"}, {i, "[5.5]"}, {q, "[0,0,0,120005.9]"}, {ms, "120000.2"}},
         one("230.1V", "0.5A", "0.01kWh")},
        {"low 16 bits and negatives",
         SCREEN_CHARGING_1_PHASE,
         {{v, "[-2301]"}, {i, "[40000]"}, {q, "[0,0,0,100]"}, {ms, "600"}},
         one("-230.1V", "-2553.6A", "-0.50kWh")},
        {"saturated",
         SCREEN_CHARGING_1_PHASE,
         {{v, "[1e12]"}, {i, "[-1e12]"}, {q, "[0,0,0,0]"}, {ms, "0"}},
         one("-0.1V", "0.0A", "0.00kWh")},
        {"three phases",
         SCREEN_CHARGING_3_PHASE,
         {{v, "[2301,2299,2310]"}, {i, "[160,58,1000]"}, {q, "[0,0,0,123456.9]"}, {ms, "120000"}},
         three("#00F0FF L1:# 230.1V  16.0A", "#00F0FF L2:# 229.9V   5.8A", "#00F0FF L3:# 231.0V 100.0A",
               "3.46 kWh")},
        {"the register's fraction is dropped",
         SCREEN_CHARGING_3_PHASE,
         {{v, "[0,1,0]"}, {q, "[0,0,0,120005.9]"}, {ms, "120000.2"}},
         three("#00F0FF L1:#   0.0V   0.0A", "#00F0FF L2:#   0.1V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
               "0.00 kWh")},
        {"register saturates at 32 bits",
         SCREEN_CHARGING_3_PHASE,
         {{v, "[0,0,1]"}, {q, "[0,0,0,1e10]"}, {ms, "0"}},
         three("#00F0FF L1:#   0.0V   0.0A", "#00F0FF L2:#   0.0V   0.0A", "#00F0FF L3:#   0.1V   0.0A",
               "2147483.65 kWh")},
        {"missing meter start",
         SCREEN_CHARGING_3_PHASE,
         {{v, "[0,2300,0]"}, {q, "[0,0,0,5]"}},
         three("#00F0FF L1:#   0.0V   0.0A", "#00F0FF L2:# 230.0V   0.0A", "#00F0FF L3:#   0.0V   0.0A",
               "nan kWh")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fields fields;
        for (const auto& [path, value] : c.fields) fields.push_back({"conns[0]." + path, value});
        if (c.screen == SCREEN_CHARGING_1_PHASE) fields.push_back({"conns[0].meterInfo.voltage[1]", "0"});
        send(screen_message(c.screen, fields));
        ASSERT_EQ(MainScreen_GetScreen(), c.screen);
        for (const auto& [label, shown] : c.texts) EXPECT_EQ(text(*label), shown);
    }
}

TEST_F(Screens, RcdNoticeFollowsTheRunState) {
    send(screen_message(SCREEN_CHARGING_1_PHASE));
    EXPECT_EQ(text(ui_charging_1_phase_rcd_label), "RCD Checking");
    struct Step {
        const char* run; // JSON text; null: absent (the screen stays)
        bool hidden;
    };
    const Step steps[] = {
        {nullptr, true},
        {R"("S_Wait")", false},
        {R"("x_K1K2ONx")", true},
        {R"("S_charging")", false},
        {R"("S_Charging_L1")", true},
        {R"("_K1K2")", false},
        {"5", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.run != nullptr ? s.run : "absent");
        std::string json =
            screen_message(SCREEN_CHARGING_1_PHASE, {{kRun, s.run != nullptr ? s.run : "null"}});
        send(json);
        ASSERT_EQ(MainScreen_GetScreen(), SCREEN_CHARGING_1_PHASE);
        EXPECT_EQ(hidden(ui_charging_1_phase_rcd_label), s.hidden);
    }
    // A language change keeps its visibility.
    send(screen_message(SCREEN_CHARGING_1_PHASE,
                        {{kRun, R"("S_Wait")"}, {"global.userConfigInfo.language", "1"}}));
    EXPECT_FALSE(hidden(ui_charging_1_phase_rcd_label));
}

TEST_F(Screens, ChargingTimeInTotalHours) {
    const int64_t start = kNow - (25 * 3600 + 5 * 60 + 7);
    send(screen_message(SCREEN_CHARGING_1_PHASE, {{kStart, std::to_string(start)}}));
    // The first tick comes 500 ms after the screen is shown.
    advance(480);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "");
    advance(20);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "25h 05m 07s");
    struct Case {
        const char* name;
        int64_t now;
        std::string start;
        const char* shown;
    };
    const Case cases[] = {
        {"start in the future", kNow, std::to_string(kNow + 10), "00h 00m 00s"},
        {"after January 2038", 4102444800, "4102441139", "01h 01m 01s"},
        {"negative start", kNow, "-5", "00h 00m 00s"},
        {"start time with a fraction", kNow, std::to_string(kNow - 60) + ".9", "00h 01m 00s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msg_pin_now(c.now);
        send(screen_message(SCREEN_CHARGING_1_PHASE, {{kStart, c.start}}));
        advance(500);
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), c.shown);
    }
}

// One timer counts for whichever charging screen is shown; the hidden one shows zero time, and a start
// of 0 shows zero time on both until a message brings a real one.
TEST_F(Screens, OneChargingTimerAcrossPhaseSwitches) {
    const std::string one = screen_message(SCREEN_CHARGING_1_PHASE, {{kStart, std::to_string(kNow - 10)}});
    const std::string three =
        screen_message(SCREEN_CHARGING_3_PHASE, {{kStart, std::to_string(kNow - 3600)}});
    for (const std::string& json : {one, three, screen_message(SCREEN_IDLE)}) send(json); // both built
    const size_t idle_timers = timer_count();
    for (int round = 0; round < 3; round++) {
        SCOPED_TRACE(round);
        send(one);
        EXPECT_EQ(timer_count(), idle_timers + 1);
        advance(500);
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 10s");
        send(three);
        EXPECT_EQ(timer_count(), idle_timers + 1);
        ASSERT_NE(charging_timer, nullptr);
        advance(500);
        EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "01h 00m 00s");
        EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");
    }
    send(screen_message(SCREEN_CHARGING_3_PHASE, {{kStart, "0"}}));
    advance(500);
    EXPECT_EQ(text(ui_charging_3_phase_chargetim_lable), "00h 00m 00s");
    send(screen_message(SCREEN_CHARGING_1_PHASE, {{kStart, "0"}}));
    advance(500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 00s");
    send(screen_message(SCREEN_CHARGING_1_PHASE, {{kStart, std::to_string(kNow - 5)}}));
    advance(500);
    EXPECT_EQ(text(ui_charging_1_phase_chargetim_lable), "00h 00m 05s");
    send(screen_message(SCREEN_IDLE));
    EXPECT_EQ(timer_count(), idle_timers);
    EXPECT_EQ(charging_timer, nullptr);
}

TEST_F(Screens, FinishingEnergy) {
    struct Case {
        const char* actual_meter; // JSON text, null: absent
        const char* shown;
    };
    const Case cases[] = {
        {"15235.1", "15.24 kWh"},
        {"-500", "-0.50 kWh"},
        {R"("15234")", "nan kWh"},
        {nullptr, "nan kWh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.actual_meter != nullptr ? c.actual_meter : "absent");
        send(screen_message(SCREEN_FINISHING,
                            c.actual_meter
                                ? Fields{{"conns[0].sessionConnInfo.ramData.actualMeter", c.actual_meter}}
                                : Fields{}));
        EXPECT_EQ(text(ui_finishing_Q_label), c.shown);
    }
    // At most 30 characters.
    send(screen_message(SCREEN_FINISHING, {{"conns[0].sessionConnInfo.ramData.ACTUALMETER", "1e30"}}));
    EXPECT_EQ(text(ui_finishing_Q_label).size(), 30u);
    EXPECT_EQ(text(ui_finishing_Q_label).substr(0, 5), "10000");
}

// The texts slide into place; the gun and the arrow nudge left five times and stop after about 10.3 s;
// shown again, the motion starts over.
TEST_F(Screens, FinishingMotion) {
    using Places = std::array<lv_coord_t, 5>;
    auto places = [] {
        return Places{lv_obj_get_y_aligned(ui_finishing_inform_label),
                      lv_obj_get_y_aligned(ui_finishing_Q_label), lv_obj_get_x_aligned(ui_finishing_gun_img),
                      lv_obj_get_x_aligned(ui_finishing_arrow_img),
                      lv_obj_get_x_aligned(ui_finishing_plug_img)};
    };
    auto play = [&] {
        std::vector<Places> trace{places()};
        for (int t = 0; t < 600; t++) {
            advance(20);
            trace.push_back(places());
        }
        return trace;
    };
    send(screen_message(SCREEN_FINISHING));
    const std::vector<Places> first = play();
    EXPECT_EQ(first[0], (Places{30, 60, -80, 5, 90})) << "the texts jump 20 px up at once";
    EXPECT_EQ(first[25], (Places{50, 80, -80, 5, 90})) << "settled after 500 ms, the pictures still waiting";
    int nudges = 0;
    for (size_t t = 1; t < first.size(); t++) nudges += first[t][2] == -100 && first[t - 1][2] != -100;
    EXPECT_EQ(nudges, 5);
    EXPECT_EQ(first.back(), (Places{50, 80, -80, 5, 90}));
    EXPECT_EQ(lv_anim_get(ui_finishing_gun_img, nullptr), nullptr);

    // Left and shown again: the same motion from the same places.
    send(screen_message(SCREEN_IDLE));
    advance(2000);
    send(screen_message(SCREEN_FINISHING));
    EXPECT_EQ(places(), first[0]);
    advance(600);
    EXPECT_EQ(places(), first[30]);
}

TEST_F(Screens, NotAvailableReasons) {
    const char* const blank = " ";
    struct Row {
        bool point; // the code is the charge point's, not the connector's
        const char* code;
        const char* main;
        const char* sub;
    };
    const Row rows[] = {
        // The kinds of row: a main line or a blank one, a sub line other than the code, none at all.
        {false, "ConnectorLockFailure", "lock fault", "ConnectorLockFailure"},
        {true, "EVCommunicationError", blank, "EVCommunicationError"},
        {false, "OtherError", blank, "Other"},
        {false, "PE Wiring", "Ground fault", "PE_WIRING"},
        {false, "Open Door", blank, "Door_Opened"},
        {false, "RemoteDisable", "Remote disable", blank},
    };
    auto expect_lines = [](const std::string& main, const std::string& sub) {
        EXPECT_EQ(text(ui_not_available_fault), main);
        EXPECT_EQ(text(ui_not_available_fault_sub), sub);
    };
    for (const Row& r : rows) {
        for (const std::string& code : case_variants(r.code)) {
            SCOPED_TRACE(code);
            const Fields codes = {{r.point ? kPointErr : kErr, quoted(code)},
                                  {r.point ? kErr : kPointErr, R"("NoError")"}};
            Fields faulted = codes;
            faulted.push_back({kStatus, R"("Faulted")"});
            send(screen_message(SCREEN_NOT_AVAILABLE, faulted));
            expect_lines(r.main, r.sub);
            // An unavailable station says "Remote disable" and keeps the code's sub line.
            Fields unavailable = codes;
            unavailable.push_back({kStatus, R"("Unavailable")"});
            send(screen_message(SCREEN_NOT_AVAILABLE, unavailable));
            expect_lines("Remote disable", r.sub);
        }
    }
    struct Case {
        const char* name;
        const char* e; // JSON text of the connector's code, null: absent
        const char* g; // the charge point's
        const char* main;
        const char* sub;
    };
    const Case cases[] = {
        {"lock failure outranks the charge point", R"("ConnectorLockFailure")", R"("EVCommunicationError")",
         "lock fault", "ConnectorLockFailure"},
        {"the charge point outranks the rest", R"("PowerMeterFailure")", R"("EVCommunicationError")", blank,
         "EVCommunicationError"},
        {"unlisted", R"("NoError")", R"("NoError")", "Other", blank},
        {"underscore spelling of PE Wiring", R"("PE_WIRING")", nullptr, "Other", blank},
        {"connector code sent as the charge point's", nullptr, R"("GroundFailure")", "Other", blank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fields f;
        if (c.e != nullptr) f.push_back({kErr, c.e});
        if (c.g != nullptr) f.push_back({kPointErr, c.g});
        send(screen_message(SCREEN_NOT_AVAILABLE, f));
        expect_lines(c.main, c.sub);
    }
    // A language change rewrites all three lines without waiting for the next message.
    send(screen_message(SCREEN_NOT_AVAILABLE, {{kErr, R"("OverVoltage")"}}));
    ASSERT_TRUE(MainScreen_SetLocale("de-DE"));
    EXPECT_EQ(text(ui_not_available_inform), "Nicht verfügbar");
    expect_lines("Überspannungsfehler", "OverVoltage");
}

TEST_F(Screens, StoppingReasons) {
    struct Row {
        const char* reason; // JSON text, null: absent
        const char* code;   // m1768Info.errCode as JSON text, null: absent
        const char* shown;
    };
    const Row rows[] = {
        {R"("DeAuthorized")", "3", "DeAuthorized"},
        {R"("Reboot")", "3", "Soft Reset"},
        {R"("UNLOCKCOMMAND")", "3", "Remote stop"},
        {R"("Remote ")", "3", "User stop"},
        {nullptr, "3", "User stop"},
        {R"(["Remote"])", "3", "User stop"},
        // A local stop by the low 8 bits of the error code.
        {R"("Local")", "0", "User stop"},
        {R"("local")", "1", "Connector removed"},
        {R"("lOcAl")", "3", "CP fault"},
        {R"("Local")", "7", "Other"},
        {R"("Local")", "259", "CP fault"},
        {R"("Local")", "4.9", "Over current"},
        {R"("Local")", "1e12", "User stop"},
        {R"("Local")", R"("3")", "User stop"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.reason ? r.reason : "absent") + " with " + (r.code ? r.code : "no code"));
        send(screen_message(SCREEN_STOPPING, {{kReason, R"("DeAuthorized")"}, {kLocalCode, "3"}}));
        Fields f;
        if (r.reason != nullptr) f.push_back({kReason, r.reason});
        if (r.code != nullptr) f.push_back({kLocalCode, r.code});
        const std::vector<std::string> log = send(screen_message(SCREEN_STOPPING, f));
        EXPECT_EQ(text(ui_stopping_tips_lable), r.shown);
        EXPECT_EQ(text(ui_stopping_explanation_lable), "Stopping...");
        // Every message logs its reason; an absent one is named, not passed to the formatter as null.
        const std::string logged = r.reason == nullptr || r.reason[0] != '"'
                                       ? "(none)"
                                       : std::string(r.reason).substr(1, std::string(r.reason).size() - 2);
        size_t n = 0;
        for (const std::string& l : log)
            n += l.find("ui_stopping_set_data: " + logged + " \t") != std::string::npos;
        EXPECT_EQ(n, 1u);
    }
    // Shown or hidden, the texts follow the language; the last reason stays until new data.
    send(screen_message(SCREEN_STOPPING, {{kReason, R"("Local")"}, {kLocalCode, "5"}}));
    ASSERT_TRUE(MainScreen_SetLocale("de-DE"));
    EXPECT_EQ(text(ui_stopping_tips_lable), "Überspannung");
    send(screen_message(SCREEN_IDLE));
    ASSERT_TRUE(MainScreen_SetLocale("el-GR"));
    EXPECT_EQ(text(ui_stopping_tips_lable), "Υπέρταση");
}

TEST_F(Screens, ReservationMinutesLeft) {
    constexpr int64_t k2100 = 4102444800;
    struct Case {
        int64_t now;
        std::string expiry; // JSON text
        std::string shown;
    };
    const Case cases[] = {
        {kNow, std::to_string(kNow + 600), "11"},
        {kNow, std::to_string(kNow + 60), "2"},
        {kNow, std::to_string(kNow - 1), "1"},
        {kNow, std::to_string(kNow + 86399), "1440"},
        {kNow, std::to_string(kNow + 90000), "1501"},
        {kNow, std::to_string(kNow + 600) + ".9", "11"},
        {k2100, std::to_string(k2100 + 90000), "1501"},
        {kNow, "1e30", std::to_string(uint64_t(std::numeric_limits<int64_t>::max() - kNow) / 60 + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expiry + " at " + std::to_string(c.now));
        msg_pin_now(c.now);
        send(screen_message(SCREEN_RESERVATION, {{kExpire, c.expiry}}));
        ASSERT_EQ(MainScreen_GetScreen(), SCREEN_RESERVATION);
        EXPECT_EQ(text(ui_reservation_timer_lable), c.shown);
    }
    // A message that keeps the screen without an expiry date counts it as past.
    send(R"({"global":{},"conns":[{}]})");
    EXPECT_EQ(text(ui_reservation_timer_lable), "1");
    // A wall clock before 1970 against the latest time: no overflow either.
    msg_pin_now(-120);
    send(screen_message(SCREEN_RESERVATION, {{kExpire, "1e30"}}));
    EXPECT_EQ(text(ui_reservation_timer_lable),
              std::to_string((uint64_t(std::numeric_limits<int64_t>::max()) + 120) / 60 + 1));
}

// What the QR code encodes is the golden pictures' part; here: which messages change it.
TEST_F(Screens, SwipeNormalConnectorCodeAndQrCode) {
    const std::string code = "conns[0].connConfig.connCode", qr = "conns[0].connConfig.connQR";
    StdoutLog log;
    MainScreen_SwitchScreen(SCREEN_SWIPE_NORMAL);
    EXPECT_EQ(text(ui_swipe_normal_station_number), "0");
    EXPECT_EQ(log.count("Got value from key:\"Swipe RFID card or scan QR code\""), 1u);
    const std::vector<uint32_t> error_qr = qr_pixels();
    send(screen_message(SCREEN_SWIPE_NORMAL, {{code, R"("A1")"}, {qr, R"("https://pay.example/7")"}}));
    EXPECT_EQ(text(ui_swipe_normal_station_number), "A1");
    const std::vector<uint32_t> url_qr = qr_pixels();
    EXPECT_NE(url_qr, error_qr);
    // Absent members, or members that are no texts, keep both.
    for (const Fields& f : {Fields{}, Fields{{code, "5"}, {qr, "true"}}}) {
        send(screen_message(SCREEN_SWIPE_NORMAL, f));
        EXPECT_EQ(text(ui_swipe_normal_station_number), "A1");
        EXPECT_EQ(qr_pixels(), url_qr);
    }
    // The code is shown as it is; the first QR code was the one of "ERROR".
    send(screen_message(SCREEN_SWIPE_NORMAL, {{code, R"("%s %d")"}, {qr, R"("ERROR")"}}));
    EXPECT_EQ(text(ui_swipe_normal_station_number), "%s %d");
    EXPECT_EQ(qr_pixels(), error_qr);
    // A text too long for 100 px leaves the square in its light colour.
    send(screen_message(SCREEN_SWIPE_NORMAL, {{qr, quoted(std::string(1000, 'x'))}}));
    EXPECT_EQ(qr_pixels(), std::vector<uint32_t>(100 * 100, 0xFFFFFF));
    // The inform text follows the language.
    ASSERT_TRUE(MainScreen_SetLocale("de-DE"));
    EXPECT_EQ(text(ui_swipe_normal_inform_text), "RFID-Karte vorhalten oder QR-Code scannen");
}

} // namespace
