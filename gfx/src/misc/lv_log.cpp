// The log. With LV_LOG_PRINTF 1 every line goes to stdout and a registered callback is not called;
// with 0 the line is formatted (by lv_snprintf, at most 511 characters) and handed to the callback only.
#include "lv_hal_tick.h"
#include "lv_log.h"
#include "lv_printf.h"

#include "misc_internal.h"

#include <stdio.h>
#include <string.h>

namespace {

lv_log_print_g_cb_t s_print_cb = nullptr;
uint32_t s_last_log_time = 0;

constexpr const char* kLevelNames[] = {"Trace", "Info", "Warn", "Error", "User"};

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

#if !LV_LOG_PRINTF
// A line for the callback, filled piece by piece and cut at its capacity.
struct CbLine {
    char text[512] = "";
    size_t used = 0;

    void vadd(const char* format, va_list args) {
        int n = lv_vsnprintf(text + used, sizeof(text) - used, format, args);
        if (n > 0) used += (size_t)n < sizeof(text) - used ? (size_t)n : sizeof(text) - used - 1;
    }
    void add(const char* format, ...) {
        va_list args;
        va_start(args, format);
        vadd(format, args);
        va_end(args);
    }
};
#endif

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
#if LV_LOG_PRINTF
    printf("[%s]\t(%d.%03d, +%d)\t %s: ", lvl, sec, ms, delta, func);
    vprintf(format, args);
    printf(" \t(in %s line #%d)\n", name, line);
#else
    if (s_print_cb != nullptr) {
        CbLine buf;
        buf.add("[%s]\t(%d.%03d, +%d)\t %s: ", lvl, sec, ms, delta, func);
        buf.vadd(format, args);
        buf.add(" \t(in %s line #%d)\n", name, line);
        s_print_cb(buf.text);
    }
#endif
    va_end(args);
    s_last_log_time = t;
}

void lv_log(const char* format, ...) {
    if (LV_LOG_LEVEL >= LV_LOG_LEVEL_NONE) return;

    va_list args;
    va_start(args, format);
#if LV_LOG_PRINTF
    vprintf(format, args);
#else
    if (s_print_cb != nullptr) {
        CbLine buf;
        buf.vadd(format, args);
        s_print_cb(buf.text);
    }
#endif
    va_end(args);
}
