// Whole screens rendered on a 320 x 240 memory display and compared with the pictures committed
// beside this file (tests/support/golden_image.h says how alike they must be). GFX_UPDATE_GOLDEN=1
// writes the pictures instead (scripts/update-golden).
#include <gtest/gtest.h>

#include <lodepng.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "golden_image.h"
#include "test_paths.h"

namespace {

class Golden : public GfxFixture {
  protected:
    void TearDown() override {
        GfxFixture::TearDown();
        for (lv_font_t* f : fonts_) lv_ft_font_destroy(f);
    }

    const lv_font_t* montserrat_regular(uint16_t px) {
        font_path_ =
            sd_node_module_path("@expo-google-fonts/montserrat/400Regular/Montserrat_400Regular.ttf");
        lv_ft_info_t info{};
        info.name = font_path_.c_str();
        info.weight = px;
        info.style = FT_FONT_STYLE_NORMAL;
        if (!lv_ft_font_init(&info)) return nullptr;
        fonts_.push_back(info.font);
        return info.font;
    }

    lv_obj_t* label(lv_obj_t* parent, const char* text, const lv_font_t* font, uint32_t color) {
        lv_obj_t* l = lv_label_create(parent);
        lv_label_set_text(l, text);
        lv_obj_set_style_text_font(l, font, 0);
        lv_obj_set_style_text_color(l, lv_color_hex(color), 0);
        return l;
    }

    lv_obj_t* box(lv_obj_t* parent, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h, uint32_t color) {
        lv_obj_t* o = lv_obj_create(parent);
        lv_obj_set_pos(o, x, y);
        lv_obj_set_size(o, w, h);
        lv_obj_set_style_bg_color(o, lv_color_hex(color), 0);
        return o;
    }

    // Renders what is dirty and compares the whole display with tests/golden/<name>.png; a mismatch
    // leaves <name>.actual.png and <name>.diff.png in the test output directory.
    void expect_matches_golden(const std::string& name) {
        refresh();
        const std::string path = std::string(SD_GOLDEN_DIR) + "/" + name + ".png";
        RgbImage actual{320, 240, {}}, expected;
        for (size_t i = 0; i < size_t(320 * 240); i++)
            actual.px.push_back(gfx_mem_display_pixels(disp)[i].full & 0xffffff);
        if (golden_updating()) {
            EXPECT_TRUE(rgb_image_save(path, actual)) << path;
            return;
        }
        std::string error;
        ASSERT_TRUE(rgb_image_load(path, &expected, &error))
            << path << ": " << error << " (scripts/update-golden)";
        ASSERT_EQ(expected.px.size(), actual.px.size()) << path;
        const GoldenDiff d = golden_diff(expected, actual);
        if (d.matches()) return;
        const std::string out = sd_test_out_path("golden/" + name);
        rgb_image_save(out + ".actual.png", actual);
        rgb_image_save(out + ".diff.png", d.picture);
        ADD_FAILURE() << name << ": " << d.differing << " pixels differ by more than "
                      << kGoldenChannelTolerance << " (at most " << d.allowed << " may; worst " << d.worst
                      << ")\n  expected: " << path << "\n  actual:   " << out
                      << ".actual.png\n  diff:     " << out << ".diff.png";
    }

    std::string font_path_;
    std::vector<lv_font_t*> fonts_;
};

// A 48 x 48 RGBA picture: colour ramps across and down, a soft round edge, a see-through band.
std::string write_alpha_png() {
    const unsigned n = 48;
    std::vector<unsigned char> rgba(n * n * 4);
    for (unsigned y = 0; y < n; y++) {
        for (unsigned x = 0; x < n; x++) {
            unsigned char* p = &rgba[(y * n + x) * 4];
            double d = std::hypot(x + 0.5 - n / 2.0, y + 0.5 - n / 2.0);
            double a = std::clamp(22.0 - d, 0.0, 4.0) / 4.0;
            if (y >= 20 && y < 28) a *= 0.5;
            p[0] = (unsigned char)(x * 5);
            p[1] = (unsigned char)(y * 5);
            p[2] = 200;
            p[3] = (unsigned char)std::lround(a * 255);
        }
    }
    const std::string path = sd_test_out_path("golden/alpha_disc.png");
    EXPECT_EQ(lodepng_encode32_file(path.c_str(), rgba.data(), n, n), 0u);
    return path;
}

} // namespace

