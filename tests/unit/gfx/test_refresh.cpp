// What is redrawn and flushed, and when: strips, full refresh, joined dirty areas, the refresh timer,
// screens, and software rotation of the flushed pictures.
#include <algorithm>
#include <memory>

#include "gfx_fixture.h"

namespace {

using Areas = std::vector<std::string>;
const Areas kWholeScreenIn40Rows = {"(0,0)-(319,39)",    "(0,40)-(319,79)",   "(0,80)-(319,119)",
                                    "(0,120)-(319,159)", "(0,160)-(319,199)", "(0,200)-(319,239)"};

class Strips : public GfxFixture {
  public:
    Strips() : GfxFixture({320, 240, 40, false}) {}
};

TEST_F(Strips, OnlyWhatChangedIsRedrawnAndOnlyWhenItChanged) {
    // The first handler call draws everything; laying out invalidates once more, so the refresh timer
    // wants to run 30 ms later, then sleeps.
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_obj_set_pos(label, 10, 100);
    EXPECT_EQ(lv_timer_handler(), 30u);
    EXPECT_EQ(flushed_areas(), kWholeScreenIn40Rows);
    gfx_virtual_time_advance(30);
    EXPECT_EQ(lv_timer_handler(), LV_NO_TIMER_READY);

    // A label's box grows by its extra draw size (a quarter line) and LVGL's 5 pixels.
    const lv_coord_t w = lv_txt_get_width("World", 5, LV_FONT_DEFAULT, 0, LV_TEXT_FLAG_NONE);
    const Areas label_area = {area_str({1, 91, (lv_coord_t)(10 + w - 1 + 9), 124})};
    const struct {
        const char* name;
        void (*change)(lv_obj_t*);
        Areas flushed;
    } steps[] = {
        {"nothing", [](lv_obj_t*) {}, {}},
        {"new text", [](lv_obj_t* l) { lv_label_set_text(l, "World"); }, label_area},
        {"the same text again", [](lv_obj_t* l) { lv_label_set_text(l, "World"); }, label_area},
        {"hidden", [](lv_obj_t* l) { lv_obj_add_flag(l, LV_OBJ_FLAG_HIDDEN); }, label_area},
        {"changed while hidden", [](lv_obj_t* l) { lv_label_set_text(l, "Text"); }, {}},
        {"the screen", [](lv_obj_t*) { lv_obj_invalidate(lv_scr_act()); }, kWholeScreenIn40Rows},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        clear_flushes();
        s.change(label);
        run_for(500);
        EXPECT_EQ(flushed_areas(), s.flushed);
    }
}

class Display : public GfxFixture {};

TEST_F(Display, DirtyAreasJoinOnlyWhenTheUnionIsSmaller) {
    const struct {
        const char* name;
        std::vector<lv_area_t> dirty;
        Areas flushed;
    } cases[] = {
        {"overlapping", {{0, 0, 9, 9}, {5, 0, 14, 9}}, {"(0,0)-(14,9)"}},
        {"touching", {{0, 0, 9, 9}, {10, 0, 19, 9}}, {"(0,0)-(9,9)", "(10,0)-(19,9)"}},
        {"diagonal: union larger", {{0, 0, 9, 9}, {9, 9, 18, 18}}, {"(0,0)-(9,9)", "(9,9)-(18,18)"}},
        {"inside another", {{0, 0, 99, 99}, {10, 10, 20, 20}}, {"(0,0)-(99,99)"}},
        {"cut to the screen", {{300, 230, 400, 300}, {-5, -5, 3, 3}}, {"(300,230)-(319,239)", "(0,0)-(3,3)"}},
        {"more than 32 areas", std::vector<lv_area_t>(33), {"(0,0)-(319,239)"}},
    };
    run_for(50);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clear_flushes();
        for (size_t i = 0; i < c.dirty.size(); i++) {
            lv_area_t a = c.dirty[i];
            if (c.dirty.size() > 2) a = {(lv_coord_t)(9 * i), 0, (lv_coord_t)(9 * i + 1), 1}; // apart
            _lv_inv_area(disp, &a);
        }
        refresh();
        EXPECT_EQ(flushed_areas(), c.flushed);
    }
}

