// Software rotation: the resolution the screens see, the areas the driver receives and that the
// panel ends up showing the scene turned by 90, 180 or 270 degrees.
#include <memory>
#include <vector>

#include "gfx_fixture.h"

namespace {

// A panel driver that copies every flush into a frame of the panel's own size.
struct Panel {
    lv_disp_drv_t drv{};
    lv_disp_draw_buf_t draw_buf{};
    std::vector<lv_color_t> buf1, buf2;
    std::vector<lv_color_t> frame;
    std::vector<lv_area_t> flushes;
    std::vector<bool> last; // lv_disp_flush_is_last() for each flush
    bool outside = false;   // a flush reached past the panel
    lv_disp_t* disp = nullptr;
};

void panel_flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* px) {
    Panel* p = static_cast<Panel*>(drv->user_data);
    p->flushes.push_back(*area);
    p->last.push_back(lv_disp_flush_is_last(drv));
    const int32_t w = lv_area_get_width(area);
    for (int32_t y = area->y1; y <= area->y2; y++) {
        for (int32_t x = area->x1; x <= area->x2; x++) {
            if (x < 0 || y < 0 || x >= drv->hor_res || y >= drv->ver_res) {
                p->outside = true;
                continue;
            }
            p->frame[(size_t)y * (size_t)drv->hor_res + (size_t)x] =
                px[(size_t)(y - area->y1) * (size_t)w + (size_t)(x - area->x1)];
        }
    }
    lv_disp_flush_ready(drv);
}

struct PanelConfig {
    lv_coord_t hor = 320, ver = 240; // the panel's own resolution
    lv_disp_rot_t rot = LV_DISP_ROT_NONE;
    uint32_t buf_px = 0; // 0: the whole screen
    bool two_bufs = false;
    bool full_refresh = false;
};

std::unique_ptr<Panel> make_panel(const PanelConfig& cfg) {
    auto p = std::make_unique<Panel>();
    const uint32_t px = cfg.buf_px != 0 ? cfg.buf_px : (uint32_t)cfg.hor * (uint32_t)cfg.ver;
    p->buf1.assign(px, lv_color_black());
    if (cfg.two_bufs) p->buf2.assign(px, lv_color_black());
    p->frame.assign((size_t)cfg.hor * (size_t)cfg.ver, lv_color_black());
    lv_disp_draw_buf_init(&p->draw_buf, p->buf1.data(), cfg.two_bufs ? p->buf2.data() : nullptr, px);
    lv_disp_drv_init(&p->drv);
    p->drv.hor_res = cfg.hor;
    p->drv.ver_res = cfg.ver;
    p->drv.draw_buf = &p->draw_buf;
    p->drv.flush_cb = panel_flush;
    p->drv.user_data = p.get();
    p->drv.sw_rotate = 1;
    p->drv.rotated = cfg.rot;
    p->drv.full_refresh = cfg.full_refresh ? 1 : 0;
    p->disp = lv_disp_drv_register(&p->drv);
    return p;
}

class Rotation : public ::testing::Test {
  protected:
    void SetUp() override {
        lv_init();
        gfx_virtual_time_enable(0);
    }
    void TearDown() override {
        gfx_deinit();
        gfx_virtual_time_disable();
        panels_.clear(); // the runtime reads its drivers until it is torn down
    }
    // A registered panel that lives until the runtime is torn down.
    Panel* open_panel(const PanelConfig& cfg) {
        panels_.push_back(make_panel(cfg));
        return panels_.back().get();
    }
    // Brings the runtime up again between two displays of one test.
    void restart() {
        TearDown();
        SetUp();
    }

  private:
    std::vector<std::unique_ptr<Panel>> panels_;
};

lv_obj_t* rect(lv_obj_t* parent, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h, uint32_t rgb) {
    lv_obj_t* o = lv_obj_create(parent);
    lv_obj_remove_style_all(o);
    lv_obj_set_style_bg_opa(o, LV_OPA_COVER, 0);
    lv_obj_set_style_bg_color(o, lv_color_hex(rgb), 0);
    lv_obj_set_pos(o, x, y);
    lv_obj_set_size(o, w, h);
    return o;
}