TEST_F(Golden, LabelsOnABlackScreen) {
    const lv_font_t* ttf = montserrat_regular(20);
    ASSERT_NE(ttf, nullptr);
    lv_obj_t* scr = lv_scr_act();
    lv_obj_set_style_bg_color(scr, lv_color_black(), 0);

    lv_obj_align(label(scr, "Charging 22.5 kW", ttf, 0xffffff), LV_ALIGN_TOP_LEFT, 10, 10);
    lv_obj_align(label(scr, "01h 23m 45s", ttf, 0x4caf50), LV_ALIGN_TOP_RIGHT, -10, 44);
    lv_obj_align(label(scr, "Built-in Montserrat 14: 0123456789 %", &lv_font_montserrat_14, 0xbdbdbd),
                 LV_ALIGN_LEFT_MID, 10, 0);
    lv_obj_t* wrapped = label(scr, "Please plug in the cable to start charging", ttf, 0xffc107);
    lv_obj_set_width(wrapped, 200);
    lv_obj_align(wrapped, LV_ALIGN_BOTTOM_MID, 0, -10);

    expect_matches_golden("labels");
}

TEST_F(Golden, BorderedPanelCoversAChildAtItsEdge) {
    lv_obj_t* scr = lv_scr_act();
    // The theme's card: white, 2 px grey border drawn after the children, radius 7.
    lv_obj_t* panel = lv_obj_create(scr);
    lv_obj_set_pos(panel, 40, 30);
    lv_obj_set_size(panel, 200, 120);
    lv_obj_t* child = box(panel, 130, 40, 70, 50, 0x2196f3); // reaches past the panel's right edge
    lv_obj_set_style_radius(child, 0, 0);
    lv_obj_set_style_border_width(child, 0, 0);
    label(panel, "Panel", &lv_font_montserrat_14, 0x212121);

    // A pill with only its bottom border, and a translucent square over both.
    lv_obj_t* pill = box(scr, 40, 170, 180, 40, 0xffe0b2);
    lv_obj_set_style_radius(pill, LV_RADIUS_CIRCLE, 0);
    lv_obj_set_style_border_color(pill, lv_color_hex(0xe65100), 0);
    lv_obj_set_style_border_width(pill, 4, 0);
    lv_obj_set_style_border_side(pill, LV_BORDER_SIDE_BOTTOM, 0);
    lv_obj_t* glass = box(scr, 200, 120, 80, 80, 0x9c27b0);
    lv_obj_set_style_bg_opa(glass, LV_OPA_50, 0);

    expect_matches_golden("panel");
    // The child is cut at the panel's box and the grey border lies over it.
    EXPECT_EQ((std::vector<uint32_t>{pixel(240, 95), pixel(239, 95), pixel(237, 95)}),
              (std::vector<uint32_t>{0xf5f5f5, 0xe0e0e0, 0x2196f3}));
}

TEST_F(Golden, PngWithAlphaOverAColouredBackground) {
    const std::string png = "A:" + write_alpha_png();
    lv_obj_t* scr = lv_scr_act();
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x1b5e20), 0);
    lv_obj_t* stripe = box(scr, 0, 100, 320, 40, 0xfff176);
    lv_obj_set_style_radius(stripe, 0, 0);
    lv_obj_set_style_border_width(stripe, 0, 0);

    lv_obj_t* img = lv_img_create(scr);
    lv_img_set_src(img, png.c_str());
    lv_obj_set_pos(img, 40, 96);
    lv_obj_t* faded = lv_img_create(scr);
    lv_img_set_src(faded, png.c_str());
    lv_obj_set_pos(faded, 140, 96);
    lv_obj_set_style_img_opa(faded, LV_OPA_50, 0);
    lv_obj_t* tiled = lv_img_create(scr);
    lv_img_set_src(tiled, png.c_str());
    lv_obj_set_pos(tiled, 220, 20);
    lv_obj_set_size(tiled, 80, 200);

    expect_matches_golden("png_alpha");
}

TEST_F(Golden, HiddenObjectsAreNotDrawn) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_t* shown = box(scr, 20, 20, 120, 80, 0x03a9f4);
    label(shown, "shown", &lv_font_montserrat_14, 0x212121);
    lv_obj_t* hidden = box(scr, 60, 60, 200, 120, 0xff0000);
    lv_obj_add_flag(hidden, LV_OBJ_FLAG_HIDDEN);
    lv_obj_t* parent = box(scr, 180, 20, 120, 80, 0xff0000);
    lv_obj_t* child_of_hidden = box(parent, 0, 0, 40, 30, 0x00ff00);
    lv_obj_set_style_border_width(child_of_hidden, 0, 0);
    lv_obj_add_flag(parent, LV_OBJ_FLAG_HIDDEN);

    expect_matches_golden("hidden");
}

TEST_F(Golden, TopLayerLiesOverTheScreen) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_t* under = box(scr, 10, 10, 300, 220, 0x8bc34a);
    label(under, "screen", &lv_font_montserrat_14, 0x212121);

    lv_obj_t* top = lv_disp_get_layer_top(disp);
    lv_obj_t* overlay = box(top, 60, 60, 200, 120, 0x263238);
    lv_obj_set_style_bg_opa(overlay, 230, 0);
    lv_obj_t* text = label(overlay, "On the top layer", &lv_font_montserrat_14, 0xffffff);
    lv_obj_center(text);

    expect_matches_golden("top_layer");
}
