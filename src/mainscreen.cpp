#include "mainscreen.h"

#include <cstdio>
#include <cstring>

#include "i18n/lv_i18n.h"
#include "ui/ui_charging_1_phase/ui_charging_1_phase.h"
#include "ui/ui_charging_3_phase/ui_charging_3_phase.h"
#include "ui/ui_finishing/ui_finishing.h"
#include "ui/ui_idle/ui_idle.h"
#include "ui/ui_not_available/ui_not_available.h"
#include "ui/ui_reservation/ui_reservation.h"
#include "ui/ui_statusbar/ui_statusbar.h"
#include "ui/ui_stopping/ui_stopping.h"
#include "ui/ui_suspended_ev/ui_suspended_ev.h"
#include "ui/ui_suspended_evse/ui_suspended_evse.h"
#include "ui/ui_swipe_normal/ui_swipe_normal.h"
#include "ui/ui_swiping_card/ui_swiping_card.h"
#include "ui/ui_swiping_rfid/ui_swiping_rfid.h"
#include "ui/ui_trigger/ui_trigger.h"
#include "ui/ui_welcome/ui_welcome.h"

// Locale names selectable by global.userConfigInfo.language.
const char* const c_LanguageName[] = {"en-US", "fr-FR", "de-DE", "es-ES", "fi-FI"};

namespace {

constexpr unsigned kVersionCode = 0x24012001;

// A screen module: its root (null until the screen is first shown) and its operations.
typedef struct {
    lv_obj_t* root;
    lv_obj_t* (*init)(void);
    void (*onshow)(void);
    void (*onhide)(void);
    void (*set_data)(const msg_status_t* msg);
    void (*language_changed)(void);
} ui_screen_t;

#define SCREEN_ROW(name)                                                                                     \
    {                                                                                                        \
        nullptr, ui_##name##_init, ui_##name##_onshow, ui_##name##_onhide, ui_##name##_set_data,             \
            ui_##name##_language_changed                                                                     \
    }

// In screen-index order.
ui_screen_t s_allScreens[SCREEN_NUM] = {
    SCREEN_ROW(welcome),          SCREEN_ROW(idle),
    SCREEN_ROW(charging_1_phase), SCREEN_ROW(finishing),
    SCREEN_ROW(not_available),    SCREEN_ROW(swipe_normal),
    SCREEN_ROW(stopping),         SCREEN_ROW(charging_3_phase),
    SCREEN_ROW(suspended_ev),     SCREEN_ROW(suspended_evse),
    SCREEN_ROW(reservation),      SCREEN_ROW(swiping_card),
    SCREEN_ROW(swiping_rfid),
};

int s_currScreenIdx = SCREEN_NONE;

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

constexpr int SCREEN_KEEP = -1;

// Without a usable message the welcome screen is shown once at start; after that nothing changes.
int fallback() {
    return s_currScreenIdx == SCREEN_NONE ? SCREEN_WELCOME : SCREEN_KEEP;
}

// The screen selection rules: the index of the screen a status message calls for, or SCREEN_KEEP.
// Null stands for "no message" (start-up).
int switch_screen_idx(const msg_status_t* msg) {
    s_wFunc = {};
    if (msg == nullptr || !msg->has_global || !msg->has_conns) return fallback();
    s_wFunc.bit0 = (msg->sw_func & 1u) != 0;
    s_wFunc.bit2 = (msg->sw_func & 4u) != 0;
    if (msg->run_state == nullptr) return fallback();

    const char* status = msg->status;
    if (text_is(status, "Faulted") || text_is(status, "Unavailable")) return SCREEN_NOT_AVAILABLE;
    if (msg->expire_date >= 1) return SCREEN_RESERVATION;
    if (text_is(status, "SuspendedEVSE")) {
        LV_LOG_USER("SuspendedEVSE");
        return SCREEN_SUSPENDED_EVSE;
    }
    if (text_is(status, "SuspendedEV")) return SCREEN_SUSPENDED_EV;
    if (text_is(status, "Charging")) {
        if (run_state_stops(msg->run_state)) return SCREEN_STOPPING;
        // Phases 2 and 3 decide, as the meter reports them.
        return (msg->voltage[1] == 0 && msg->voltage[2] == 0) ? SCREEN_CHARGING_1_PHASE
                                                              : SCREEN_CHARGING_3_PHASE;
    }
    if (text_is(status, "Finishing")) return SCREEN_FINISHING;

    // Idle state from here on.
    if (!msg_code_is(msg->manager_run_state, "Idle")) return fallback();
    if (text_is(msg->conn_status, "Plug") || text_is(msg->conn_status, "Charging"))
        return SCREEN_SWIPE_NORMAL;
    if (!s_wFunc.bit0 || s_wFunc.bit2 || text_is(status, "Preparing")) return SCREEN_IDLE;
    return SCREEN_SWIPE_NORMAL;
}

} // namespace

// The order on a switch: log line, old onhide, index update, creation on first use, load, new onshow.
void MainScreen_SwitchScreen(int idx) {
    if (idx < 0 || idx >= SCREEN_NUM || idx == s_currScreenIdx) return;
    if (s_currScreenIdx != SCREEN_NONE) {
        LV_LOG_USER("Switch Screen[%d] -> [%d]", s_currScreenIdx, idx);
        ui_screen_t& old = s_allScreens[s_currScreenIdx];
        if (old.root != nullptr) old.onhide();
    }
    s_currScreenIdx = idx;
    ui_screen_t& screen = s_allScreens[idx];
    if (screen.root == nullptr) screen.root = screen.init();
    lv_disp_load_scr(screen.root);
    screen.onshow();
}

bool MainScreen_SetLocale(const char* name) {
    if (lv_i18n_set_locale(name) != 0) return false;
    for (ui_screen_t& screen : s_allScreens)
        if (screen.root != nullptr) screen.language_changed();
    return true;
}

int MainScreen_GetScreen(void) {
    return s_currScreenIdx;
}

void MainScreen_Init(void) {
    std::printf("LVGL_VER: %08X %s %s\n", kVersionCode, __DATE__, __TIME__);
    lv_i18n_init(lv_i18n_language_pack);
    ui_statusbar_init();
    ui_trigger_init();
    MainScreen_SwitchScreen(switch_screen_idx(nullptr));
}

// A trigger message goes to the overlay and nowhere else; a status message goes through the rules,
// the status bar, the language check and the active screen, in this order.
void MainScreen_SetData(const cJSON* root) {
    if (root == nullptr) return;
    msg_status_t msg;
    msg_trigger_t trigger;
    if (msg_read(root, &msg, &trigger)) {
        ui_trigger_set_data(&trigger);
        return;
    }
    MainScreen_SwitchScreen(switch_screen_idx(&msg));
    ui_statusbar_set_data(&msg);
    // A language code outside c_LanguageName changes nothing.
    if (msg.language >= 0 && msg.language < int(sizeof c_LanguageName / sizeof c_LanguageName[0])) {
        const char* name = c_LanguageName[msg.language];
        const char* current = lv_i18n_get_current_locale();
        if (current == nullptr || std::strcmp(name, current) != 0) MainScreen_SetLocale(name);
    }
    s_allScreens[s_currScreenIdx].set_data(&msg);
}
