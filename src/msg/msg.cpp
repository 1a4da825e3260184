#include "msg/msg.h"

#include <cmath>
#include <ctime>
#include <limits>

namespace {

// Longest key we look up, with room to spare; longer path segments find nothing.
constexpr size_t kMaxKey = 63;

bool s_now_pinned = false;
int64_t s_pinned_now = 0;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Looks up one key of an object; `key` runs up to `len` characters and is not terminated.
const cJSON* object_member(const cJSON* obj, const char* key, size_t len) {
    if (!cJSON_IsObject(obj) || len > kMaxKey) return nullptr;
    char name[kMaxKey + 1];
    for (size_t i = 0; i < len; i++) name[i] = key[i];
    name[len] = '\0';
    return cJSON_GetObjectItem(obj, name);
}

const cJSON* array_element(const cJSON* arr, int index) {
    if (!cJSON_IsArray(arr)) return nullptr;
    return cJSON_GetArrayItem(arr, index);
}

// Truncates toward zero and saturates at T's limits; NaN gives 0. The limits are tested before the
// conversion because converting an out-of-range double to an integer is undefined and differs between
// processors (x86 gives the "integer indefinite" value, ARM saturates).
template <typename T> T convert(double v) {
    constexpr T lo = std::numeric_limits<T>::min();
    constexpr T hi = std::numeric_limits<T>::max();
    if (std::isnan(v)) return 0;
    // For 64-bit types `hi` rounds up to 2^n, which is exactly the first value that no longer fits.
    if (v >= static_cast<double>(hi)) return hi;
    if (v <= static_cast<double>(lo)) return lo;
    return static_cast<T>(std::trunc(v));
}

double number_of(const cJSON* item) {
    return cJSON_IsNumber(item) ? cJSON_GetNumberValue(item) : std::numeric_limits<double>::quiet_NaN();
}

uint8_t read_u8(const cJSON* root, const char* path) {
    return msg_low_u8(msg_to_u32(msg_number(root, path)));
}

} // namespace

const cJSON* msg_item(const cJSON* root, const char* path) {
    const cJSON* item = root;
    const char* p = path;
    if (item == nullptr || p == nullptr) return nullptr;
    while (*p != '\0' && item != nullptr) {
        if (*p == '[') {
            p++;
            int index = 0;
            if (!is_digit(*p)) return nullptr;
            while (is_digit(*p)) {
                if (index > 100000) return nullptr;
                index = index * 10 + (*p - '0');
                p++;
            }
            if (*p != ']') return nullptr;
            p++;
            item = array_element(item, index);
        } else {
            if (*p == '.') p++;
            const char* key = p;
            while (*p != '\0' && *p != '.' && *p != '[') p++;
            if (p == key) return nullptr;
            item = object_member(item, key, size_t(p - key));
        }
    }
    return item;
}

const char* msg_text(const cJSON* root, const char* path) {
    return cJSON_GetStringValue(msg_item(root, path));
}

double msg_number(const cJSON* root, const char* path) {
    return number_of(msg_item(root, path));
}

int32_t msg_to_i32(double v) {
    return convert<int32_t>(v);
}
uint32_t msg_to_u32(double v) {
    return convert<uint32_t>(v);
}
int64_t msg_to_i64(double v) {
    return convert<int64_t>(v);
}

// The low bits, reinterpreted as a two's complement value where the reader is signed.
int16_t msg_low_i16(int32_t v) {
    const uint32_t bits = uint32_t(v) & 0xFFFFu;
    return int16_t(bits >= 0x8000u ? int32_t(bits) - 0x10000 : int32_t(bits));
}
uint16_t msg_low_u16(uint32_t v) {
    return uint16_t(v & 0xFFFFu);
}
int8_t msg_low_i8(int32_t v) {
    const uint32_t bits = uint32_t(v) & 0xFFu;
    return int8_t(bits >= 0x80u ? int32_t(bits) - 0x100 : int32_t(bits));
}
uint8_t msg_low_u8(uint32_t v) {
    return uint8_t(v & 0xFFu);
}

