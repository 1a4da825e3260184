#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app_fixture.h"

namespace {

#define Q(text) "\"" text "\""

// Marks a case whose answer is no change of screen.
constexpr int FALLBACK = -100;

// One status message, each field given as JSON text or null for an absent key.
struct RuleCase {
    const char* name;
    const char* status;  // conns[0].sessionConnInfo.ramData._status
    const char* run;     // conns[0].m1768Info.runState
    const char* manager; // conns[0].stateMngrInfo.runState
    const char* plug;    // conns[0].m1768Info.connStatus
    const char* expire;  // conns[0].reserveConnInfo.expireDate
    const char* voltage; // conns[0].meterInfo.voltage
    const char* sw;      // global.userConfigInfo.swFunc
    int expect;
};

std::string json_of(const RuleCase& c) {
    const std::pair<const char*, const char*> members[] = {
        {"conns[0].sessionConnInfo.ramData._status", c.status},
        {"conns[0].m1768Info.runState", c.run},
        {"conns[0].stateMngrInfo.runState", c.manager},
        {"conns[0].m1768Info.connStatus", c.plug},
        {"conns[0].reserveConnInfo.expireDate", c.expire},
        {"conns[0].meterInfo.voltage", c.voltage},
        {"global.userConfigInfo.swFunc", c.sw}};
    Fields fields = {{"global", "{}"}, {"conns[0]", "{}"}};
    for (const auto& [path, value] : members)
        if (value != nullptr) fields.push_back({path, value});
    return message(fields);
}

// The rules through the whole manager, from a screen that they never choose (swiping card).
class Rules : public AppFixture {
  protected:
    void expect_rules(const std::string& json, int expect) {
        MainScreen_SwitchScreen(SCREEN_SWIPING_CARD);
        send(json);
        EXPECT_EQ(MainScreen_GetScreen(), expect == FALLBACK ? SCREEN_SWIPING_CARD : expect);
    }
};

const char* const RUN = Q("S_Idle_Standby");
const char* const IDLE = Q("Idle");

const RuleCase kCases[] = {
    // The run state must be there.
    {"run state absent", Q("Charging"), nullptr, IDLE, Q("Plug"), nullptr, nullptr, "1", FALLBACK},
    {"run state not a string", Q("Faulted"), "5", IDLE, nullptr, nullptr, nullptr, nullptr, FALLBACK},
    // Faults and unavailability outrank everything.
    {"faulted", Q("Faulted"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr, SCREEN_NOT_AVAILABLE},
    {"unavailable", Q("Unavailable"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr, SCREEN_NOT_AVAILABLE},
    {"faulted and reserved", Q("Faulted"), RUN, IDLE, nullptr, "1", nullptr, nullptr, SCREEN_NOT_AVAILABLE},
    // A reservation outranks every other status.
    {"reserved while charging", Q("Charging"), RUN, nullptr, nullptr, "1", nullptr, nullptr,
     SCREEN_RESERVATION},
    {"reserved until 2100", Q("Available"), RUN, Q("Busy"), nullptr, "4102444800", nullptr, nullptr,
     SCREEN_RESERVATION},
    {"expireDate 0.5 is no reservation", Q("Charging"), RUN, nullptr, nullptr, "0.5", "[2300,0,0]", nullptr,
     SCREEN_CHARGING_1_PHASE},
    {"expireDate as text", Q("Charging"), RUN, nullptr, nullptr, Q("9"), nullptr, nullptr,
     SCREEN_CHARGING_1_PHASE},
    // Suspension.
    {"suspended by station", Q("SuspendedEVSE"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr,
     SCREEN_SUSPENDED_EVSE},
    {"suspended by vehicle", Q("SuspendedEV"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr,
     SCREEN_SUSPENDED_EV},
    // Charging: stop markers, then the phase count from phases 2 and 3.
    {"K1K2OFF", Q("Charging"), Q("S_K1K2OFF"), nullptr, nullptr, nullptr, nullptr, nullptr, SCREEN_STOPPING},
    {"UserStop", Q("Charging"), Q("A_UserStop_B"), nullptr, nullptr, nullptr, "[2300,2290,2310]", nullptr,
     SCREEN_STOPPING},
    {"Unlock", Q("Charging"), Q("X_Unlock"), nullptr, nullptr, nullptr, "[2300,0,0]", nullptr,
     SCREEN_STOPPING},
    {"markers are case-sensitive", Q("Charging"), Q("S_userstop"), nullptr, nullptr, nullptr, "[2300,0,0]",
     nullptr, SCREEN_CHARGING_1_PHASE},
    {"one phase", Q("Charging"), Q("S_K1K2ON_Charging"), nullptr, nullptr, nullptr, "[2300,0,0]", nullptr,
     SCREEN_CHARGING_1_PHASE},
    {"three phases", Q("Charging"), RUN, nullptr, nullptr, nullptr, "[2300,2290,2310]", nullptr,
     SCREEN_CHARGING_3_PHASE},
    {"no voltages", Q("Charging"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr, SCREEN_CHARGING_1_PHASE},
    {"phase 2 only", Q("Charging"), RUN, nullptr, nullptr, nullptr, "[2300,2310,0]", nullptr,
     SCREEN_CHARGING_3_PHASE},
    {"phase 3 only", Q("Charging"), RUN, nullptr, nullptr, nullptr, "[2300,0,1]", nullptr,
     SCREEN_CHARGING_3_PHASE},
    {"voltages whose low 16 bits are 0", Q("Charging"), RUN, nullptr, nullptr, nullptr, "[2300,65536,-65536]",
     nullptr, SCREEN_CHARGING_1_PHASE},
    {"charging outside the idle state", Q("Charging"), RUN, Q("Busy"), nullptr, nullptr, "[1,2,3]", nullptr,
     SCREEN_CHARGING_3_PHASE},
    // Finishing.
    {"finishing", Q("Finishing"), RUN, nullptr, nullptr, nullptr, nullptr, nullptr, SCREEN_FINISHING},
    {"stop marker while finishing", Q("Finishing"), Q("S_UserStop"), nullptr, nullptr, nullptr, nullptr,
     nullptr, SCREEN_FINISHING},
    // Outside the idle state nothing changes.
    {"charging in lower case", Q("charging"), RUN, Q("Busy"), nullptr, nullptr, "[2300,0,0]", nullptr,
     FALLBACK},
    {"manager running", Q("Available"), RUN, Q("Running"), Q("Plug"), nullptr, nullptr, "1", FALLBACK},
    {"manager Idle with a tail", Q("Available"), RUN, Q("Idle2"), Q("Plug"), nullptr, nullptr, "1", FALLBACK},
    // The idle state: a plug leads to the swipe screen.
    {"IDLE in capitals, plug", Q("Available"), RUN, Q("IDLE"), Q("Plug"), nullptr, nullptr, nullptr,
     SCREEN_SWIPE_NORMAL},
    {"idle, plug charging", Q("Available"), RUN, Q("idle"), Q("Charging"), nullptr, nullptr, "4",
     SCREEN_SWIPE_NORMAL},
    {"plug in lower case", Q("Available"), RUN, IDLE, Q("plug"), nullptr, nullptr, nullptr, SCREEN_IDLE},
    // Without a plug the switches decide.
    {"switches 0", Q("Available"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, "0", SCREEN_IDLE},
    {"switches 1", Q("Available"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, "1", SCREEN_SWIPE_NORMAL},
    {"switches 5", Q("Available"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, "5", SCREEN_IDLE},
    {"switches 1 while preparing", Q("Preparing"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, "1",
     SCREEN_IDLE},
    {"preparing in lower case", Q("preparing"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, "1",
     SCREEN_SWIPE_NORMAL},
    {"switches as text", Q("Available"), RUN, IDLE, Q("Unplug"), nullptr, nullptr, Q("1"), SCREEN_IDLE},
    {"switches saturate", Q("Available"), RUN, IDLE, nullptr, nullptr, nullptr, "1e12", SCREEN_IDLE},
    {"status and plug absent", nullptr, RUN, IDLE, nullptr, nullptr, nullptr, "1", SCREEN_SWIPE_NORMAL},
    {"status not a string", "3", RUN, IDLE, "true", nullptr, nullptr, "1", SCREEN_SWIPE_NORMAL},
    {"charging in lower case when idle", Q("charging"), RUN, IDLE, nullptr, nullptr, nullptr, "1",
     SCREEN_SWIPE_NORMAL},
};

TEST_F(Rules, DecisionTable) {
    for (const RuleCase& c : kCases) {
        const std::string json = json_of(c);
        SCOPED_TRACE(std::string(c.name) + ": " + json);
        expect_rules(json, c.expect);
    }
}

TEST_F(Rules, MessagesWithoutTheNeededParts) {
    const char* const conn =
        R"([{"m1768Info":{"runState":"S"},"sessionConnInfo":{"ramData":{"_status":"Faulted"}}}])";
    const struct {
        const char* name;
        std::string json;
        int expect;
    } cases[] = {
        {"no global", std::string(R"({"conns":)") + conn + "}", FALLBACK},
        {"no conns", R"({"global":{},"Conns2":[]})", FALLBACK},
        {"global of another type still counts", std::string(R"({"GLOBAL":0,"conns":)") + conn + "}",
         SCREEN_NOT_AVAILABLE},
        {"conns that is no array has no connector", R"({"global":{},"conns":{"m1768Info":{"runState":"S"}}})",
         FALLBACK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.json);
        expect_rules(c.json, c.expect);
    }
}

} // namespace
