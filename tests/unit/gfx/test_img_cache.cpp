// The image cache: hits, misses, eviction by life, invalidation and running without a cache.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "stdout_log.h"
#include "lvgl.h"

#include "../../../gfx/src/img/img_internal.h"

namespace {

// A decoder for "A:<name>_<cost>.cnt" paths and for variables, counting opens and closes per
// source. A file's cost becomes its time_to_open; variables cost 1.
struct Counter {
    std::map<std::string, int> opens, closes;
    int total_opens = 0, total_closes = 0;
};
Counter g_count;
lv_color_t g_pixel = lv_color_hex(0x123456);

std::string key_of(const lv_img_decoder_dsc_t* dsc) {
    if (dsc->src_type == LV_IMG_SRC_FILE) return (const char*)dsc->src;
    return "var@" + std::to_string(reinterpret_cast<uintptr_t>(dsc->src));
}

lv_res_t count_info(lv_img_decoder_t*, const void* src, lv_img_header_t* header) {
    const lv_img_src_t type = lv_img_src_get_type(src);
    if (type == LV_IMG_SRC_FILE && std::strcmp(lv_fs_get_ext((const char*)src), "cnt") != 0)
        return LV_RES_INV;
    if (type != LV_IMG_SRC_FILE && type != LV_IMG_SRC_VARIABLE) return LV_RES_INV;
    header->cf = LV_IMG_CF_TRUE_COLOR;
    header->w = 1;
    header->h = 1;
    return LV_RES_OK;
}

lv_res_t count_open(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    g_count.opens[key_of(dsc)]++;
    g_count.total_opens++;
    dsc->img_data = reinterpret_cast<const uint8_t*>(&g_pixel);
    dsc->time_to_open = 1;
    if (dsc->src_type == LV_IMG_SRC_FILE) {
        const char* us = std::strrchr((const char*)dsc->src, '_');
        if (us) dsc->time_to_open = (uint32_t)std::strtoul(us + 1, nullptr, 10);
    }
    return LV_RES_OK;
}

void count_close(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    g_count.closes[key_of(dsc)]++;
    g_count.total_closes++;
}

class ImgCache : public ::testing::Test {
  protected:
    StdoutLog log;
    lv_img_decoder_t* dec = nullptr;

    void SetUp() override {
        gfx_img_reset();
        _lv_img_decoder_init();
        dec = lv_img_decoder_create();
        lv_img_decoder_set_info_cb(dec, count_info);
        lv_img_decoder_set_open_cb(dec, count_open);
        lv_img_decoder_set_close_cb(dec, count_close);
        g_count = Counter{};
    }
    void TearDown() override { gfx_img_reset(); }

    static _lv_img_cache_entry_t* open(const void* src, int32_t frame = 0) {
        return _lv_img_cache_open(src, lv_color_black(), frame);
    }
};

TEST_F(ImgCache, HitsRaiseLifeAndMissesEvictTheWeakestEntry) {
    lv_img_cache_set_size(2);
    const char* a = "A:a_10.cnt"; // costly to open: kept
    const char* b = "A:b_1.cnt";
    const char* c = "A:c_1.cnt";

    struct Step {
        const char* src;
        int32_t life_after; // life of the returned entry
        int total_opens;
        int total_closes;
    };
    // Every look-up ages all entries by 1; a hit adds the open time of its image.
    const Step steps[] = {
        {a, 0, 1, 0},  // miss into an empty entry
        {b, 0, 2, 0},  // miss into the other empty entry; a: -1
        {a, 8, 2, 0},  // hit: -2 + 10
        {c, 0, 3, 1},  // miss: b (-2) is weaker than a (7) and is closed
        {a, 16, 3, 1}, // hit: 6 + 10
        {b, 0, 4, 2},  // miss: c (-2) goes
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.src);
        _lv_img_cache_entry_t* e = open(s.src);
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ((const char*)e->dec_dsc.src, s.src);
        EXPECT_EQ(e->life, s.life_after);
        EXPECT_EQ(g_count.total_opens, s.total_opens);
        EXPECT_EQ(g_count.total_closes, s.total_closes);
    }
    EXPECT_EQ(g_count.opens["A:a_10.cnt"], 1);
    EXPECT_EQ(g_count.closes["A:b_1.cnt"], 1);
    EXPECT_EQ(g_count.closes["A:c_1.cnt"], 1);
}