TEST_F(Display, ScreensLoadAtOnceAndADeletedActiveScreenDrawsNothing) {
    lv_obj_t* first = lv_scr_act();
    lv_obj_t* second = lv_obj_create(nullptr);
    lv_obj_set_style_bg_color(second, lv_color_hex(0x0000FF), 0);
    lv_scr_load(second);
    EXPECT_EQ(lv_scr_act(), second);
    lv_scr_load(first);
    run_for(50);
    clear_flushes();
    lv_scr_load(first); // already active: nothing happens
    run_for(50);
    EXPECT_TRUE(flushed_areas().empty());

    StdoutLog log;
    lv_obj_del(first);
    EXPECT_EQ(log.count("the active screen was deleted"), 1u);
    lv_obj_invalidate(lv_layer_top());
    refresh();
    EXPECT_EQ(log.count("there is no active screen"), 1u);
    EXPECT_TRUE(flushed_areas().empty());
    lv_scr_load(second);
    run_for(50);
    EXPECT_EQ(pixel(0, 0), 0x0000FFu);
}

class FullRefresh : public GfxFixture {
  public:
    FullRefresh() : GfxFixture({320, 240, 0, true}) {}
};

TEST_F(FullRefresh, EachChangeFlushesTheWholeScreenOnce) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    run_for(100);
    clear_flushes();
    run_for(300);
    EXPECT_TRUE(flushed_areas().empty());
    lv_label_set_text(label, "x");
    run_for(100);
    EXPECT_EQ(flushed_areas(), Areas{"(0,0)-(319,239)"});
}

// A 320 x 240 panel with software rotation that copies every flush into a frame of its own size.
struct Panel {
    lv_disp_drv_t drv{};
    lv_disp_draw_buf_t draw_buf{};
    std::vector<lv_color_t> buf1, buf2, frame;
    std::vector<lv_area_t> areas;
    std::vector<bool> last; // lv_disp_flush_is_last() for each flush

    Panel(lv_coord_t hor, lv_coord_t ver, lv_disp_rot_t rot, uint32_t buf_px, bool two_bufs,
          bool full = false)
        : buf1(buf_px), buf2(two_bufs ? buf_px : 0), frame((size_t)hor * ver) {
        lv_disp_draw_buf_init(&draw_buf, buf1.data(), two_bufs ? buf2.data() : nullptr, buf_px);
        lv_disp_drv_init(&drv);
        drv.hor_res = hor, drv.ver_res = ver, drv.draw_buf = &draw_buf, drv.user_data = this;
        drv.sw_rotate = 1, drv.rotated = rot, drv.full_refresh = full;
        drv.flush_cb = [](lv_disp_drv_t* d, const lv_area_t* a, lv_color_t* px) {
            Panel* p = static_cast<Panel*>(d->user_data);
            p->areas.push_back(*a);
            p->last.push_back(lv_disp_flush_is_last(d));
            for (int32_t y = a->y1; y <= a->y2; y++)
                for (int32_t x = a->x1; x <= a->x2; x++, px++) {
                    const int32_t fx = x - d->offset_x, fy = y - d->offset_y;
                    if (fx >= 0 && fy >= 0 && fx < d->hor_res && fy < d->ver_res)
                        p->frame[(size_t)(fy * d->hor_res + fx)] = *px;
                    else
                        ADD_FAILURE() << "outside the panel: " << area_str(*a);
                }
            lv_disp_flush_ready(d);
        };
        lv_disp_drv_register(&drv);
    }
    Areas flushes() const {
        Areas out;
        for (const lv_area_t& a : areas) out.push_back(area_str(a));
        return out;
    }
    // The frame turned back by hand: a logical pixel (x, y) lies on the panel at 90: (y, ph-1-x),
    // 180: (pw-1-x, ph-1-y), 270: (pw-1-y, x).
    std::vector<uint32_t> logical() const {
        const bool quarter = drv.rotated % 2 == 1;
        const int32_t pw = drv.hor_res, ph = drv.ver_res, lw = quarter ? ph : pw, lh = quarter ? pw : ph;
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < lh; y++) {
            for (int32_t x = 0; x < lw; x++) {
                int32_t px = x, py = y;
                if (drv.rotated == LV_DISP_ROT_90) px = y, py = ph - 1 - x;
                if (drv.rotated == LV_DISP_ROT_180) px = pw - 1 - x, py = ph - 1 - y;
                if (drv.rotated == LV_DISP_ROT_270) px = pw - 1 - y, py = x;
                out.push_back(frame[(size_t)(py * pw + px)].full & 0xFFFFFF);
            }
        }
        return out;
    }
};

