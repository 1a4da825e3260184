#include "screen_fixture.h"

namespace fs = std::filesystem;

void ScreenFixture::SetUp() {
    AppFixture::SetUp();
    old_cwd_ = fs::current_path();
    fs::current_path(SD_BUILD_DIR);
    ASSERT_TRUE(fs::exists("qorv_lvgl/assets")) << "build the assets target first";
    lv_i18n_init(lv_i18n_language_pack);
    msg_pin_now(kNow);
    ui_statusbar_init();
}

void ScreenFixture::TearDown() {
    msg_unpin_now();
    lv_i18n_set_locale("en-US");
    fs::current_path(old_cwd_);
}

void ScreenFixture::show(const ScreenOps& screen) {
    ASSERT_NE(screen.init, nullptr) << "no screen to show";
    lv_obj_t* root = screen.init();
    ASSERT_NE(root, nullptr) << screen.name;
    ASSERT_EQ(root, *screen.root) << screen.name;
    show_again(screen);
}

void ScreenFixture::show_again(const ScreenOps& screen) {
    ASSERT_NE(*screen.root, nullptr) << screen.name << " is not built";
    lv_disp_load_scr(*screen.root);
    screen.onshow();
}

void ScreenFixture::hide() {
    ops_.onhide();
    lv_disp_load_scr(lv_obj_create(nullptr));
}

void ScreenFixture::send_to(void (*set_data)(const cJSON*), const std::string& json) {
    JsonDoc doc = parse_json(json);
    ASSERT_NE(doc, nullptr) << json;
    set_data(doc.get());
}

void ScreenFixture::change_language(const char* locale) {
    ASSERT_EQ(lv_i18n_set_locale(locale), 0) << locale;
    ops_.language_changed();
}

void ScreenFixture::expect_centred(lv_obj_t* obj, lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t cx,
                                   lv_coord_t cy) const {
    EXPECT_EQ(lv_obj_get_parent(obj), parent);
    const lv_area_t a = coords_of(obj);
    const lv_coord_t aw = lv_area_get_width(&a), ah = lv_area_get_height(&a);
    if (w != 0) {
        EXPECT_EQ(aw, w);
    }
    if (h != 0) {
        EXPECT_EQ(ah, h);
    }
    EXPECT_EQ(a.x1, w_ / 2 - aw / 2 + cx);
    EXPECT_EQ(a.y1, h_ / 2 - ah / 2 + cy);
}

void ScreenFixture::expect_widget_table(lv_obj_t* parent, std::span<const WidgetRow> rows) const {
    for (const WidgetRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_NE(r.obj, nullptr);
        if (r.obj == nullptr) continue;
        expect_centred(r.obj, parent, r.w, r.h, r.cx, r.cy);
        if (r.font >= 0) {
            EXPECT_EQ(lv_obj_get_style_text_font(r.obj, LV_PART_MAIN),
                      font_loader_get_font(uint32_t(r.font)));
        }
        if (r.align >= 0) {
            EXPECT_EQ(int(lv_obj_get_style_text_align(r.obj, LV_PART_MAIN)), r.align);
        }
    }
}

lv_area_t ScreenFixture::centred_box(lv_coord_t cx, lv_coord_t cy, lv_coord_t w, lv_coord_t h) const {
    lv_area_t a;
    a.x1 = lv_coord_t(w_ / 2 + cx - w / 2);
    a.y1 = lv_coord_t(h_ / 2 + cy - h / 2);
    a.x2 = lv_coord_t(a.x1 + w - 1);
    a.y2 = lv_coord_t(a.y1 + h - 1);
    return a;
}

JsonDoc parse_json(const std::string& json) {
    return JsonDoc(cJSON_Parse(json.c_str()), cJSON_Delete);
}

std::string text(lv_obj_t* label) {
    return lv_label_get_text(label);
}

bool hidden(lv_obj_t* obj) {
    return lv_obj_has_flag(obj, LV_OBJ_FLAG_HIDDEN);
}

lv_area_t coords_of(lv_obj_t* obj) {
    lv_obj_update_layout(obj);
    lv_area_t a;
    lv_obj_get_coords(obj, &a);
    return a;
}

void expect_area(lv_obj_t* obj, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h) {
    const lv_area_t a = coords_of(obj);
    EXPECT_EQ(a.x1, x);
    EXPECT_EQ(a.y1, y);
    EXPECT_EQ(lv_area_get_width(&a), w);
    EXPECT_EQ(lv_area_get_height(&a), h);
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

std::vector<std::string> case_variants(const std::string& code) {
    std::vector<std::string> v(4, code);
    for (size_t i = 0; i < code.size(); i++) {
        const char c = code[i];
        const bool is_upper = c >= 'A' && c <= 'Z', is_lower = c >= 'a' && c <= 'z';
        v[1][i] = is_upper ? char(c - 'A' + 'a') : c;
        v[2][i] = is_lower ? char(c - 'a' + 'A') : c;
        v[3][i] = is_upper ? v[1][i] : is_lower ? v[2][i] : c;
    }
    return v;
}

std::string charging_message(const std::string& meter, const std::string& save, const std::string& m1768) {
    return R"({"conns":[{"meterInfo":{)" + meter + R"(},"sessionConnInfo":{"saveData":{)" + save +
           R"(}},"m1768Info":{)" + m1768 + "}}]}";
}