namespace {

// The status bar's value scheme: absent off, false on, true error; a number's low 8 bits 1 on and 2
// error, any other number off; a value of another type keeps the icon.
int8_t icon_state(const cJSON* item) {
    if (item == nullptr) return 0;
    if (cJSON_IsBool(item)) return cJSON_IsTrue(item) ? 2 : 1;
    if (!cJSON_IsNumber(item)) return MSG_ICON_KEEP;
    const uint8_t value = msg_low_u8(msg_to_u32(cJSON_GetNumberValue(item)));
    return value == 1 || value == 2 ? int8_t(value) : 0;
}

// The items of global.drvPointInfo by status-bar slot.
constexpr const char* kIconItems[MSG_ICON_NUM] = {"online",     "rfFault",    "ethStatus",
                                                  "meterFault", "wifiStatus", "m4gStatus"};

void read_global(const cJSON* global, msg_status_t* m) {
    m->sw_func = msg_to_u32(msg_number(global, "userConfigInfo.swFunc"));
    const cJSON* language = msg_item(global, "userConfigInfo.language");
    m->language = language != nullptr ? msg_low_u8(msg_to_u32(number_of(language))) : -1;
    // An absent or non-numeric time zone counts as UTC; an explicit number keeps its low 8 bits, signed.
    const double timezone = msg_number(global, "sysconfigInfo.timezone");
    m->timezone = std::isnan(timezone) ? 48 : msg_low_i8(msg_to_i32(timezone));
    const cJSON* points = msg_item(global, "drvPointInfo");
    for (int slot = 0; slot < MSG_ICON_NUM; slot++)
        m->icons[slot] = icon_state(msg_item(points, kIconItems[slot]));
    m->point_err_code = msg_text(global, "sessionPointInfo.ramdData._errCode");
}

void read_connector(const cJSON* conn, msg_status_t* m) {
    const cJSON* meter = msg_item(conn, "meterInfo");
    const cJSON* voltage = msg_item(meter, "voltage");
    const cJSON* current = msg_item(meter, "current");
    for (int k = 0; k < 3; k++) {
        m->voltage[k] = msg_low_i16(msg_to_i32(number_of(array_element(voltage, k))));
        m->current[k] = msg_low_i16(msg_to_i32(number_of(array_element(current, k))));
    }
    m->meter_q3 = msg_number(meter, "Q[3]");
    m->meter_q3_wh = msg_to_i32(m->meter_q3);
    m->run_state = msg_text(conn, "m1768Info.runState");
    m->conn_status = msg_text(conn, "m1768Info.connStatus");
    m->local_stop_code = read_u8(conn, "m1768Info.errCode");
    m->manager_run_state = msg_text(conn, "stateMngrInfo.runState");
    m->expire_date = msg_to_i64(msg_number(conn, "reserveConnInfo.expireDate"));
    const cJSON* session = msg_item(conn, "sessionConnInfo");
    m->status = msg_text(session, "ramData._status");
    m->err_code = msg_text(session, "ramData._errCode");
    m->actual_meter = msg_number(session, "ramData.actualMeter");
    m->meter_start = msg_number(session, "saveData._meterStart");
    m->start_time = msg_to_i64(msg_number(session, "saveData._startTime"));
    m->stop_reason = msg_text(session, "saveData._stopReason");
    m->conn_code = msg_text(conn, "connConfig.connCode");
    m->conn_qr = msg_text(conn, "connConfig.connQR");
}

} // namespace

bool msg_read(const cJSON* root, msg_status_t* status, msg_trigger_t* trigger) {
    if (msg_item(root, "Trigger") != nullptr) {
        trigger->command = msg_text(root, "Trigger");
        trigger->has_seconds = msg_item(root, "seconds") != nullptr;
        trigger->seconds = msg_low_u16(msg_to_u32(msg_number(root, "seconds")));
        trigger->index = read_u8(root, "Msg");
        trigger->percent = read_u8(root, "percent");
        return true;
    }
    const cJSON* global = msg_item(root, "global");
    status->has_global = global != nullptr;
    status->has_conns = msg_item(root, "conns") != nullptr;
    read_global(global, status);
    read_connector(msg_item(root, "conns[0]"), status);
    return false;
}

bool msg_code_is(const char* text, const char* code) {
    if (text == nullptr || code == nullptr) return false;
    while (*text != '\0' && ascii_lower(*text) == ascii_lower(*code)) {
        text++;
        code++;
    }
    return ascii_lower(*text) == ascii_lower(*code);
}

int64_t msg_now(void) {
    return s_now_pinned ? s_pinned_now : int64_t(std::time(nullptr));
}

void msg_pin_now(int64_t unix_seconds) {
    s_now_pinned = true;
    s_pinned_now = unix_seconds;
}

void msg_unpin_now(void) {
    s_now_pinned = false;
}