struct Scene {
    lv_obj_t* label;
    lv_obj_t* block;
};

// Asymmetric content laid out from the resolution the screen reports: corners, a themed card with
// rounded anti-aliased edges, text.
Scene build_scene() {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x203040), 0);
    Scene s{};
    s.block = rect(scr, 5, 10, 30, 50, 0xE03020);
    lv_obj_t* corner = rect(scr, 0, 0, 40, 20, 0x20C040);
    lv_obj_align(corner, LV_ALIGN_BOTTOM_RIGHT, -3, -7);
    lv_obj_t* card = lv_obj_create(scr);
    lv_obj_set_size(card, 100, 60);
    lv_obj_center(card);
    s.label = lv_label_create(scr);
    lv_label_set_text(s.label, "Turn me");
    lv_obj_set_style_text_color(s.label, lv_color_white(), 0);
    lv_obj_set_pos(s.label, 20, 80);
    return s;
}

// Changes a few small areas: the text, and the block moved down by a few rows.
void change_scene(const Scene& s) {
    lv_label_set_text(s.label, "Turned!");
    lv_obj_set_y(s.block, 14);
}

// The logical picture turned onto a panel of pw x ph, written independently of the runtime:
// a logical pixel (x, y) appears on the panel at
//   90: (y, ph-1-x)    180: (pw-1-x, ph-1-y)    270: (pw-1-y, x).
std::vector<lv_color_t> turn(const std::vector<lv_color_t>& logical, lv_coord_t lw, lv_coord_t lh,
                             lv_disp_rot_t rot) {
    const bool quarter = rot == LV_DISP_ROT_90 || rot == LV_DISP_ROT_270;
    const lv_coord_t pw = quarter ? lh : lw;
    const lv_coord_t ph = quarter ? lw : lh;
    std::vector<lv_color_t> out(logical.size());
    for (int32_t y = 0; y < lh; y++) {
        for (int32_t x = 0; x < lw; x++) {
            int32_t px = x, py = y;
            if (rot == LV_DISP_ROT_90) px = y, py = ph - 1 - x;
            if (rot == LV_DISP_ROT_180) px = pw - 1 - x, py = ph - 1 - y;
            if (rot == LV_DISP_ROT_270) px = pw - 1 - y, py = x;
            out[(size_t)py * (size_t)pw + (size_t)px] = logical[(size_t)y * (size_t)lw + (size_t)x];
        }
    }
    return out;
}

// Index of the first differing pixel, or -1.
long first_difference(const std::vector<lv_color_t>& a, const std::vector<lv_color_t>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); i++) {
        if ((a[i].full & 0xFFFFFF) != (b[i].full & 0xFFFFFF)) return (long)i;
    }
    return -1;
}

