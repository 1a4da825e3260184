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
    const cJSON* item = msg_item(root, path);
    return cJSON_IsNumber(item) ? cJSON_GetNumberValue(item) : std::numeric_limits<double>::quiet_NaN();
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

int32_t msg_i32(const cJSON* root, const char* path) {
    return msg_to_i32(msg_number(root, path));
}
uint32_t msg_u32(const cJSON* root, const char* path) {
    return msg_to_u32(msg_number(root, path));
}
int16_t msg_i16(const cJSON* root, const char* path) {
    return msg_low_i16(msg_i32(root, path));
}
uint16_t msg_u16(const cJSON* root, const char* path) {
    return msg_low_u16(msg_u32(root, path));
}
int8_t msg_i8(const cJSON* root, const char* path) {
    return msg_low_i8(msg_i32(root, path));
}
uint8_t msg_u8(const cJSON* root, const char* path) {
    return msg_low_u8(msg_u32(root, path));
}
int64_t msg_time(const cJSON* root, const char* path) {
    return msg_to_i64(msg_number(root, path));
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
