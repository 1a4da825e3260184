#include "ui/ui_statusbar/ui_statusbar.h"

#include <cstdio>
#include <ctime>

#include "msg/msg.h"
#include "ui/ui_common.h"

lv_obj_t* ui_statusbar;
lv_obj_t* ui_server_icon;
lv_obj_t* ui_nfc_icon;
lv_obj_t* ui_wan_icon;
lv_obj_t* ui_lte_icon;
lv_obj_t* ui_wifi_icon;
lv_obj_t* ui_ammter_icon;
lv_obj_t* ui_clock_text;

namespace {

constexpr const char* kIconDir = "A:qorv_lvgl/assets/img/statusbar_icon/";
// The file prefix of each slot's pictures.
constexpr const char* kPrefixes[MSG_ICON_NUM] = {"online_", "rf_", "eth_", "ammeter_", "wifi_", "4g_"};
// The slots in the order the bar applies a message: meter, card reader, Ethernet, Wi-Fi, 4G, server.
constexpr int kApplyOrder[MSG_ICON_NUM] = {3, 1, 2, 4, 5, 0};

// An icon of 36 x 29 at x in the bar.
constexpr ui_widget_t icon_row(lv_obj_t** obj, lv_coord_t x) {
    ui_widget_t row{obj, UI_IMG, 36, 29, x, 0};
    row.anchor = LV_ALIGN_TOP_LEFT;
    return row;
}

// The icons in creation order, which decides which one draws above another, then the clock.
constexpr ui_widget_t kWidgets[] = {
    icon_row(&ui_server_icon, 80),
    icon_row(&ui_nfc_icon, 40),
    icon_row(&ui_wan_icon, 120),
    icon_row(&ui_lte_icon, 160),
    icon_row(&ui_wifi_icon, 200),
    icon_row(&ui_ammter_icon, 0),
    {&ui_clock_text, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, -10, -2, "18:00", FONT_SANS_12,
     LV_TEXT_ALIGN_AUTO, 0, nullptr, LV_ALIGN_RIGHT_MID},
};
// The widget of each slot.
lv_obj_t** const kSlotIcons[MSG_ICON_NUM] = {&ui_server_icon, &ui_nfc_icon,  &ui_wan_icon,
                                             &ui_ammter_icon, &ui_wifi_icon, &ui_lte_icon};

constexpr int32_t ICON_ON = 1;
constexpr int32_t ICON_ERR = 2;

// Time zones come in quarter hours; 48 is UTC.
constexpr int kTimezoneUtc = 48;

int32_t s_icon_all_statu[MSG_ICON_NUM] = {};
uint8_t ui_statusbar_current_show_statu = 1;
uint8_t ui_statusbar_stored_show_statu = 1;

const char* state_suffix(int32_t state) {
    switch (state) {
    case ICON_ON:
        return "on.png";
    case ICON_ERR:
        return "err.png";
    default:
        return "off.png";
    }
}

void show_picture(int slot, int32_t state) {
    char path[256] = {};
    std::snprintf(path, sizeof(path), "%s%s%s", kIconDir, kPrefixes[slot], state_suffix(state));
    lv_img_set_src(*kSlotIcons[slot], path);
}

void show_clock(int8_t timezone) {
    const int64_t local = msg_now() + int64_t(timezone - kTimezoneUtc) * 900;
    const time_t t = static_cast<time_t>(local);
    struct tm tm_local = {};
    if (gmtime_r(&t, &tm_local) == nullptr) return;
    lv_label_set_text_fmt(ui_clock_text, "%02d : %02d", tm_local.tm_hour, tm_local.tm_min);
}

} // namespace

void ui_statusbar_init(void) {
    ui_statusbar = lv_obj_create(lv_layer_top());
    lv_obj_set_size(ui_statusbar, 320, 35);
    lv_obj_align(ui_statusbar, LV_ALIGN_CENTER, 0, -100);
    lv_obj_clear_flag(ui_statusbar, LV_OBJ_FLAG_SCROLLABLE);
    lv_obj_set_style_radius(ui_statusbar, 0, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_color(ui_statusbar, lv_color_hex(0x000000), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(ui_statusbar, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_border_width(ui_statusbar, 0, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_pad_all(ui_statusbar, 0, LV_PART_MAIN | LV_STATE_DEFAULT);
    ui_widgets_create(ui_statusbar, kWidgets);
    for (int slot = 0; slot < MSG_ICON_NUM; slot++) show_picture(slot, s_icon_all_statu[slot]);
}

void ui_statusbar_set_data(const msg_status_t* msg) {
    show_clock(msg->timezone);
    for (int slot : kApplyOrder)
        if (msg->icons[slot] != MSG_ICON_KEEP) ui_statusbar_set_icon(slot, msg->icons[slot]);
}

void ui_statusbar_set_icon(int slot, int32_t state) {
    if (slot < 0 || slot >= MSG_ICON_NUM) return;
    // The state is stored first: a picture that fails to load is not retried until the state changes.
    if (s_icon_all_statu[slot] == state) return;
    s_icon_all_statu[slot] = state;
    show_picture(slot, state);
}

void ui_statusbar_set_show(uint8_t show) {
    if (show == ui_statusbar_current_show_statu) return;
    ui_statusbar_stored_show_statu = ui_statusbar_current_show_statu;
    ui_statusbar_current_show_statu = show;
    ui_obj_set_hidden(ui_statusbar, show == 0);
}

void ui_statusbar_restore_show(void) {
    ui_statusbar_current_show_statu = ui_statusbar_stored_show_statu;
    LV_LOG_USER("RESTORE statusbar show  =  %d", ui_statusbar_current_show_statu);
    ui_obj_set_hidden(ui_statusbar, ui_statusbar_current_show_statu == 0);
}
