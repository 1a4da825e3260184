// Internals of the image layer shared by the decoder chain, the cache and the image painter.
#pragma once

#include "lv_img_cache.h"
#include "lv_img_decoder.h"

// Closes every cached image and deletes every decoder, built-in ones included; the cache is left
// with no entries. Used to tear the runtime down between tests.
void gfx_img_reset(void);

namespace gfx {

// Closes and empties every cache entry that was opened by `decoder` (before the decoder goes away).
void img_cache_drop_decoder(const lv_img_decoder_t* decoder);

// Closes and empties all cache entries; the number of entries stays.
void img_cache_clear(void);

// Ends one use of an entry returned by _lv_img_cache_open: with caching off (size 0) the
// temporary entry is closed again, otherwise the entry stays cached.
void img_cache_release(_lv_img_cache_entry_t* entry);

// True for the formats the painter draws: one lv_color_t per pixel. Decoders of other formats
// (1-bit indexed, for one) report the format they expanded to in the open descriptor.
bool img_cf_is_32bit(lv_img_cf_t cf);

} // namespace gfx
