// Object sizes and positions: alignment inside padded parents, content sizes, percentages and the
// lazy layout that only runs in lv_obj_update_layout / the refresh timer.
#include "gfx_fixture.h"

namespace {

class Layout : public GfxFixture {
  protected:
    // A theme card (13 px padding, 2 px border on 320 x 240) at the screen's corner.
    lv_obj_t* card(lv_coord_t w, lv_coord_t h) {
        lv_obj_t* c = lv_obj_create(lv_scr_act());
        lv_obj_set_size(c, w, h);
        return c;
    }
};

TEST_F(Layout, AlignsChildrenInsidePaddingAndBorderWithSeparatelyTruncatedHalves) {
    struct Case {
        const char* name;
        lv_coord_t card_w, card_h;
        lv_align_t align;
        lv_coord_t x, y, w, h;
        lv_coord_t rel_x, rel_y; // lv_obj_get_x/y
        lv_coord_t abs_x1, abs_y1;
    };
    const Case cases[] = {
        {"center", 201, 101, LV_ALIGN_CENTER, 0, 0, 50, 31, 60, 20, 75, 35},
        {"center with offset", 201, 101, LV_ALIGN_CENTER, 5, -3, 50, 31, 65, 17, 80, 32},
        {"right mid", 201, 101, LV_ALIGN_RIGHT_MID, -4, 0, 50, 31, 117, 20, 132, 35},
        {"even parent, odd child", 200, 101, LV_ALIGN_CENTER, 0, 0, 51, 31, 60, 20, 75, 35},
        {"default", 201, 101, LV_ALIGN_DEFAULT, 7, 9, 50, 31, 7, 9, 22, 24},
        {"top mid", 201, 101, LV_ALIGN_TOP_MID, 0, 0, 50, 31, 60, 0, 75, 15},
        {"top right", 201, 101, LV_ALIGN_TOP_RIGHT, 0, 0, 50, 31, 121, 0, 136, 15},
        {"left mid", 201, 101, LV_ALIGN_LEFT_MID, 0, 0, 50, 31, 0, 20, 15, 35},
        {"bottom left", 201, 101, LV_ALIGN_BOTTOM_LEFT, 0, 0, 50, 31, 0, 40, 15, 55},
        {"bottom mid", 201, 101, LV_ALIGN_BOTTOM_MID, 0, 0, 50, 31, 60, 40, 75, 55},
        {"bottom right", 201, 101, LV_ALIGN_BOTTOM_RIGHT, -1, -2, 50, 31, 120, 38, 135, 53},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lv_obj_t* parent = card(c.card_w, c.card_h);
        lv_obj_t* child = lv_obj_create(parent);
        lv_obj_set_size(child, c.w, c.h);
        lv_obj_align(child, c.align, c.x, c.y);
        lv_obj_update_layout(child);

        EXPECT_EQ(lv_obj_get_x(child), c.rel_x);
        EXPECT_EQ(lv_obj_get_y(child), c.rel_y);
        lv_area_t a;
        lv_obj_get_coords(child, &a);
        EXPECT_EQ(a.x1, c.abs_x1);
        EXPECT_EQ(a.y1, c.abs_y1);
        EXPECT_EQ(lv_area_get_width(&a), c.w);
        EXPECT_EQ(lv_area_get_height(&a), c.h);
        lv_obj_del(parent);
    }
}

TEST_F(Layout, RightMidChildEndsFourPixelsBeforeTheContentEdge) {
    lv_obj_t* parent = card(201, 101);
    lv_obj_t* child = lv_obj_create(parent);
    lv_obj_set_size(child, 50, 31);
    lv_obj_align(child, LV_ALIGN_RIGHT_MID, -4, 0);
    lv_obj_update_layout(child);
    lv_area_t a;
    lv_obj_get_coords(child, &a);
    EXPECT_EQ(a.x2, 181);
    EXPECT_EQ(lv_obj_get_content_width(parent), 171);
    EXPECT_EQ(lv_obj_get_content_height(parent), 71);
}

TEST_F(Layout, DefaultSizesOfScreensCardsAndNestedParents) {
    lv_obj_t* scr = lv_obj_create(nullptr);
    EXPECT_EQ(lv_obj_get_width(scr), 320);
    EXPECT_EQ(lv_obj_get_height(scr), 240);
    EXPECT_EQ(lv_obj_get_x(scr), 0);

    lv_obj_t* c = lv_obj_create(lv_scr_act());
    lv_obj_update_layout(c);
    EXPECT_EQ(lv_obj_get_width(c), 130);
    EXPECT_EQ(lv_obj_get_height(c), 130);
    EXPECT_EQ(lv_obj_get_content_width(c), 100);
    EXPECT_EQ(lv_obj_get_content_height(c), 100);

    // Grandchildren follow when the middle object moves.
    lv_obj_t* inner = lv_obj_create(c);
    lv_obj_set_pos(c, 30, 40);
    lv_obj_update_layout(c);
    lv_area_t a;
    lv_obj_get_coords(inner, &a);
    EXPECT_EQ(a.x1, 30 + 15);
    EXPECT_EQ(a.y1, 40 + 15);
}

TEST_F(Layout, GettersKeepOldValuesUntilTheLayoutRuns) {
    lv_obj_t* c = lv_obj_create(lv_scr_act());
    EXPECT_EQ(lv_obj_get_height(c), 0); // a new object is an empty box until laid out
    lv_obj_set_content_height(c, 50);
    EXPECT_EQ(lv_obj_get_height(c), 0);
    lv_obj_update_layout(c);
    EXPECT_EQ(lv_obj_get_height(c), 80); // 50 + 2 * 13 padding + 2 * 2 border
    EXPECT_EQ(lv_obj_get_content_height(c), 50);

    lv_obj_set_pos(c, 10, 20);
    EXPECT_EQ(lv_obj_get_x(c), 0);
    EXPECT_EQ(lv_obj_get_x_aligned(c), 10);
    EXPECT_EQ(lv_obj_get_y_aligned(c), 20);

    // The refresh timer runs the layout too.
    run_for(40);
    EXPECT_EQ(lv_obj_get_x(c), 10);
    EXPECT_EQ(lv_obj_get_y(c), 20);
    EXPECT_EQ(lv_obj_get_x2(c), 10 + 130);
}

TEST_F(Layout, AlignedOffsetsAreTheStoredValuesNotThePosition) {
    lv_obj_t* c = lv_obj_create(lv_scr_act());
    lv_obj_set_size(c, 100, 50);
    lv_obj_align(c, LV_ALIGN_BOTTOM_RIGHT, -6, -8);
    lv_obj_update_layout(c);
    EXPECT_EQ(lv_obj_get_x_aligned(c), -6);
    EXPECT_EQ(lv_obj_get_y_aligned(c), -8);
    EXPECT_EQ(lv_obj_get_x(c), 320 - 100 - 6);
    EXPECT_EQ(lv_obj_get_y(c), 240 - 50 - 8);

    // set_align keeps the offsets, set_pos keeps the anchor.
    lv_obj_set_align(c, LV_ALIGN_TOP_LEFT);
    lv_obj_update_layout(c);
    EXPECT_EQ(lv_obj_get_x(c), -6);
    lv_obj_set_align(c, LV_ALIGN_CENTER);
    lv_obj_set_pos(c, 0, 0);
    lv_obj_update_layout(c);
    EXPECT_EQ(lv_obj_get_x(c), 160 - 50);
    EXPECT_EQ(lv_obj_get_y(c), 120 - 25);
}

TEST_F(Layout, ContentSizeCountsVisibleChildrenAndPadding) {
    lv_obj_t* box = lv_obj_create(lv_scr_act());
    lv_obj_remove_style_all(box);
    lv_obj_set_style_pad_all(box, 10, 0);
    lv_obj_set_style_border_width(box, 3, 0);
    lv_obj_set_size(box, LV_SIZE_CONTENT, LV_SIZE_CONTENT);

    lv_obj_t* a = lv_obj_create(box);
    lv_obj_set_size(a, 40, 20);
    lv_obj_set_pos(a, 5, 7);
    lv_obj_t* hidden = lv_obj_create(box);
    lv_obj_set_size(hidden, 200, 200);
    lv_obj_add_flag(hidden, LV_OBJ_FLAG_HIDDEN);
    lv_obj_update_layout(box);

    EXPECT_EQ(lv_obj_get_width(box), 13 + 5 + 40 + 13);
    EXPECT_EQ(lv_obj_get_height(box), 13 + 7 + 20 + 13);

    // Growing a child grows the parent at the next layout.
    lv_obj_set_width(a, 60);
    EXPECT_EQ(lv_obj_get_width(box), 71);
    lv_obj_update_layout(box);
    EXPECT_EQ(lv_obj_get_width(box), 91);

    // An empty content-sized object is just its frame.
    lv_obj_t* empty = lv_obj_create(lv_scr_act());
    lv_obj_set_size(empty, LV_SIZE_CONTENT, LV_SIZE_CONTENT);
    lv_obj_update_layout(empty);
    EXPECT_EQ(lv_obj_get_width(empty), 2 * 13 + 2 * 2);
}

TEST_F(Layout, ContentSizeCountsACentredChildOnlyWithoutAVerticalOffset) {
    // LVGL 8.3 counts a child anchored away from the top left by its size alone, and only while its
    // y offset is 0 (for the width as well as for the height).
    const struct {
        lv_coord_t x, y;
        lv_coord_t w, h; // of the content-sized card (frame 15 on each side)
    } cases[] = {{0, 0, 70, 50}, {20, 0, 70, 50}, {0, 10, 30, 30}, {20, 10, 30, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        lv_obj_t* card = lv_obj_create(lv_scr_act());
        lv_obj_set_size(card, LV_SIZE_CONTENT, LV_SIZE_CONTENT);
        lv_obj_t* child = lv_obj_create(card);
        lv_obj_set_size(child, 40, 20);
        lv_obj_align(child, LV_ALIGN_CENTER, c.x, c.y);
        lv_obj_update_layout(card);
        EXPECT_EQ(lv_obj_get_width(card), c.w);
        EXPECT_EQ(lv_obj_get_height(card), c.h);
        lv_obj_del(card);
    }
}

TEST_F(Layout, PercentSizesUseTheParentContentArea) {
    lv_obj_t* parent = card(201, 101);
    lv_obj_t* child = lv_obj_create(parent);
    lv_obj_set_size(child, LV_PCT(50), LV_PCT(100));
    lv_obj_set_x(child, LV_PCT(10));
    lv_obj_update_layout(child);
    EXPECT_EQ(lv_obj_get_width(child), 85);
    EXPECT_EQ(lv_obj_get_height(child), 71);
    EXPECT_EQ(lv_obj_get_x(child), 17);

    // Resizing the parent re-lays out the child.
    lv_obj_set_width(parent, 131);
    lv_obj_update_layout(child);
    EXPECT_EQ(lv_obj_get_width(child), 50);
}

TEST_F(Layout, LabelsAreAsLargeAsTheirText) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_label_set_text(label, "Charging\n100%");
    lv_obj_update_layout(label);
    lv_point_t size;
    lv_txt_get_size(&size, "Charging\n100%", LV_FONT_DEFAULT, 0, 0, LV_COORD_MAX, LV_TEXT_FLAG_NONE);
    EXPECT_EQ(lv_obj_get_width(label), size.x);
    EXPECT_EQ(lv_obj_get_height(label), size.y);
    EXPECT_EQ(lv_obj_get_height(label), 2 * lv_font_get_line_height(LV_FONT_DEFAULT));

    // A label centred in a card sits at the rounded-down centre of the content area.
    lv_obj_t* parent = card(201, 101);
    lv_obj_t* l2 = lv_label_create(parent);
    lv_label_set_text(l2, "Charging\n100%");
    lv_obj_center(l2);
    lv_obj_update_layout(l2);
    EXPECT_EQ(lv_obj_get_x(l2), 171 / 2 - size.x / 2);
    EXPECT_EQ(lv_obj_get_y(l2), 71 / 2 - size.y / 2);
}

TEST_F(Layout, TreeOrderAndReordering) {
    lv_obj_t* parent = lv_obj_create(lv_scr_act());
    lv_obj_t* a = lv_obj_create(parent);
    lv_obj_t* b = lv_label_create(parent);
    lv_obj_t* c = lv_img_create(parent);
    EXPECT_EQ(lv_obj_get_child_cnt(parent), 3u);
    EXPECT_EQ(lv_obj_get_child(parent, 0), a);
    EXPECT_EQ(lv_obj_get_child(parent, -1), c);
    EXPECT_EQ(lv_obj_get_child(parent, 3), nullptr);
    EXPECT_EQ(lv_obj_get_index(b), 1u);
    EXPECT_EQ(lv_obj_get_screen(c), lv_scr_act());
    EXPECT_EQ(lv_obj_get_parent(c), parent);

    lv_obj_move_foreground(a);
    EXPECT_EQ(lv_obj_get_child(parent, -1), a);
    lv_obj_move_background(c);
    EXPECT_EQ(lv_obj_get_child(parent, 0), c);

    lv_obj_del(b);
    EXPECT_EQ(lv_obj_get_child_cnt(parent), 2u);
    lv_obj_clean(parent);
    EXPECT_EQ(lv_obj_get_child_cnt(parent), 0u);
}

TEST_F(Layout, DefaultFlagsStateAndUserData) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_t* obj = lv_obj_create(scr);
    lv_obj_t* label = lv_label_create(scr);
    lv_obj_t* img = lv_img_create(scr);

