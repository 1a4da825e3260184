// The default theme's look: screens, cards (border drawn over the children), scrollbars, and the
// size class chosen from the first display.
#include "gfx_fixture.h"

namespace {

uint32_t rgb(lv_color_t c) {
    return c.full & 0xFFFFFF;
}

int channel(uint32_t px, int shift) {
    return (int)((px >> shift) & 0xFF);
}

class SmallTheme : public GfxFixture {};

class LargeTheme : public GfxFixture {
  public:
    LargeTheme() : GfxFixture({1024, 600}) {}
};

struct ThemeValues {
    lv_coord_t pad, pad_small, radius;
};

void expect_card_and_screen(lv_obj_t* scr, const ThemeValues& v) {
    EXPECT_EQ(rgb(lv_obj_get_style_bg_color(scr, 0)), 0xF5F5F5u);
    EXPECT_EQ(lv_obj_get_style_bg_opa(scr, 0), LV_OPA_COVER);
    EXPECT_EQ(rgb(lv_obj_get_style_text_color(scr, 0)), 0x212121u);
    EXPECT_EQ(lv_obj_get_style_pad_left(scr, 0), 0);
    EXPECT_EQ(lv_obj_get_style_radius(scr, 0), 0);
    EXPECT_EQ(lv_obj_get_style_border_width(scr, 0), 0);
    EXPECT_EQ(lv_obj_get_style_pad_row(scr, 0), v.pad_small);

    lv_obj_t* card = lv_obj_create(scr);
    EXPECT_EQ(rgb(lv_obj_get_style_bg_color(card, 0)), 0xFFFFFFu);
    EXPECT_EQ(lv_obj_get_style_bg_opa(card, 0), LV_OPA_COVER);
    EXPECT_EQ(rgb(lv_obj_get_style_border_color(card, 0)), 0xE0E0E0u);
    EXPECT_EQ(lv_obj_get_style_border_width(card, 0), 2);
    EXPECT_EQ(lv_obj_get_style_border_side(card, 0), LV_BORDER_SIDE_FULL);
    EXPECT_EQ(lv_obj_get_style_radius(card, 0), v.radius);
    EXPECT_EQ(lv_obj_get_style_pad_left(card, 0), v.pad);
    EXPECT_EQ(lv_obj_get_style_pad_right(card, 0), v.pad);
    EXPECT_EQ(lv_obj_get_style_pad_top(card, 0), v.pad);
    EXPECT_EQ(lv_obj_get_style_pad_bottom(card, 0), v.pad);
    EXPECT_EQ(lv_obj_get_style_pad_column(card, 0), v.pad_small);

    // Scrollbar part of screens and cards; SCROLLED makes it opaque.
    for (lv_obj_t* o : {scr, card}) {
        EXPECT_EQ(rgb(lv_obj_get_style_bg_color(o, LV_PART_SCROLLBAR)), 0x9E9E9Eu);
        EXPECT_EQ(lv_obj_get_style_bg_opa(o, LV_PART_SCROLLBAR), LV_OPA_40);
        EXPECT_EQ(lv_obj_get_style_pad_top(o, LV_PART_SCROLLBAR), 6);
        EXPECT_EQ(lv_obj_get_style_radius(o, LV_PART_SCROLLBAR), LV_RADIUS_CIRCLE);
    }
    lv_obj_add_state(card, LV_STATE_SCROLLED);
    EXPECT_EQ(lv_obj_get_style_bg_opa(card, LV_PART_SCROLLBAR), LV_OPA_COVER);

    // Labels and images get nothing of their own.
    for (lv_obj_t* o : {lv_label_create(card), lv_img_create(card)}) {
        EXPECT_EQ(lv_obj_get_style_bg_opa(o, 0), LV_OPA_TRANSP);
        EXPECT_EQ(lv_obj_get_style_pad_left(o, 0), 0);
        EXPECT_EQ(lv_obj_get_style_border_width(o, 0), 0);
        EXPECT_EQ(lv_obj_get_style_bg_opa(o, LV_PART_SCROLLBAR), LV_OPA_TRANSP);
        EXPECT_EQ(rgb(lv_obj_get_style_text_color(o, 0)), 0x212121u);
    }
    EXPECT_EQ(lv_obj_get_style_text_font(card, 0), LV_FONT_DEFAULT);
}

TEST_F(SmallTheme, ValuesOn320x240) {
    expect_card_and_screen(lv_scr_act(), {13, 8, 7});
}

TEST_F(LargeTheme, ValuesOn1024x600) {
    expect_card_and_screen(lv_scr_act(), {20, 11, 10});
    lv_obj_t* card = lv_obj_create(lv_scr_act());
    lv_obj_update_layout(card);
    EXPECT_EQ(lv_obj_get_content_width(card), 86);
}

TEST_F(SmallTheme, RemoveStyleAllLeavesATransparentFramelessObject) {
    lv_obj_t* card = lv_obj_create(lv_scr_act());
    lv_obj_remove_style_all(card);
    EXPECT_EQ(lv_obj_get_style_bg_opa(card, 0), LV_OPA_TRANSP);
    EXPECT_EQ(lv_obj_get_style_pad_left(card, 0), 0);
    EXPECT_EQ(lv_obj_get_style_border_width(card, 0), 0);
    EXPECT_EQ(lv_obj_get_style_bg_opa(card, LV_PART_SCROLLBAR), LV_OPA_TRANSP);
    lv_obj_update_layout(card);
    EXPECT_EQ(lv_obj_get_width(card), 130); // the class size stays
}

TEST_F(SmallTheme, CardBorderIsDrawnOverChildrenThatAreClippedToTheCard) {
    lv_obj_t* card = lv_obj_create(lv_scr_act());
    lv_obj_set_pos(card, 40, 40);
    lv_obj_set_size(card, 100, 80);
    lv_obj_clear_flag(card, LV_OBJ_FLAG_SCROLLABLE);
    lv_obj_t* child = lv_obj_create(card);
    lv_obj_remove_style_all(child);
    lv_obj_set_style_bg_opa(child, LV_OPA_COVER, 0);
    lv_obj_set_style_bg_color(child, lv_color_hex(0xFF0000), 0);
    lv_obj_set_pos(child, -30, 10); // starts 15 px left of the card
    lv_obj_set_size(child, 40, 20);
    run_for(50);

    const lv_coord_t y = 40 + 15 + 15;
    EXPECT_EQ(pixel(35, y), 0xF5F5F5u); // outside the card: clipped away
    EXPECT_EQ(pixel(40, y), 0xE0E0E0u); // the 2 px border covers the child
    EXPECT_EQ(pixel(41, y), 0xE0E0E0u);
    EXPECT_EQ(pixel(42, y), 0xFF0000u);
    EXPECT_EQ(pixel(100, y), 0xFFFFFFu); // card background
    EXPECT_EQ(pixel(90, 90), 0xFFFFFFu);
    // Rounded corner: the very corner pixel shows the screen.
    EXPECT_EQ(pixel(40, 40), 0xF5F5F5u);
}

TEST_F(SmallTheme, OverflowingChildMakesAScrollbarAppear) {
    lv_obj_t* card = lv_obj_create(lv_scr_act());
    lv_obj_set_size(card, 201, 101);
    lv_obj_t* child = lv_obj_create(card);
    lv_obj_set_size(child, 50, 20);
    lv_obj_set_x(child, 150);
    run_for(50);

    // Horizontal bar at (6,91)-(170,94): 40 % grey over the white card.
    const uint32_t bar = pixel(80, 92);
    EXPECT_NEAR(channel(bar, 16), 216, 3);
    EXPECT_NEAR(channel(bar, 0), 216, 3);
    EXPECT_EQ(pixel(80, 90), 0xFFFFFFu);
    EXPECT_EQ(pixel(80, 95), 0xFFFFFFu);
    EXPECT_EQ(pixel(172, 92), 0xFFFFFFu);
    EXPECT_NE(pixel(168, 92), 0xFFFFFFu);
    // No vertical bar.
    EXPECT_EQ(pixel(192, 40), 0xFFFFFFu);

    // Without SCROLLABLE, or with the bar switched off, the bar goes away.
    lv_obj_clear_flag(card, LV_OBJ_FLAG_SCROLLABLE);
    run_for(50);
    EXPECT_EQ(pixel(80, 92), 0xFFFFFFu);
    lv_obj_add_flag(card, LV_OBJ_FLAG_SCROLLABLE);
    run_for(50);
    EXPECT_NE(pixel(80, 92), 0xFFFFFFu);
    lv_obj_set_scrollbar_mode(card, LV_SCROLLBAR_MODE_OFF);
    run_for(50);
    EXPECT_EQ(pixel(80, 92), 0xFFFFFFu);
}

TEST_F(SmallTheme, ScreenColoursUntilStyledThenAppColours) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_label_set_text(label, "########");
    lv_obj_set_pos(label, 10, 10);
    run_for(50);
    EXPECT_EQ(pixel(200, 200), 0xF5F5F5u);
    // Somewhere in the text the theme's text colour is drawn at full strength.
    bool dark = false;
    for (lv_coord_t x = 10; x < 60 && !dark; x++) {
        for (lv_coord_t y = 10; y < 26 && !dark; y++) dark = pixel(x, y) == 0x212121u;
    }
    EXPECT_TRUE(dark);

    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(0x000000), 0);
    lv_obj_set_style_text_color(lv_scr_act(), lv_color_hex(0xFFFFFF), 0);
    run_for(50);
    EXPECT_EQ(pixel(200, 200), 0x000000u);
    bool white = false;
    for (lv_coord_t x = 10; x < 60 && !white; x++) {
        for (lv_coord_t y = 10; y < 26 && !white; y++) white = pixel(x, y) == 0xFFFFFFu;
    }
    EXPECT_TRUE(white);
}

} // namespace
