// Status and trigger messages as the controller sends them: a complete status message (every key the
// display reads) for each screen a message can select, and trigger messages.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace harness {

// The state of the connector that makes the selection rules pick one screen.
struct ScreenState {
    int screen;
    const char* name;
    const char* status;      // sessionConnInfo.ramData._status
    const char* run_state;   // m1768Info.runState
    const char* conn_status; // m1768Info.connStatus
    const char* manager;     // stateMngrInfo.runState
    bool three_phase;
    bool reserved;
};

inline constexpr ScreenState kScreenStates[] = {
    {1, "idle", "Available", "S_Idle_Standby", "Unplug", "Idle", true, false},
    {2, "charging_1_phase", "Charging", "S_RUN_K1K2ON", "Charging", "Busy", false, false},
    {3, "finishing", "Finishing", "S_Idle_Standby", "Plug", "Busy", true, false},
    {4, "not_available", "Faulted", "S_Idle_Standby", "Unplug", "Idle", true, false},
    {5, "swipe_normal", "Available", "S_Idle_Standby", "Plug", "Idle", true, false},
    {6, "stopping", "Charging", "S_UserStop", "Charging", "Busy", true, false},
    {7, "charging_3_phase", "Charging", "S_RUN", "Charging", "Busy", true, false},
    {8, "suspended_ev", "SuspendedEV", "S_RUN", "Charging", "Busy", true, false},
    {9, "suspended_evse", "SuspendedEVSE", "S_RUN", "Charging", "Busy", true, false},
    {10, "reservation", "Available", "S_Idle_Standby", "Unplug", "Idle", true, true},
};

// The state that selects `screen` (1 to 10).
const ScreenState& screen_state(int screen);

// The values of a status message that do not decide the screen. Numbers are JSON text as they are
// sent (so any JSON, or none, can stand in for one); texts are written as JSON strings.
struct StatusFields {
    std::string sw_func = "0";
    std::string language = "0";
    std::string timezone = "56";
    std::string online = "1", rf_fault = "false", eth_status = "1", meter_fault = "false", wifi_status = "2",
                m4g_status = "true";
    std::string point_err_code = "NoError";
    std::string voltage1 = "2301", voltage23 = "2299";
    std::string current1 = "160", current2 = "58", current3 = "61";
    std::string energy = "123456";
    std::string err_code = "3";
    std::string expire_in_s = "3600"; // added to now when the state is reserved
    std::string conn_err_code = "GroundFailure";
    std::string actual_meter = "3456";
    std::string meter_start = "120000";
    std::string start_time = "1767220000";
    std::string stop_reason = "Local";
    std::string conn_code = "CP-0042";
    std::string conn_qr = "https://pay.example/CP-0042";
};

// `s` as a JSON string, escaping only what JSON requires (other bytes go as they are).
std::string json_string(std::string_view s);

// A status message with every key the display reads, selecting `state.screen`; `now_s` dates a
// reservation.
std::string status_message(const ScreenState& state, const StatusFields& f = {},
                           int64_t now_s = int64_t(std::time(nullptr)));

inline constexpr const char* kTriggerCommands[] = {"Downloading", "Installing", "Auth", "Prompt", "Test"};

// The numbers of a trigger message as JSON text; an empty one is left out of the message.
struct TriggerFields {
    std::string msg, percent, seconds;
};

std::string trigger_message(std::string_view command, const TriggerFields& f = {});

} // namespace harness
