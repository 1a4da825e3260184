// Object sizes and positions as LVGL 8.3 computes them: alignment inside padded and bordered parents,
// content sizes, percentages, the lazy layout, the object tree and style look-up.
#include "gfx_fixture.h"

namespace {

class Layout : public GfxFixture {
  protected:
    // A theme card: 13 px padding and a 2 px border on a 320 x 240 display.
    static lv_obj_t* card(lv_coord_t w, lv_coord_t h) {
        lv_obj_t* c = lv_obj_create(lv_scr_act());
        lv_obj_set_size(c, w, h);
        return c;
    }
    static lv_area_t coords(lv_obj_t* o) {
        lv_obj_update_layout(o);
        lv_area_t a;
        lv_obj_get_coords(o, &a);
        return a;
    }
};

TEST_F(Layout, AlignsInsidePaddingAndBorderWithSeparatelyTruncatedHalves) {
    const struct {
        const char* name;
        lv_coord_t parent_w;
        lv_align_t align;
        lv_coord_t x, y, w;
        lv_coord_t rel_x, rel_y; // lv_obj_get_x/y: from the content area's corner
    } cases[] = {
        // Content 171 x 71 from (15,15): 171/2 - 50/2 = 60, not (171 - 50) / 2 = 60.5 rounded.
        {"center", 201, LV_ALIGN_CENTER, 0, 0, 50, 60, 20},
        {"center, odd child in an even parent", 200, LV_ALIGN_CENTER, 0, 0, 51, 60, 20},
        {"right mid", 201, LV_ALIGN_RIGHT_MID, -4, 0, 50, 117, 20},
        {"default", 201, LV_ALIGN_DEFAULT, 7, 9, 50, 7, 9},
        {"bottom right", 201, LV_ALIGN_BOTTOM_RIGHT, -1, -2, 50, 120, 38},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lv_obj_t* parent = card(c.parent_w, 101);
        lv_obj_t* child = lv_obj_create(parent);
        lv_obj_set_size(child, c.w, 31);
        lv_obj_align(child, c.align, c.x, c.y);
        const lv_area_t a = coords(child);
        EXPECT_EQ(lv_obj_get_x(child), c.rel_x);
        EXPECT_EQ(lv_obj_get_y(child), c.rel_y);
        EXPECT_EQ(area_str(a),
                  area_str({(lv_coord_t)(15 + c.rel_x), (lv_coord_t)(15 + c.rel_y),
                            (lv_coord_t)(15 + c.rel_x + c.w - 1), (lv_coord_t)(15 + c.rel_y + 30)}));
        EXPECT_EQ(lv_obj_get_x_aligned(child), c.x); // the stored offset, not the position
        lv_obj_del(parent);
    }

    // A label is as large as its text (68 x 32 here); centred: 15 + 171/2 - 68/2, 15 + 71/2 - 32/2.
    lv_obj_t* l = lv_label_create(card(201, 101));
    lv_label_set_text(l, "Charging\n100%");
    lv_obj_center(l);
    EXPECT_EQ(area_str(coords(l)), "(66,34)-(133,65)");
}

TEST_F(Layout, ContentSizeCountsVisibleChildrenPaddingAndBorder) {
    const struct {
        const char* name;
        lv_align_t align;
        lv_coord_t x, y;
        lv_coord_t w, h; // of the content-sized box: 10 padding and 3 border each side
    } cases[] = {
        {"top left", LV_ALIGN_DEFAULT, 5, 7, 13 + 5 + 40 + 13, 13 + 7 + 20 + 13},
        // Anchored elsewhere a child counts by its size alone, and only while its y offset is 0.
        {"centred", LV_ALIGN_CENTER, 20, 0, 13 + 40 + 13, 13 + 20 + 13},
        {"centred, moved down", LV_ALIGN_CENTER, 20, 10, 26, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lv_obj_t* box = lv_obj_create(lv_scr_act());
        lv_obj_remove_style_all(box);
        lv_obj_set_style_pad_all(box, 10, 0);
        lv_obj_set_style_border_width(box, 3, 0);
        lv_obj_set_size(box, LV_SIZE_CONTENT, LV_SIZE_CONTENT);
        lv_obj_t* child = lv_obj_create(box);
        lv_obj_set_size(child, 40, 20);
        lv_obj_align(child, c.align, c.x, c.y);
        lv_obj_t* hidden = lv_obj_create(box);
        lv_obj_set_size(hidden, 200, 200);
        lv_obj_add_flag(hidden, LV_OBJ_FLAG_HIDDEN);
        const lv_area_t a = coords(box);
        EXPECT_EQ(lv_area_get_width(&a), c.w);
        EXPECT_EQ(lv_area_get_height(&a), c.h);

        // A child that grows grows its parent at the next layout.
        lv_obj_set_width(child, 60);
        EXPECT_EQ(lv_obj_get_width(box), c.w);
        lv_obj_update_layout(box);
        EXPECT_EQ(lv_obj_get_width(box), c.w + (c.align == LV_ALIGN_DEFAULT || c.y == 0 ? 20 : 0));
        lv_obj_del(box);
    }
}

TEST_F(Layout, SizesPercentagesAndTheLazyLayout) {
    lv_obj_t* c = lv_obj_create(lv_scr_act());
    EXPECT_EQ(lv_obj_get_height(c), 0); // an empty box until laid out
    lv_obj_set_content_height(c, 50);
    lv_obj_set_pos(c, 10, 20);
    EXPECT_EQ(lv_obj_get_height(c), 0);
    EXPECT_EQ(lv_obj_get_x(c), 0);
    run_for(40);                                        // the refresh timer lays out
    EXPECT_EQ(area_str(coords(c)), "(10,20)-(139,99)"); // 130 wide, 50 + 2 * 13 + 2 * 2 high
    EXPECT_EQ(lv_obj_get_content_width(c), 100);

    // Children follow their parent; percentages are of the parent's content area.
    lv_obj_t* inner = lv_obj_create(c);
    lv_obj_set_size(inner, LV_PCT(50), LV_PCT(100));
    lv_obj_set_x(inner, LV_PCT(10));
    lv_obj_set_pos(c, 30, 40);
    EXPECT_EQ(area_str(coords(inner)), "(55,55)-(104,104)");
    lv_obj_set_width(c, 230);
    EXPECT_EQ(area_str(coords(inner)), "(65,55)-(164,104)");

    // lv_obj_set_align keeps the offsets, lv_obj_set_pos keeps the anchor.
    lv_obj_align(c, LV_ALIGN_BOTTOM_RIGHT, -6, -8);
    EXPECT_EQ(area_str(coords(c)), "(84,152)-(313,231)");
    lv_obj_set_align(c, LV_ALIGN_TOP_LEFT);
    EXPECT_EQ(area_str(coords(c)), "(-6,-8)-(223,71)");
    lv_obj_set_align(c, LV_ALIGN_CENTER);
    lv_obj_set_pos(c, 0, 0);
    EXPECT_EQ(area_str(coords(c)), "(45,80)-(274,159)");
}

} // namespace
