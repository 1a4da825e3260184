#include "font_loader.h"

#include <array>

namespace {

constexpr const char* kSans = "./qorv_lvgl/assets/font/HarmonyOS_Sans_Regular.ttf";
constexpr const char* kMono = "./qorv_lvgl/assets/font/UbuntuMono-B.ttf";

// The log lines of this module name these source lines; keep them when editing.
constexpr int kLineInvalidId = 74;
constexpr int kLineLoadFailed = 80;

// One record per font id, in id order: file, memory (unused), memory size, font, pixel size, style.
std::array<lv_ft_info_t, 11> s_all_font = {{
    {kSans, nullptr, 0, nullptr, 12, FT_FONT_STYLE_NORMAL},
    {kSans, nullptr, 0, nullptr, 14, FT_FONT_STYLE_NORMAL},
    {kSans, nullptr, 0, nullptr, 15, FT_FONT_STYLE_NORMAL},
    {kSans, nullptr, 0, nullptr, 16, FT_FONT_STYLE_NORMAL},
    {kSans, nullptr, 0, nullptr, 20, FT_FONT_STYLE_NORMAL},
    {kSans, nullptr, 0, nullptr, 40, FT_FONT_STYLE_NORMAL},
    {kMono, nullptr, 0, nullptr, 9, FT_FONT_STYLE_NORMAL},
    {kMono, nullptr, 0, nullptr, 16, FT_FONT_STYLE_NORMAL},
    {kMono, nullptr, 0, nullptr, 18, FT_FONT_STYLE_NORMAL},
    {kMono, nullptr, 0, nullptr, 25, FT_FONT_STYLE_NORMAL},
    {kMono, nullptr, 0, nullptr, 30, FT_FONT_STYLE_NORMAL},
}};

} // namespace

lv_font_t* font_loader_get_font(uint32_t id) {
    if (id >= s_all_font.size()) {
        _lv_log_add(LV_LOG_LEVEL_ERROR, __FILE__, kLineInvalidId, "font_loader_get_font",
                    "invalid font type index");
        return nullptr;
    }
    lv_ft_info_t& info = s_all_font[id];
    if (info.font != nullptr) return info.font;
    if (lv_ft_font_init(&info)) return info.font;
    _lv_log_add(LV_LOG_LEVEL_ERROR, __FILE__, kLineLoadFailed, "font_loader_get_font",
                "error when loading a font");
    return nullptr;
}