class Rotation : public ::testing::Test {
  protected:
    void TearDown() override { stop(); }
    Panel* start(lv_coord_t hor, lv_coord_t ver, lv_disp_rot_t rot, uint32_t buf_px = 0,
                 bool two_bufs = false, bool full = false) {
        stop();
        lv_init();
        gfx_virtual_time_enable(0);
        panel_ =
            std::make_unique<Panel>(hor, ver, rot, buf_px ? buf_px : (uint32_t)(hor * ver), two_bufs, full);
        return panel_.get();
    }
    void stop() {
        gfx_deinit();
        gfx_virtual_time_disable();
        panel_.reset(); // the runtime reads the driver until it is torn down
    }

  private:
    std::unique_ptr<Panel> panel_;
};

// Asymmetric content laid out from the resolution the screen reports: corners, a themed card with
// rounded anti-aliased edges, text; then a label's text and a block's place change.
std::vector<uint32_t> draw_scene(Panel* p, bool changed) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x203040), 0);
    lv_obj_t* block = gfx_test_rect(scr, 5, 10, 30, 50, 0xE03020);
    lv_obj_align(gfx_test_rect(scr, 0, 0, 40, 20, 0x20C040), LV_ALIGN_BOTTOM_RIGHT, -3, -7);
    lv_obj_set_size(lv_obj_create(scr), 100, 60);
    lv_obj_center(lv_obj_get_child(scr, -1));
    lv_obj_t* label = lv_label_create(scr);
    lv_label_set_text(label, "Turn me");
    lv_obj_set_style_text_color(label, lv_color_white(), 0);
    lv_obj_set_pos(label, 20, 80);
    lv_timer_handler();
    if (changed) {
        p->areas.clear();
        p->last.clear();
        lv_label_set_text(label, "Turned!");
        lv_obj_set_y(block, 14);
        gfx_run_for(100, 10);
    }
    return p->logical();
}

TEST_F(Rotation, TurnedPanelsShowTheSceneTurnedInChangedPartsOnly) {
    for (lv_disp_rot_t rot : {LV_DISP_ROT_NONE, LV_DISP_ROT_90, LV_DISP_ROT_180, LV_DISP_ROT_270}) {
        const bool quarter = rot % 2 == 1;
        std::vector<uint32_t> want[2];
        for (int changed = 0; changed < 2; changed++)
            want[changed] =
                draw_scene(start(quarter ? 240 : 320, quarter ? 320 : 240, LV_DISP_ROT_NONE), changed);
        ASSERT_NE(want[0], want[1]);
        const struct {
            uint32_t buf_px; // 0: the whole screen
            bool two_bufs;
        } bufs[] = {{0, false}, {0, true}, {240 * 40, false}, {1777, true}};
        for (const auto& b : bufs) {
            SCOPED_TRACE(testing::Message()
                         << "rotation " << 90 * rot << ", " << b.buf_px << " px x " << 1 + b.two_bufs);
            for (int changed = 0; changed < 2; changed++) {
                Panel* p = start(320, 240, rot, b.buf_px, b.two_bufs);
                EXPECT_EQ(lv_disp_get_hor_res(nullptr), quarter ? 240 : 320);
                EXPECT_TRUE(draw_scene(p, changed) == want[changed]);
                for (const lv_area_t& a : p->areas)
                    EXPECT_TRUE(!changed || lv_area_get_size(&a) < 320u * 240u);
                // Only the very last chunk of the refresh is marked last.
                EXPECT_EQ(std::count(p->last.begin(), p->last.end(), true), 1);
                EXPECT_TRUE(!p->last.empty() && p->last.back());
            }
        }
    }
}

TEST_F(Rotation, AQuarterTurnFlushesASquareFirstAndATurnedFullRefreshIsSkipped) {
    // The square is turned in place; the 80 columns left go 10 at a time through a 10240-byte buffer.
    Panel* p = start(320, 240, LV_DISP_ROT_90);
    lv_timer_handler();
    EXPECT_EQ(p->flushes(), (Areas{"(0,0)-(239,239)", "(240,0)-(249,239)", "(250,0)-(259,239)",
                                   "(260,0)-(269,239)", "(270,0)-(279,239)", "(280,0)-(289,239)",
                                   "(290,0)-(299,239)", "(300,0)-(309,239)", "(310,0)-(319,239)"}));
    // LVGL hangs at the refresh after one it could not turn; ours logs each and goes on.
    StdoutLog log;
    p = start(320, 240, LV_DISP_ROT_90, 0, false, true);
    for (int refresh = 0; refresh < 2; refresh++) {
        lv_obj_invalidate(lv_scr_act());
        lv_refr_now(nullptr);
    }
    EXPECT_TRUE(p->areas.empty());
    EXPECT_EQ(log.count("[Error]"), 2u);
    EXPECT_EQ(log.count("cannot rotate a full refreshed display!"), 2u);
}

} // namespace