TEST_F(ImgCache, LifeIsCappedAt1000) {
    lv_img_cache_set_size(1);
    const char* a = "A:a_600.cnt";
    EXPECT_EQ(open(a)->life, 0);
    EXPECT_EQ(open(a)->life, 599);
    EXPECT_EQ(open(a)->life, 1000);
    EXPECT_EQ(open(a)->life, 1000);
    EXPECT_EQ(g_count.total_opens, 1);
}

TEST_F(ImgCache, MatchesFilesByTextVariablesByAddressAndFrames) {
    lv_img_cache_set_size(8);
    char path1[] = "A:icon_1.cnt";
    char path2[] = "A:icon_1.cnt";
    ASSERT_NE(open(path1), nullptr);
    // The caller's buffer may change: the entry keeps its own copy of the path.
    path1[3] = 'x';
    ASSERT_NE(open(path2), nullptr);
    EXPECT_EQ(g_count.opens["A:icon_1.cnt"], 1);

    static const uint8_t px[4] = {};
    const lv_img_dsc_t v1 = {{LV_IMG_CF_TRUE_COLOR, 0, 0, 1, 1}, 4, px};
    const lv_img_dsc_t v2 = v1; // same content, different address
    open(&v1);
    open(&v1);
    open(&v2);
    EXPECT_EQ(g_count.total_opens, 3);

    open(path2, 1); // another frame of the same file
    EXPECT_EQ(g_count.opens["A:icon_1.cnt"], 2);
}

TEST_F(ImgCache, InvalidationClosesEntries) {
    lv_img_cache_set_size(4);
    open("A:a_1.cnt");
    open("A:b_1.cnt");

    lv_img_cache_invalidate_src("A:a_1.cnt");
    EXPECT_EQ(g_count.closes["A:a_1.cnt"], 1);
    EXPECT_EQ(g_count.closes["A:b_1.cnt"], 0);
    open("A:a_1.cnt");
    open("A:b_1.cnt");
    EXPECT_EQ(g_count.opens["A:a_1.cnt"], 2);
    EXPECT_EQ(g_count.opens["A:b_1.cnt"], 1);

    lv_img_cache_invalidate_src(nullptr);
    EXPECT_EQ(g_count.total_closes, 3);
    EXPECT_EQ(g_count.total_opens, g_count.total_closes);
}

TEST_F(ImgCache, ResizingAndDeletingTheDecoderCloseEverything) {
    lv_img_cache_set_size(4);
    open("A:a_1.cnt");
    open("A:b_1.cnt");
    lv_img_cache_set_size(3);
    EXPECT_EQ(g_count.total_closes, 2);
    open("A:a_1.cnt");
    EXPECT_EQ(g_count.total_opens, 3);

    // No entry may keep a decoder that no longer exists.
    lv_img_decoder_delete(dec);
    EXPECT_EQ(g_count.total_closes, 3);
    EXPECT_EQ(open("A:a_1.cnt"), nullptr);
}

TEST_F(ImgCache, AnUnopenableSourceWarnsAndLeavesItsEntryFree) {
    lv_img_cache_set_size(1);
    open("A:a_1.cnt");
    EXPECT_EQ(open("A:missing.xyz"), nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("[Warn]"), std::string::npos);
    EXPECT_NE(log.lines()[0].find("Image draw cannot open the image resource"), std::string::npos);
    // The only entry was given up for the failed source; the next image takes it without eviction.
    EXPECT_EQ(g_count.total_closes, 1);
    open("A:b_1.cnt");
    EXPECT_EQ(g_count.total_closes, 1);
}

} // namespace
