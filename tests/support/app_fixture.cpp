#include "app_fixture.h"

#include <cjson/cJSON.h>
#include <filesystem>

#include "app_host.h"

namespace {

constexpr lv_coord_t kW = 320, kH = 240;

// The keys and array positions of a path: "conns[0].m1768Info" gives "conns", "[0]", "m1768Info".
std::vector<std::string> path_parts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if ((c == '.' || c == '[') && !part.empty()) parts.push_back(part), part.clear();
        if (c != '.') part += c;
    }
    parts.push_back(part);
    return parts;
}

// Puts `value` at `path` below `node`, making objects and arrays (padded with empty objects) on the way.
void set_path(cJSON* node, const std::string& path, cJSON* value) {
    const std::vector<std::string> parts = path_parts(path);
    for (size_t i = 0; i < parts.size(); i++) {
        const bool last = i + 1 == parts.size();
        cJSON* make = last ? value : (parts[i + 1][0] == '[' ? cJSON_CreateArray() : cJSON_CreateObject());
        cJSON* child;
        if (parts[i][0] == '[') {
            const int at = std::stoi(parts[i].substr(1));
            while (cJSON_GetArraySize(node) <= at) cJSON_AddItemToArray(node, cJSON_CreateObject());
            child = cJSON_GetArrayItem(node, at);
            if (last || (!cJSON_IsObject(child) && !cJSON_IsArray(child))) {
                cJSON_ReplaceItemInArray(node, at, make);
                child = make;
            } else {
                cJSON_Delete(make);
            }
        } else {
            child = cJSON_GetObjectItemCaseSensitive(node, parts[i].c_str());
            if (child == nullptr) {
                cJSON_AddItemToObject(node, parts[i].c_str(), make);
                child = make;
            } else if (last || (!cJSON_IsObject(child) && !cJSON_IsArray(child))) {
                cJSON_ReplaceItemInObjectCaseSensitive(node, parts[i].c_str(), make);
                child = make;
            } else {
                cJSON_Delete(make);
            }
        }
        node = child;
    }
}

} // namespace

void AppFixture::SetUp() {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(SD_BUILD_DIR);
    ASSERT_TRUE(std::filesystem::exists("qorv_lvgl/assets")) << "build the assets target first";
    msg_pin_now(kNow);
    static lv_disp_t* disp = app_host_start(kW, kH, false);
    ASSERT_NE(disp, nullptr);
    if (!start_manager_) return;
    StdoutLog banner; // keeps the banner out of the test's output
    MainScreen_Init();
}

void AppFixture::TearDown() {
    msg_unpin_now();
    std::filesystem::current_path(old_cwd_);
}

std::vector<std::string> AppFixture::send(const std::string& json) {
    cJSON* root = cJSON_Parse(json.c_str());
    EXPECT_NE(root, nullptr) << json;
    StdoutLog log;
    MainScreen_SetData(root);
    cJSON_Delete(root);
    return log.lines();
}

void AppFixture::advance(uint32_t ms) {
    app_host_run_for(ms);
}

uint32_t AppFixture::pixel(lv_coord_t x, lv_coord_t y) {
    lv_refr_now(nullptr);
    return app_host_frame()[size_t(y) * kW + size_t(x)].full & 0xFFFFFF;
}

std::string message(const Fields& fields) {
    cJSON* root = cJSON_CreateObject();
    for (const auto& [path, value] : fields) {
        cJSON* item = cJSON_Parse(value.c_str());
        EXPECT_NE(item, nullptr) << path << ": " << value;
        if (item != nullptr) set_path(root, path, item);
    }
    char* text = cJSON_PrintUnformatted(root);
    const std::string out = text;
    cJSON_free(text);
    cJSON_Delete(root);
    return out;
}

std::string screen_message(int screen, const Fields& fields) {
    const std::string status = "conns[0].sessionConnInfo.ramData._status";
    Fields all = {{"global.userConfigInfo.swFunc", "0"},
                  {"conns[0].m1768Info.runState", R"("S_K1K2ON_Charging")"},
                  {"conns[0].m1768Info.connStatus", R"("Unplug")"},
                  {"conns[0].stateMngrInfo.runState", R"("Idle")"},
                  {status, R"("Available")"}};
    const std::pair<int, Fields> selecting[] = {
        {SCREEN_CHARGING_1_PHASE, {{status, R"("Charging")"}}},
        {SCREEN_CHARGING_3_PHASE,
         {{status, R"("Charging")"}, {"conns[0].meterInfo.voltage", "[2300,2300,2300]"}}},
        {SCREEN_FINISHING, {{status, R"("Finishing")"}}},
        {SCREEN_NOT_AVAILABLE, {{status, R"("Faulted")"}}},
        {SCREEN_SWIPE_NORMAL, {{"conns[0].m1768Info.connStatus", R"("Plug")"}}},
        {SCREEN_STOPPING, {{status, R"("Charging")"}, {"conns[0].m1768Info.runState", R"("S_K1K2OFF")"}}},
        {SCREEN_SUSPENDED_EV, {{status, R"("SuspendedEV")"}}},
        {SCREEN_SUSPENDED_EVSE, {{status, R"("SuspendedEVSE")"}}},
        {SCREEN_RESERVATION, {{"conns[0].reserveConnInfo.expireDate", std::to_string(kNow + 600)}}},
    };
    for (const auto& [s, extra] : selecting)
        if (s == screen) all.insert(all.end(), extra.begin(), extra.end());
    all.insert(all.end(), fields.begin(), fields.end());
    return message(all);
}

std::string text(lv_obj_t* label) {
    return lv_label_get_text(label);
}

bool hidden(lv_obj_t* obj) {
    return lv_obj_has_flag(obj, LV_OBJ_FLAG_HIDDEN);
}

std::string img_src(lv_obj_t* img) {
    const void* src = lv_img_get_src(img);
    return src != nullptr && lv_img_src_get_type(src) == LV_IMG_SRC_FILE ? static_cast<const char*>(src) : "";
}