TEST_F(Rotation, ThePanelShowsTheSceneTurned) {
    const lv_coord_t hor = 320, ver = 240;
    const struct {
        lv_disp_rot_t rot;
        const char* name;
    } rots[] = {
        {LV_DISP_ROT_NONE, "0"}, {LV_DISP_ROT_90, "90"}, {LV_DISP_ROT_180, "180"}, {LV_DISP_ROT_270, "270"}};
    const struct {
        uint32_t buf_px; // 0: the whole screen
        bool two_bufs;
        const char* name;
    } bufs[] = {{0, false, "screen-sized buffer"},
                {0, true, "two screen-sized buffers"},
                {240 * 40, false, "9600 px"},
                {1777, true, "two buffers of 1777 px"}};

    for (const auto& r : rots) {
        const bool quarter = r.rot == LV_DISP_ROT_90 || r.rot == LV_DISP_ROT_270;
        const lv_coord_t lw = quarter ? ver : hor;
        const lv_coord_t lh = quarter ? hor : ver;

        // The reference: the same scene on an unrotated panel of the logical size.
        restart();
        Panel* ref = open_panel({lw, lh, LV_DISP_ROT_NONE, 0, false, false});
        Scene s = build_scene();
        lv_timer_handler();
        const std::vector<lv_color_t> want_first = turn(ref->frame, lw, lh, r.rot);
        change_scene(s);
        gfx_run_for(100, 10);
        const std::vector<lv_color_t> want_changed = turn(ref->frame, lw, lh, r.rot);
        ASSERT_NE(first_difference(want_first, want_changed), -1) << "the change shows";

        for (const auto& b : bufs) {
            SCOPED_TRACE(std::string("rotation ") + r.name + ", " + b.name);
            restart();
            Panel* p = open_panel({hor, ver, r.rot, b.buf_px, b.two_bufs, false});
            s = build_scene();
            lv_timer_handler();
            EXPECT_EQ(first_difference(p->frame, want_first), -1);

            p->flushes.clear();
            p->last.clear();
            change_scene(s);
            gfx_run_for(100, 10);
            EXPECT_EQ(first_difference(p->frame, want_changed), -1);
            ASSERT_FALSE(p->flushes.empty());
            for (const lv_area_t& a : p->flushes) {
                EXPECT_LT(lv_area_get_size(&a), (uint32_t)hor * ver)
                    << "only the changed parts: " << area_str(a);
            }
            EXPECT_FALSE(p->outside);
            // Only the very last chunk of the refresh is marked last.
            ASSERT_EQ(p->last.size(), p->flushes.size());
            for (size_t i = 0; i < p->last.size(); i++) {
                EXPECT_EQ(p->last[i], i + 1 == p->last.size()) << i;
            }
        }
    }
}

