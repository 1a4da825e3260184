// The real screen table: the thirteen screen modules in screen-index order, and the status bar and
// trigger overlay that the screen manager drives. Tests of the manager link their own table instead.
#include "mainscreen.h"
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

#define SCREEN_ROW(name)                                                                                     \
    {                                                                                                        \
        nullptr, ui_##name##_init, ui_##name##_onshow, ui_##name##_onhide, ui_##name##_set_data,             \
            ui_##name##_language_changed                                                                     \
    }

ui_screen_t s_allScreens[SCREEN_NUM] = {
    SCREEN_ROW(welcome),          // 0
    SCREEN_ROW(idle),             // 1
    SCREEN_ROW(charging_1_phase), // 2
    SCREEN_ROW(finishing),        // 3
    SCREEN_ROW(not_available),    // 4
    SCREEN_ROW(swipe_normal),     // 5
    SCREEN_ROW(stopping),         // 6
    SCREEN_ROW(charging_3_phase), // 7
    SCREEN_ROW(suspended_ev),     // 8
    SCREEN_ROW(suspended_evse),   // 9
    SCREEN_ROW(reservation),      // 10
    SCREEN_ROW(swiping_card),     // 11
    SCREEN_ROW(swiping_rfid),     // 12
};

void mainscreen_statusbar_init(void) {
    ui_statusbar_init();
}
void mainscreen_trigger_init(void) {
    ui_trigger_init();
}
void mainscreen_statusbar_set_data(const cJSON* root) {
    ui_statusbar_set_data(root);
}
void mainscreen_trigger_set_data(const cJSON* root) {
    ui_trigger_set_data(root);
}
