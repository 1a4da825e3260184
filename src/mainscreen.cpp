#include "mainscreen.h"

#include <cstdio>
#include <cstring>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"

const char* const c_LanguageName[LANGUAGE_NUM] = {"en-US", "fr-FR", "de-DE", "es-ES", "fi-FI"};

int s_currScreenIdx = SCREEN_NONE;

namespace {

constexpr unsigned kVersionCode = 0x24012001;

// The function switches the rules use: bit 0 offers the swipe screen in the idle state, bit 2 vetoes it.
struct {
    bool bit0;
    bool bit2;
} s_wFunc;

// Connector states compare exactly; an absent or non-string value matches nothing.
bool text_is(const char* text, const char* value) {
    return text != nullptr && std::strcmp(text, value) == 0;
}

// Markers in the run state that mean charging is being stopped.
constexpr const char* kStopMarkers[] = {"_K1K2OFF", "_UserStop", "_Unlock"};

bool run_state_stops(const char* run_state) {
    for (const char* marker : kStopMarkers)
        if (std::strstr(run_state, marker) != nullptr) return true;
    return false;
}

// Without a usable message the welcome screen is shown once at start; after that nothing changes.
int fallback() {
    return s_currScreenIdx == SCREEN_NONE ? SCREEN_WELCOME : SCREEN_KEEP;
}

bool is_trigger(const cJSON* root) {
    return msg_item(root, "Trigger") != nullptr;
}

// A language code outside c_LanguageName changes nothing.
void apply_language(const cJSON* root) {
    if (msg_item(root, "global.userConfigInfo.language") == nullptr) return;
    const uint8_t code = msg_u8(root, "global.userConfigInfo.language");
    if (code >= LANGUAGE_NUM) return;
    const char* name = c_LanguageName[code];
    const char* current = lv_i18n_get_current_locale();
    if (current != nullptr && std::strcmp(name, current) == 0) return;
    lv_i18n_set_locale(name);
    for (ui_screen_t& screen : s_allScreens)
        if (screen.root != nullptr) screen.language_changed();
}

} // namespace

int switch_screen_idx(const cJSON* root) {
    s_wFunc = {};
    if (msg_item(root, "global") == nullptr || msg_item(root, "conns") == nullptr) return fallback();

    const uint32_t switches = msg_u32(root, "global.userConfigInfo.swFunc");
    s_wFunc.bit0 = (switches & 1u) != 0;
    s_wFunc.bit2 = (switches & 4u) != 0;

    const char* run_state = msg_text(root, "conns[0].m1768Info.runState");
    const char* status = msg_text(root, "conns[0].sessionConnInfo.ramData._status");
    if (run_state == nullptr) return fallback();

    if (text_is(status, "Faulted") || text_is(status, "Unavailable")) return SCREEN_NOT_AVAILABLE;
    if (msg_time(root, "conns[0].reserveConnInfo.expireDate") >= 1) return SCREEN_RESERVATION;
    if (text_is(status, "SuspendedEVSE")) {
        LV_LOG_USER("SuspendedEVSE");
        return SCREEN_SUSPENDED_EVSE;
    }
    if (text_is(status, "SuspendedEV")) return SCREEN_SUSPENDED_EV;
    if (text_is(status, "Charging")) {
        if (run_state_stops(run_state)) return SCREEN_STOPPING;
        // Phases 2 and 3 decide; the low 16 bits of each count, as the meter reports them.
        const int16_t v2 = msg_i16(root, "conns[0].meterInfo.voltage[1]");
        const int16_t v3 = msg_i16(root, "conns[0].meterInfo.voltage[2]");
        return (v2 == 0 && v3 == 0) ? SCREEN_CHARGING_1_PHASE : SCREEN_CHARGING_3_PHASE;
    }
    if (text_is(status, "Finishing")) return SCREEN_FINISHING;

    // Idle state from here on.
    if (!msg_code_is(msg_text(root, "conns[0].stateMngrInfo.runState"), "Idle")) return fallback();
    const char* plug = msg_text(root, "conns[0].m1768Info.connStatus");
    if (text_is(plug, "Plug") || text_is(plug, "Charging")) return SCREEN_SWIPE_NORMAL;
    if (!s_wFunc.bit0 || s_wFunc.bit2 || text_is(status, "Preparing")) return SCREEN_IDLE;
    return SCREEN_SWIPE_NORMAL;
}

// A trigger message goes to the overlay; anything else may switch the screen. The order on a switch:
// log line, old onhide, index update, creation on first use, load, new onshow.
static void MainScreen_SwitchScreen(const cJSON* root) {
    if (is_trigger(root)) {
        mainscreen_trigger_set_data(root);
        return;
    }
    const int next = switch_screen_idx(root);
    if (next == SCREEN_KEEP || next == s_currScreenIdx) return;
    if (s_currScreenIdx != SCREEN_NONE) {
        LV_LOG_USER("Switch Screen[%d] -> [%d]", s_currScreenIdx, next);
        ui_screen_t& old = s_allScreens[s_currScreenIdx];
        if (old.root != nullptr) old.onhide();
    }
    s_currScreenIdx = next;
    ui_screen_t& screen = s_allScreens[next];
    if (screen.root == nullptr) screen.root = screen.init();
    lv_disp_load_scr(screen.root);
    screen.onshow();
}

void MainScreen_Init(void) {
    std::printf("LVGL_VER: %08X %s %s\n", kVersionCode, __DATE__, __TIME__);
    lv_i18n_init(lv_i18n_language_pack);
    mainscreen_statusbar_init();
    mainscreen_trigger_init();
    MainScreen_SwitchScreen(nullptr);
}

void MainScreen_SetData(const cJSON* root) {
    if (root == nullptr) return;
    MainScreen_SwitchScreen(root);
    if (is_trigger(root)) return;
    mainscreen_statusbar_set_data(root);
    apply_language(root);
    if (s_currScreenIdx != SCREEN_NONE) s_allScreens[s_currScreenIdx].set_data(root);
}
