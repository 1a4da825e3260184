// Areas, colours and the palette, memory, and the tick with virtual time.
#include "app_host.h"
#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"

#include "../../../gfx/src/draw/gfx_blend.h"
#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

// A failing allocation must come back as NULL here, also under AddressSanitizer.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

lv_area_t area(lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2) {
    lv_area_t a;
    lv_area_set(&a, x1, y1, x2, y2);
    return a;
}

bool same(const lv_area_t& a, const lv_area_t& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

TEST(Area, IntersectJoinAndOverlap) {
    struct Case {
        const char* name;
        lv_area_t a, b;
        bool overlap;
        lv_area_t common, joined;
    };
    const Case cases[] = {
        {"overlapping", area(0, 0, 9, 9), area(5, 5, 14, 14), true, area(5, 5, 9, 9), area(0, 0, 14, 14)},
        {"contained", area(0, 0, 99, 99), area(10, 20, 30, 40), true, area(10, 20, 30, 40),
         area(0, 0, 99, 99)},
        {"sharing one column", area(0, 0, 9, 9), area(9, 3, 20, 5), true, area(9, 3, 9, 5),
         area(0, 0, 20, 9)},
        {"side by side", area(0, 0, 9, 9), area(10, 0, 19, 9), false, {}, area(0, 0, 19, 9)},
        {"apart", area(-20, -20, -11, -11), area(5, 5, 6, 6), false, {}, area(-20, -20, 6, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lv_area_t res;
        EXPECT_EQ(_lv_area_intersect(&res, &c.a, &c.b), c.overlap);
        if (c.overlap) {
            EXPECT_TRUE(same(res, c.common));
        }
        EXPECT_EQ(_lv_area_is_on(&c.a, &c.b), c.overlap);
        EXPECT_EQ(_lv_area_is_on(&c.b, &c.a), c.overlap);
        lv_area_t j;
        _lv_area_join(&j, &c.a, &c.b);
        EXPECT_TRUE(same(j, c.joined));
    }

    lv_area_t a = area(10, 20, 329, 259);
    EXPECT_EQ(lv_area_get_width(&a), 320);
    EXPECT_EQ(lv_area_get_height(&a), 240);
    EXPECT_EQ(lv_area_get_size(&a), 76800u);
    lv_area_t one = area(3, 3, 3, 3);
    EXPECT_EQ(lv_area_get_size(&one), 1u);
}

TEST(Area, PointsAndContainmentWithRoundedCorners) {
    lv_area_t box = area(0, 0, 99, 49);
    lv_point_t corner = {0, 0};
    lv_point_t edge_mid = {50, 0};
    lv_point_t outside = {100, 10};
    lv_point_t near_corner = {3, 3};
    EXPECT_TRUE(_lv_area_is_point_on(&box, &corner, 0));
    EXPECT_FALSE(_lv_area_is_point_on(&box, &outside, 0));
    // With a radius the very corner is cut off, the middle of an edge is not.
    EXPECT_FALSE(_lv_area_is_point_on(&box, &corner, 10));
    EXPECT_TRUE(_lv_area_is_point_on(&box, &edge_mid, 10));
    EXPECT_TRUE(_lv_area_is_point_on(&box, &near_corner, 10));
    lv_point_t in_cut = {1, 1};
    EXPECT_FALSE(_lv_area_is_point_on(&box, &in_cut, 10));

    lv_area_t inner = area(10, 10, 20, 20);
    lv_area_t whole = area(0, 0, 99, 49);
    lv_area_t sticking_out = area(90, 40, 100, 49);
    EXPECT_TRUE(_lv_area_is_in(&inner, &box, 0));
    EXPECT_TRUE(_lv_area_is_in(&whole, &box, 0));
    EXPECT_FALSE(_lv_area_is_in(&whole, &box, 5));
    EXPECT_TRUE(_lv_area_is_in(&inner, &box, 5));
    EXPECT_FALSE(_lv_area_is_in(&sticking_out, &box, 0));
}

TEST(Colour, PaletteValues) {
    struct Case {
        lv_palette_t p;
        int level; // 0 main, >0 lighten, <0 darken
        uint32_t rgb;
    };
    const Case cases[] = {
        {LV_PALETTE_BLUE, 0, 0x2196F3},        {LV_PALETTE_RED, 0, 0xF44336},
        {LV_PALETTE_GREY, 0, 0x9E9E9E},        {LV_PALETTE_GREY, 1, 0xBDBDBD},
        {LV_PALETTE_GREY, 2, 0xE0E0E0},        {LV_PALETTE_GREY, 3, 0xEEEEEE},
        {LV_PALETTE_GREY, 4, 0xF5F5F5},        {LV_PALETTE_GREY, 5, 0xFAFAFA},
        {LV_PALETTE_GREY, -1, 0x757575},       {LV_PALETTE_GREY, -2, 0x616161},
        {LV_PALETTE_GREY, -3, 0x424242},       {LV_PALETTE_GREY, -4, 0x212121},
        {LV_PALETTE_BLUE, 2, 0x64B5F6},        {LV_PALETTE_BLUE, -4, 0x0D47A1},
        {LV_PALETTE_RED, 1, 0xEF5350},         {LV_PALETTE_RED, -3, 0xC62828},
        {LV_PALETTE_GREEN, 0, 0x4CAF50},       {LV_PALETTE_AMBER, -1, 0xFFB300},
        {LV_PALETTE_DEEP_ORANGE, 3, 0xFFAB91}, {LV_PALETTE_BLUE_GREY, -1, 0x546E7A},
        {LV_PALETTE_LIME, 4, 0xF0F4C3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("palette " + std::to_string(c.p) + " level " + std::to_string(c.level));
        lv_color_t got = c.level == 0  ? lv_palette_main(c.p)
                         : c.level > 0 ? lv_palette_lighten(c.p, (uint8_t)c.level)
                                       : lv_palette_darken(c.p, (uint8_t)-c.level);
        EXPECT_EQ(got.full, lv_color_hex(c.rgb).full);
        EXPECT_EQ(got.ch.alpha, 0xff);
    }

    // Out of range: black and a warning.
    EXPECT_EQ(lv_palette_lighten(LV_PALETTE_GREY, 6).full, lv_color_black().full);
    EXPECT_EQ(lv_palette_darken(LV_PALETTE_GREY, 5).full, lv_color_black().full);
    EXPECT_EQ(lv_palette_main(LV_PALETTE_NONE).full, lv_color_black().full);
}

TEST(Colour, MixMatchesTheRenderersBlend) {
    lv_color_t white = lv_color_white();
    lv_color_t black = lv_color_black();
    EXPECT_EQ(lv_color_mix(white, black, 255).full, white.full);
    EXPECT_EQ(lv_color_mix(white, black, 0).full, black.full);
    EXPECT_EQ(lv_color_mix(white, black, 128).full, lv_color_hex(0x808080).full);

    lv_color_t blue = lv_color_hex(0x2196F3);
    lv_color_t red = lv_color_hex(0xF44336);
    for (uint32_t m = 0; m <= 255; m++) {
        SCOPED_TRACE(m);
        EXPECT_EQ(lv_color_mix(blue, red, (uint8_t)m).full, gfx::mix(blue, red, m).full);
        EXPECT_EQ(lv_color_mix(blue, red, (uint8_t)m).full, lv_color_mix(red, blue, (uint8_t)(255 - m)).full);
    }
}

TEST(Memory, ZeroSizeSentinelAndRealloc) {
    void* z1 = lv_mem_alloc(0);
    void* z2 = lv_mem_alloc(0);
    ASSERT_NE(z1, nullptr);
    EXPECT_EQ(z1, z2);
    lv_mem_free(z1); // ignored
    lv_mem_free(nullptr);
    EXPECT_EQ(lv_mem_alloc(0), z1);

    // realloc(p, 0) frees p and hands out the sentinel; realloc(sentinel, n) allocates.
    char* p = static_cast<char*>(lv_mem_alloc(8));
    ASSERT_NE(p, nullptr);
    memcpy(p, "1234567", 8);
    p = static_cast<char*>(lv_mem_realloc(p, 64));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "1234567");
    EXPECT_EQ(lv_mem_realloc(p, 0), z1);
    void* q = lv_mem_realloc(z1, 16);
    ASSERT_NE(q, nullptr);
    EXPECT_NE(q, z1);
    memset(q, 0xab, 16);
    lv_mem_free(q);
}

TEST(Memory, FailedReallocLogsAnError) {
    StdoutLog log;
    gfx_log_reset();
    void* p = lv_mem_alloc(16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(lv_mem_realloc(p, SIZE_MAX - 4096), nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("[Error]", 0), 0u);
    EXPECT_NE(log.lines()[0].find(" lv_mem_realloc: couldn't allocate memory \t"), std::string::npos);
    lv_mem_free(p); // still owned by the caller after a failed realloc
    gfx_log_reset();
}

TEST(Tick, VirtualTimeAndWrapSafeElapsed) {
    gfx_virtual_time_enable(1244);
    EXPECT_EQ(lv_tick_get(), 1244u);
    EXPECT_EQ(lv_tick_elaps(0xFFFFFFF0u), 1260u);
    EXPECT_EQ(lv_tick_elaps(1000), 244u);
    gfx_virtual_time_advance(6);
    EXPECT_EQ(lv_tick_get(), 1250u);
    gfx_virtual_time_set(0xFFFFFFFFu);
    gfx_virtual_time_advance(2);
    EXPECT_EQ(lv_tick_get(), 1u);
    gfx_virtual_time_disable();
    // Back on the program's own clock (the application host's; it replaces the library's default).
    app_host_tick_set(777);
    EXPECT_EQ(lv_tick_get(), 777u);
}

std::vector<uint32_t> g_seen;
void note_tick(lv_timer_t*) {
    g_seen.push_back(lv_tick_get());
}

TEST(Tick, RunForCallsTheHandlerAfterEveryStep) {
    gfx_virtual_time_enable(100);
    _lv_timer_core_init();
    lv_timer_create(note_tick, 0, nullptr);
    gfx_run_for(25, 10);
    EXPECT_EQ(g_seen, (std::vector<uint32_t>{110, 120, 125}));
    EXPECT_EQ(lv_tick_get(), 125u);
    g_seen.clear();
    gfx_run_for(7, 0); // step 0: one step
    EXPECT_EQ(g_seen, (std::vector<uint32_t>{132}));
    gfx_timer_reset_all();
    gfx_virtual_time_disable();
}

} // namespace
