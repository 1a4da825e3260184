// Recording stand-ins for the screen table, the status bar and the trigger overlay, so the screen manager
// can be tested without the real screen modules. Include in exactly one file per test program.
#pragma once

#include <cjson/cJSON.h>

#include <string>
#include <vector>

#include "i18n/lv_i18n.h"
#include "log_capture.h"
#include "lvgl.h"
#include "mainscreen.h"

namespace rec {

// Everything the manager did, in order: "init 1", "onshow 1", "log MainScreen_SwitchScreen: ...", ...
inline std::vector<std::string> calls;
// Where the log is read from while recording (set by the test); its lines join `calls` in the order
// they were printed.
inline LogCapture* log_source = nullptr;
inline size_t log_taken = 0;

// Keeps "<func>: <message>" of a log line "[User]\t(1.234, +5)\t <func>: <message> \t(in <file> line #n)".
inline void take_log() {
    if (log_source == nullptr) return;
    const std::vector<std::string>& lines = log_source->lines();
    for (; log_taken < lines.size(); log_taken++) {
        const std::string& s = lines[log_taken];
        const size_t from = s.find("\t ");
        const size_t to = s.rfind(" \t(in ");
        const bool ok = from != std::string::npos && to != std::string::npos && to > from;
        calls.push_back(ok ? "log " + s.substr(from + 2, to - from - 2) : "log? " + s);
    }
}

inline void add(const std::string& what) {
    take_log();
    calls.push_back(what);
}
inline void add(const std::string& what, int idx) {
    add(what + " " + std::to_string(idx));
}

// What was recorded so far, log lines included.
inline const std::vector<std::string>& recorded() {
    take_log();
    return calls;
}
inline void clear() {
    take_log();
    calls.clear();
}

template <int I> lv_obj_t* init() {
    add("init", I);
    return lv_obj_create(nullptr);
}
// Records whether the screen was loaded before it was told so.
template <int I> void onshow() {
    add(lv_scr_act() == s_allScreens[I].root ? "onshow" : "onshow (not loaded)", I);
}
template <int I> void onhide() {
    add("onhide", I);
}
template <int I> void set_data(const cJSON*) {
    add("set_data", I);
}
template <int I> void language_changed() {
    add(std::string("language_changed ") + std::to_string(I) + " " + lv_i18n_get_current_locale());
}
template <int I> constexpr ui_screen_t screen() {
    return {nullptr, init<I>, onshow<I>, onhide<I>, set_data<I>, language_changed<I>};
}

} // namespace rec

ui_screen_t s_allScreens[SCREEN_NUM] = {
    rec::screen<0>(),  rec::screen<1>(),  rec::screen<2>(),  rec::screen<3>(), rec::screen<4>(),
    rec::screen<5>(),  rec::screen<6>(),  rec::screen<7>(),  rec::screen<8>(), rec::screen<9>(),
    rec::screen<10>(), rec::screen<11>(), rec::screen<12>(),
};

void mainscreen_statusbar_init(void) {
    const char* locale = lv_i18n_get_current_locale();
    rec::add(std::string("statusbar_init ") + (locale ? locale : "(none)"));
}
void mainscreen_trigger_init(void) {
    rec::add("trigger_init");
}
void mainscreen_statusbar_set_data(const cJSON*) {
    rec::add("statusbar_set_data");
}
void mainscreen_trigger_set_data(const cJSON*) {
    rec::add("trigger_set_data");
}

namespace rec {

// Back to the state before MainScreen_Init: no screen built or shown, nothing recorded; the log
// is read from `log` from now on.
inline void reset(LogCapture* log) {
    for (ui_screen_t& s : s_allScreens) s.root = nullptr;
    s_currScreenIdx = SCREEN_NONE;
    log_source = log;
    clear();
}

// Parses JSON text; the document lives until the Doc goes out of scope.
struct Doc {
    cJSON* root;
    explicit Doc(const std::string& json) : root(cJSON_Parse(json.c_str())) {}
    ~Doc() { cJSON_Delete(root); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;
};

} // namespace rec