    EXPECT_TRUE(
        lv_obj_has_flag(obj, LV_OBJ_FLAG_CLICKABLE | LV_OBJ_FLAG_SCROLLABLE | LV_OBJ_FLAG_PRESS_LOCK));
    EXPECT_FALSE(lv_obj_has_flag(scr, LV_OBJ_FLAG_PRESS_LOCK));
    EXPECT_TRUE(lv_obj_has_flag(scr, LV_OBJ_FLAG_SCROLLABLE));
    EXPECT_FALSE(lv_obj_has_flag(label, LV_OBJ_FLAG_CLICKABLE));
    EXPECT_FALSE(lv_obj_has_flag(img, LV_OBJ_FLAG_CLICKABLE));
    EXPECT_TRUE(lv_obj_has_flag(img, LV_OBJ_FLAG_ADV_HITTEST));
    EXPECT_TRUE(lv_obj_has_flag_any(label, LV_OBJ_FLAG_HIDDEN | LV_OBJ_FLAG_SCROLLABLE));

    lv_obj_add_state(obj, LV_STATE_CHECKED | LV_STATE_DISABLED);
    lv_obj_clear_state(obj, LV_STATE_CHECKED);
    EXPECT_EQ(lv_obj_get_state(obj), LV_STATE_DISABLED);

