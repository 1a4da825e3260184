// Reading the status and trigger messages: msg_read looks up every value the display uses, once per
// message, and the rules, the status bar and the screens read the result.
//
// Paths are written from the document root, keys separated by dots and array positions in brackets:
// "conns[0].sessionConnInfo.ramData._status". Keys match without regard to letter case; a key below a
// missing item or below an item of the wrong type finds nothing.
//
// Numbers become integers by one rule: truncation toward zero, saturation at the target type's limits
// (so a negative value read as unsigned gives 0), and 0 for an absent or non-numeric value. The 8- and
// 16-bit readers keep the low bits of the 32-bit result.
#pragma once

#include <cstdint>

#include <cjson/cJSON.h>

// What an icon item of global.drvPointInfo asks for: 0 off, 1 on, 2 error, or keep the icon as it is.
constexpr int8_t MSG_ICON_KEEP = -1;
// The status bar's six icon slots: server, card reader, Ethernet, meter, Wi-Fi, 4G.
constexpr int MSG_ICON_NUM = 6;

// A status message: every value that the selection rules, the status bar and the screens read. Texts
// are null when absent or not a string and point into the parsed message, so they live as long as it.
typedef struct {
    bool has_global; // the keys global and conns, whatever their values
    bool has_conns;
    uint32_t sw_func;              // global.userConfigInfo.swFunc
    int16_t language;              // global.userConfigInfo.language, low 8 bits; -1 when absent
    int8_t timezone;               // global.sysconfigInfo.timezone in quarter hours, 48 is UTC
    int8_t icons[MSG_ICON_NUM];    // global.drvPointInfo, by status-bar slot
    const char* point_err_code;    // global.sessionPointInfo.ramdData._errCode
    int16_t voltage[3];            // conns[0].meterInfo.voltage, 0.1 V
    int16_t current[3];            // conns[0].meterInfo.current, 0.1 A
    double meter_q3;               // conns[0].meterInfo.Q[3], the energy register in Wh (NaN: absent)
    int32_t meter_q3_wh;           // the same in whole Wh
    const char* run_state;         // conns[0].m1768Info.runState
    const char* conn_status;       // conns[0].m1768Info.connStatus
    uint8_t local_stop_code;       // conns[0].m1768Info.errCode
    const char* manager_run_state; // conns[0].stateMngrInfo.runState
    int64_t expire_date;           // conns[0].reserveConnInfo.expireDate, Unix seconds
    const char* status;            // conns[0].sessionConnInfo.ramData._status
    const char* err_code;          // conns[0].sessionConnInfo.ramData._errCode
    double actual_meter;           // conns[0].sessionConnInfo.ramData.actualMeter, Wh
    double meter_start;            // conns[0].sessionConnInfo.saveData._meterStart, Wh
    int64_t start_time;            // conns[0].sessionConnInfo.saveData._startTime, Unix seconds
    const char* stop_reason;       // conns[0].sessionConnInfo.saveData._stopReason
    const char* conn_code;         // conns[0].connConfig.connCode
    const char* conn_qr;           // conns[0].connConfig.connQR
} msg_status_t;

// A trigger message: one with a top-level Trigger key.
typedef struct {
    const char* command; // Trigger; null when not a string
    bool has_seconds;
    uint16_t seconds; // the count-down, low 16 bits
    uint8_t index;    // Msg, low 8 bits
    uint8_t percent;  // low 8 bits
} msg_trigger_t;

// Reads a message: fills *trigger and returns true for a trigger message, fills *status and returns
// false for any other.
bool msg_read(const cJSON* root, msg_status_t* status, msg_trigger_t* trigger);

// The item at `path`, or null.
const cJSON* msg_item(const cJSON* root, const char* path);
// The string at `path`, or null when it is absent or not a string.
const char* msg_text(const cJSON* root, const char* path);
// The number at `path`, or NaN when it is absent or not a number.
double msg_number(const cJSON* root, const char* path);

// The conversion rule on a plain number.
int32_t msg_to_i32(double v);
uint32_t msg_to_u32(double v);
int64_t msg_to_i64(double v);
int16_t msg_low_i16(int32_t v);
uint16_t msg_low_u16(uint32_t v);
int8_t msg_low_i8(int32_t v);
uint8_t msg_low_u8(uint32_t v);

// Codes sent as text are compared as whole strings without regard to ASCII letter case; a null text
// matches nothing.
bool msg_code_is(const char* text, const char* code);

// Wall time in Unix seconds: time(nullptr) unless pinned (tests and the snapshot tool pin it).
int64_t msg_now(void);
void msg_pin_now(int64_t unix_seconds);
void msg_unpin_now(void);
