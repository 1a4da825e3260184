// Reading the status and trigger messages: every module looks its values up through here.
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

// The item at `path`, or null.
const cJSON* msg_item(const cJSON* root, const char* path);
// The string at `path`, or null when it is absent or not a string.
const char* msg_text(const cJSON* root, const char* path);
// The number at `path`, or NaN when it is absent or not a number.
double msg_number(const cJSON* root, const char* path);

int32_t msg_i32(const cJSON* root, const char* path);
uint32_t msg_u32(const cJSON* root, const char* path);
int16_t msg_i16(const cJSON* root, const char* path);  // low 16 bits of msg_i32
uint16_t msg_u16(const cJSON* root, const char* path); // low 16 bits of msg_u32
int8_t msg_i8(const cJSON* root, const char* path);    // low 8 bits of msg_i32
uint8_t msg_u8(const cJSON* root, const char* path);   // low 8 bits of msg_u32
// A Unix time in seconds, kept in 64 bits so that dates after January 2038 stay right.
int64_t msg_time(const cJSON* root, const char* path);

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
