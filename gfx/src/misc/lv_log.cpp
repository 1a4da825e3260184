// The log: one line per message on stdout, optionally also handed to a callback.
#include "lv_hal_tick.h"
#include "lv_log.h"

#include "misc/misc_internal.h"

#include <stdio.h>
#include <string.h>

namespace {

lv_log_print_g_cb_t s_print_cb = nullptr;
uint32_t s_last_log_time = 0;

constexpr const char* kLevelNames[] = {"Trace", "Info", "Warn", "Error", "User"};
// Longest line handed to the callback, terminator included.
constexpr size_t kCbLineMax = 512;

// The file name without its directories. A path whose only separator is its first character
// is kept whole.
const char* file_name_of(const char* file) {
    size_t i = strlen(file);
    while (i > 0) {
        if (file[i] == '/' || file[i] == '\\') return file + i + 1;
        --i;
    }
    return file;
}

} // namespace

void lv_log_register_print_cb(lv_log_print_g_cb_t print_cb) {
    s_print_cb = print_cb;
}

void gfx_log_reset(void) {
    s_print_cb = nullptr;
    s_last_log_time = 0;
}

void _lv_log_add(lv_log_level_t level, const char* file, int line, const char* func, const char* format,
                 ...) {
    if (level < 0 || level >= LV_LOG_LEVEL_NONE) return;
    if (level < LV_LOG_LEVEL) return;

    if (file == nullptr) file = "";
    if (func == nullptr) func = "";
    const char* name = file_name_of(file);
    uint32_t t = lv_tick_get();
    const char* lvl = kLevelNames[level];
    int sec = (int)(t / 1000);
    int ms = (int)(t % 1000);
    int delta = (int)(t - s_last_log_time);

    va_list args;
    va_start(args, format);
    va_list cb_args;
    va_copy(cb_args, args);

    printf("[%s]\t(%d.%03d, +%d)\t %s: ", lvl, sec, ms, delta, func);
    vprintf(format, args);
    printf(" \t(in %s line #%d)\n", name, line);

    if (s_print_cb != nullptr) {
        char buf[kCbLineMax];
        int n = snprintf(buf, sizeof(buf), "[%s]\t(%d.%03d, +%d)\t %s: ", lvl, sec, ms, delta, func);
        size_t used = n < 0 ? 0 : ((size_t)n < sizeof(buf) ? (size_t)n : sizeof(buf) - 1);
        n = vsnprintf(buf + used, sizeof(buf) - used, format, cb_args);
        used += n < 0 ? 0 : ((size_t)n < sizeof(buf) - used ? (size_t)n : sizeof(buf) - used - 1);
        snprintf(buf + used, sizeof(buf) - used, " \t(in %s line #%d)\n", name, line);
        s_print_cb(buf);
    }

    va_end(cb_args);
    va_end(args);
    s_last_log_time = t;
}

void lv_log(const char* format, ...) {
    if (LV_LOG_LEVEL >= LV_LOG_LEVEL_NONE) return;

    va_list args;
    va_start(args, format);
    va_list cb_args;
    va_copy(cb_args, args);
    vprintf(format, args);
    if (s_print_cb != nullptr) {
        char buf[kCbLineMax];
        vsnprintf(buf, sizeof(buf), format, cb_args);
        s_print_cb(buf);
    }
    va_end(cb_args);
    va_end(args);
}