    int token = 0;
    lv_obj_set_user_data(obj, &token);
    EXPECT_EQ(lv_obj_get_user_data(obj), &token);

    EXPECT_FALSE(lv_obj_is_visible(obj)); // still an empty box
    lv_obj_update_layout(obj);
    EXPECT_TRUE(lv_obj_is_visible(obj));
    lv_obj_add_flag(scr, LV_OBJ_FLAG_HIDDEN);
    EXPECT_FALSE(lv_obj_is_visible(obj));
}

TEST_F(Layout, StateStylesApplyOnlyInTheirState) {
    lv_obj_t* obj = lv_obj_create(lv_scr_act());
    lv_obj_set_style_bg_color(obj, lv_color_hex(0x112233), 0);
    lv_obj_set_style_bg_color(obj, lv_color_hex(0x445566), LV_STATE_CHECKED);
    EXPECT_EQ(lv_obj_get_style_bg_color(obj, 0).full & 0xFFFFFF, 0x112233u);
    lv_obj_add_state(obj, LV_STATE_CHECKED | LV_STATE_FOCUSED);
    EXPECT_EQ(lv_obj_get_style_bg_color(obj, 0).full & 0xFFFFFF, 0x445566u);

    // Inherited text properties come from the nearest ancestor that sets them.
    lv_obj_t* label = lv_label_create(obj);
    lv_obj_set_style_text_color(lv_scr_act(), lv_color_hex(0x00FF00), 0);
    lv_obj_set_style_text_align(lv_scr_act(), LV_TEXT_ALIGN_CENTER, 0);
    EXPECT_EQ(lv_obj_get_style_text_color(label, 0).full & 0xFFFFFF, 0x212121u); // the card's colour
    EXPECT_EQ(lv_obj_get_style_text_align(label, 0), LV_TEXT_ALIGN_CENTER);
    lv_obj_set_style_text_color(obj, lv_color_hex(0x0000FF), 0);
    EXPECT_EQ(lv_obj_get_style_text_color(label, 0).full & 0xFFFFFF, 0x0000FFu);
    // Non-inherited properties fall back to the built-in defaults.
    EXPECT_EQ(lv_obj_get_style_bg_opa(label, 0), LV_OPA_TRANSP);
    EXPECT_EQ(lv_obj_get_style_border_side(label, 0), LV_BORDER_SIDE_FULL);
    EXPECT_EQ(lv_obj_get_style_opa(label, 0), LV_OPA_COVER);
}

} // namespace
