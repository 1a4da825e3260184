// Cache of opened (decoded) images, so a picture is decoded once and drawn from memory afterwards.
//
// Every entry has a "life": each look-up ages all entries by one, a hit adds the time the image took
// to open (capped), and a miss replaces the entry with the lowest life. With no entries the cache is
// off: each look-up opens into one temporary entry that the painter closes after drawing.
#include "img/img_internal.h"
#include "lv_draw_img.h"
#include "lv_hal_tick.h"
#include "lv_img_cache.h"
#include "lv_log.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t k_life_limit = 1000;
constexpr int32_t k_aging = 1;
constexpr int32_t k_empty_life = INT32_MIN; // empty entries are reused first

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

std::vector<_lv_img_cache_entry_t>& g_entries = *new std::vector<_lv_img_cache_entry_t>;
_lv_img_cache_entry_t g_temp; // the single entry used while caching is off

bool is_open(const _lv_img_cache_entry_t& e) {
    return e.dec_dsc.decoder != nullptr;
}

void close_entry(_lv_img_cache_entry_t& e) {
    if (is_open(e)) lv_img_decoder_close(&e.dec_dsc);
    std::memset(&e, 0, sizeof(e));
    e.life = k_empty_life;
}

bool same_src(const lv_img_decoder_dsc_t& d, const void* src) {
    if (d.src == nullptr || src == nullptr) return false;
    if (d.src_type == LV_IMG_SRC_FILE) {
        return lv_img_src_get_type(src) == LV_IMG_SRC_FILE &&
               std::strcmp((const char*)d.src, (const char*)src) == 0;
    }
    return d.src == src;
}

// Opens `src` into `e`; false (and `e` left empty) when no decoder takes it.
bool open_entry(_lv_img_cache_entry_t& e, const void* src, lv_color_t color, int32_t frame_id) {
    const uint32_t t_start = lv_tick_get();
    if (lv_img_decoder_open(&e.dec_dsc, src, color, frame_id) != LV_RES_OK) {
        std::memset(&e, 0, sizeof(e));
        e.life = k_empty_life;
        return false;
    }
    // Decoders may state their own cost; otherwise it is the time opening took (at least 1 ms).
    if (e.dec_dsc.time_to_open == 0) e.dec_dsc.time_to_open = lv_tick_elaps(t_start);
    if (e.dec_dsc.time_to_open == 0) e.dec_dsc.time_to_open = 1;
    e.life = 0;
    return true;
}

// Ages all entries, then returns the entry holding `src` (its life raised) or the emptied entry
// with the lowest life.
_lv_img_cache_entry_t* find_or_evict(const void* src, lv_color_t color, int32_t frame_id) {
    for (_lv_img_cache_entry_t& e : g_entries) {
        if (e.life > INT32_MIN + k_aging) e.life -= k_aging;
    }

    for (_lv_img_cache_entry_t& e : g_entries) {
        if (!is_open(e) || e.dec_dsc.frame_id != frame_id || e.dec_dsc.color.full != color.full) continue;
        if (!same_src(e.dec_dsc, src)) continue;
        const int64_t life = (int64_t)e.life + e.dec_dsc.time_to_open;
        e.life = life > k_life_limit ? k_life_limit : (int32_t)life;
        return &e;
    }

    _lv_img_cache_entry_t* victim = &g_entries[0];
    for (_lv_img_cache_entry_t& e : g_entries) {
        if (e.life < victim->life) victim = &e;
    }
    close_entry(*victim);
    return victim;
}

} // namespace

_lv_img_cache_entry_t* _lv_img_cache_open(const void* src, lv_color_t color, int32_t frame_id) {
    _lv_img_cache_entry_t* entry = nullptr;
    if (g_entries.empty()) {
        close_entry(g_temp); // a caller that did not release it
        entry = &g_temp;
    } else {
        entry = find_or_evict(src, color, frame_id);
        if (is_open(*entry)) return entry;
    }
    if (open_entry(*entry, src, color, frame_id)) return entry;
    LV_LOG_WARN("Image draw cannot open the image resource");
    return nullptr;
}

void lv_img_cache_set_size(uint16_t new_slot_num) {
    gfx::img_cache_clear();
    g_entries.assign(new_slot_num, _lv_img_cache_entry_t{});
    for (_lv_img_cache_entry_t& e : g_entries) e.life = k_empty_life;
}

void lv_img_cache_invalidate_src(const void* src) {
    for (_lv_img_cache_entry_t& e : g_entries) {
        if (src == nullptr || same_src(e.dec_dsc, src)) close_entry(e);
    }
}

void gfx::img_cache_drop_decoder(const lv_img_decoder_t* decoder) {
    for (_lv_img_cache_entry_t& e : g_entries) {
        if (e.dec_dsc.decoder == decoder) close_entry(e);
    }
    if (g_temp.dec_dsc.decoder == decoder) close_entry(g_temp);
}

void gfx::img_cache_clear(void) {
    for (_lv_img_cache_entry_t& e : g_entries) close_entry(e);
    close_entry(g_temp);
}

void gfx::img_cache_release(_lv_img_cache_entry_t* entry) {
    if (entry == &g_temp) close_entry(g_temp);
}
