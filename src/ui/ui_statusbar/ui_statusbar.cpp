#include "ui/ui_statusbar/ui_statusbar.h"

#include <array>
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

constexpr int kIconNum = 6;
constexpr const char* kIconDir = "A:qorv_lvgl/assets/img/statusbar_icon/";

// One icon slot: its widget, the file prefix of its pictures and its x position in the bar.
struct IconSlot {
    lv_obj_t** widget;
    const char* prefix;
    lv_coord_t x;
};

constexpr std::array<IconSlot, kIconNum> kSlots = {{
    {&ui_server_icon, "online_", 80},
    {&ui_nfc_icon, "rf_", 40},
    {&ui_wan_icon, "eth_", 120},
    {&ui_ammter_icon, "ammeter_", 0},
    {&ui_wifi_icon, "wifi_", 200},
    {&ui_lte_icon, "4g_", 160},
}};

// The items of global.drvPointInfo, in the order the bar applies them.
struct IconItem {
    const char* key;
    int slot;
};

constexpr std::array<IconItem, kIconNum> kItems = {{
    {"meterFault", 3},
    {"rfFault", 1},
    {"ethStatus", 2},
    {"wifiStatus", 4},
    {"m4gStatus", 5},
    {"online", 0},
}};

// The icons are created in this order; it decides which one draws above another.
constexpr std::array<int, kIconNum> kCreationOrder = {0, 1, 2, 5, 4, 3};

constexpr int32_t ICON_OFF = 0;
constexpr int32_t ICON_ON = 1;
constexpr int32_t ICON_ERR = 2;

// Time zones come in quarter hours; 48 is UTC.
constexpr int kTimezoneUtc = 48;

int32_t s_icon_all_statu[kIconNum] = {};
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
    std::snprintf(path, sizeof(path), "%s%s%s", kIconDir, kSlots[size_t(slot)].prefix, state_suffix(state));
    lv_img_set_src(*kSlots[size_t(slot)].widget, path);
}

lv_obj_t* icon_create(lv_coord_t x) {
    lv_obj_t* icon = lv_img_create(ui_statusbar);
    lv_obj_set_size(icon, 36, 29);
    lv_obj_set_pos(icon, x, 0);
    lv_obj_add_flag(icon, LV_OBJ_FLAG_ADV_HITTEST);
    lv_obj_clear_flag(icon, LV_OBJ_FLAG_SCROLLABLE);
    return icon;
}

void apply_show(uint8_t show) {
    if (show == 0)
        lv_obj_add_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN);
    else
        lv_obj_clear_flag(ui_statusbar, LV_OBJ_FLAG_HIDDEN);
}

// An absent or non-numeric time zone counts as UTC; an explicit number keeps its low 8 bits, signed.
int timezone_quarters(const cJSON* root) {
    const char* path = "global.sysconfigInfo.timezone";
    if (!cJSON_IsNumber(msg_item(root, path))) return kTimezoneUtc;
    return msg_i8(root, path);
}

void show_clock(const cJSON* root) {
    const int64_t local = msg_now() + int64_t(timezone_quarters(root) - kTimezoneUtc) * 900;
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

    for (int slot : kCreationOrder) *kSlots[size_t(slot)].widget = icon_create(kSlots[size_t(slot)].x);

    ui_clock_text = ui_label_create(ui_statusbar, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 0, "18:00");
    lv_obj_align(ui_clock_text, LV_ALIGN_RIGHT_MID, -10, -2);

    for (int slot = 0; slot < kIconNum; slot++) show_picture(slot, s_icon_all_statu[slot]);
    ui_label_set_font(ui_clock_text, 0);
}

void ui_statusbar_set_data(const cJSON* root) {
    const cJSON* points = msg_item(root, "global.drvPointInfo");
    show_clock(root);
    for (const IconItem& item : kItems) ui_statusbar_judge_icon_status(msg_item(points, item.key), item.slot);
}

void ui_statusbar_judge_icon_status(const cJSON* item, int slot) {
    int32_t state = ICON_OFF; // also for a missing item
    if (cJSON_IsBool(item)) {
        // Fault items: no fault shows the "on" picture, a fault the "err" picture.
        state = cJSON_IsTrue(item) ? ICON_ERR : ICON_ON;
    } else if (cJSON_IsNumber(item)) {
        const int32_t value = msg_low_u8(msg_to_u32(cJSON_GetNumberValue(item)));
        state = (value == ICON_ON || value == ICON_ERR) ? value : ICON_OFF;
    } else if (item != nullptr) {
        return; // a text, object, array or null keeps the icon as it is
    }
    ui_statusbar_set_icon(slot, state);
}

void ui_statusbar_set_icon(int slot, int32_t state) {
    if (slot < 0 || slot >= kIconNum) return;
    // The state is stored first: a picture that fails to load is not retried until the state changes.
    if (s_icon_all_statu[slot] == state) return;
    s_icon_all_statu[slot] = state;
    show_picture(slot, state);
}

void ui_statusbar_set_show(uint8_t show) {
    if (show == ui_statusbar_current_show_statu) return;
    ui_statusbar_stored_show_statu = ui_statusbar_current_show_statu;
    ui_statusbar_current_show_statu = show;
    apply_show(show);
}

void ui_statusbar_restore_show(void) {
    ui_statusbar_current_show_statu = ui_statusbar_stored_show_statu;
    LV_LOG_USER("RESTORE statusbar show  =  %d", ui_statusbar_current_show_statu);
    apply_show(ui_statusbar_current_show_statu);
}