TEST_F(Rotation, FlushAreasOfAFullScreenBuffer) {
    std::vector<lv_area_t> rot90{{0, 0, 239, 239}};
    std::vector<lv_area_t> rot270{{80, 0, 319, 239}};
    // The 80 rows past the square go 10 at a time: 10240 bytes of 4-byte pixels hold 10 rows of 240.
    for (lv_coord_t k = 0; k < 8; k++) {
        rot90.push_back({(lv_coord_t)(240 + 10 * k), 0, (lv_coord_t)(249 + 10 * k), 239});
        rot270.push_back({(lv_coord_t)(70 - 10 * k), 0, (lv_coord_t)(79 - 10 * k), 239});
    }
    std::vector<lv_area_t> rot180_strips; // 40-row buffer: each strip mirrored, the top one at the bottom
    for (lv_coord_t k = 0; k < 6; k++) {
        rot180_strips.push_back({0, (lv_coord_t)(200 - 40 * k), 319, (lv_coord_t)(239 - 40 * k)});
    }

    const struct {
        const char* name;
        lv_disp_rot_t rot;
        uint32_t buf_px;
        lv_coord_t ofs_x, ofs_y;
        std::vector<lv_area_t> want;
        bool all; // false: `want` is only the start of the sequence
    } cases[] = {
        {"90", LV_DISP_ROT_90, 0, 0, 0, rot90, true},
        {"270", LV_DISP_ROT_270, 0, 0, 0, rot270, true},
        {"180, whole screen", LV_DISP_ROT_180, 0, 0, 0, {{0, 0, 319, 239}}, true},
        {"180, 40 rows", LV_DISP_ROT_180, 320 * 40, 0, 0, rot180_strips, true},
        {"270 with an offset applied after turning",
         LV_DISP_ROT_270,
         0,
         3,
         2,
         {{83, 2, 322, 241}, {73, 2, 82, 241}},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        Panel* p = open_panel({320, 240, c.rot, c.buf_px, false, false});
        p->drv.offset_x = c.ofs_x;
        p->drv.offset_y = c.ofs_y;
        lv_timer_handler();
        if (c.all) {
            EXPECT_EQ(p->flushes.size(), c.want.size());
        }
        ASSERT_GE(p->flushes.size(), c.want.size());
        for (size_t i = 0; i < c.want.size(); i++) {
            EXPECT_EQ(area_str(p->flushes[i]), area_str(c.want[i])) << "flush " << i;
        }
    }
}

TEST_F(Rotation, ScreensSeeTheTurnedResolution) {
    const struct {
        lv_disp_rot_t rot;
        lv_coord_t hor, ver;
        lv_coord_t card_pad; // theme size class of the turned width: 600 is medium, 1024 large
    } cases[] = {
        {LV_DISP_ROT_NONE, 1024, 600, 20},
        {LV_DISP_ROT_90, 600, 1024, 16},
        {LV_DISP_ROT_180, 1024, 600, 20},
        {LV_DISP_ROT_270, 600, 1024, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rot);
        restart();
        Panel* p = open_panel({1024, 600, c.rot, 1024 * 10, false, false});
        EXPECT_EQ(lv_disp_get_hor_res(p->disp), c.hor);
        EXPECT_EQ(lv_disp_get_ver_res(p->disp), c.ver);
        EXPECT_EQ(p->drv.hor_res, 1024);
        EXPECT_EQ(p->drv.ver_res, 600);
        EXPECT_EQ(lv_disp_get_rotation(p->disp), c.rot);
        for (lv_obj_t* scr : {lv_scr_act(), lv_obj_create(nullptr), lv_layer_top()}) {
            lv_obj_update_layout(scr);
            EXPECT_EQ(lv_obj_get_width(scr), c.hor);
            EXPECT_EQ(lv_obj_get_height(scr), c.ver);
        }
        lv_obj_t* card = lv_obj_create(lv_scr_act());
        EXPECT_EQ(lv_obj_get_style_pad_left(card, LV_PART_MAIN), c.card_pad);
    }
}

TEST_F(Rotation, TurningARunningDisplayResizesItsScreensAndRedrawsAll) {
    Panel* p = open_panel({320, 240, LV_DISP_ROT_NONE, 0, false, false});
    build_scene();
    lv_obj_t* other = lv_obj_create(nullptr);
    lv_timer_handler();
    p->flushes.clear();

    lv_disp_set_rotation(p->disp, LV_DISP_ROT_90);
    EXPECT_EQ(lv_disp_get_hor_res(p->disp), 240);
    EXPECT_EQ(lv_disp_get_ver_res(p->disp), 320);
    gfx_run_for(100, 10);
    EXPECT_EQ(lv_obj_get_width(other), 240);
    EXPECT_EQ(lv_obj_get_height(lv_scr_act()), 320);
    // The whole panel is drawn again, as the square and its chunks.
    ASSERT_FALSE(p->flushes.empty());
    EXPECT_EQ(area_str(p->flushes.front()), area_str({0, 0, 239, 239}));
    EXPECT_FALSE(p->outside);
}

TEST_F(Rotation, FullRefreshCannotBeTurnedAndIsSkippedWithoutHanging) {
    StdoutLog log;
    Panel* p = open_panel({320, 240, LV_DISP_ROT_90, 0, false, true});
    lv_timer_handler();
    EXPECT_TRUE(p->flushes.empty());
    EXPECT_EQ(log.count("cannot rotate a full refreshed display!"), 1u);
    EXPECT_TRUE(log.contains("[Error]"));

    // The next refresh comes back too.
    lv_obj_invalidate(lv_scr_act());
    gfx_run_for(40, 10);
    EXPECT_TRUE(p->flushes.empty());
    EXPECT_EQ(log.count("cannot rotate a full refreshed display!"), 2u);

    // Without rotation a software-rotating driver refreshes the whole screen as usual.
    restart();
    p = open_panel({320, 240, LV_DISP_ROT_NONE, 0, false, true});
    lv_timer_handler();
    ASSERT_EQ(p->flushes.size(), 1u);
    EXPECT_EQ(area_str(p->flushes[0]), area_str({0, 0, 319, 239}));
}

} // namespace
