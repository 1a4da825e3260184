// The image decoder chain and the built-in decoder for images held in variables and ".bin" files.
//
// Decoders are asked newest first, so an application decoder registered after start-up sees every
// source before the PNG decoder and the built-in one do.
#include "img/img_internal.h"
#include "lv_assert.h"
#include "lv_draw_img.h"
#include "lv_fs.h"
#include "lv_img_decoder.h"
#include "lv_mem.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

std::vector<lv_img_decoder_t*>& g_decoders =
    *new std::vector<lv_img_decoder_t*>; // front = newest = asked first

// Bytes one row takes in a ".bin" file or a variable of a true-colour format.
constexpr uint32_t k_px_size = sizeof(lv_color_t);

bool is_true_color(uint32_t cf) {
    return cf == LV_IMG_CF_TRUE_COLOR || cf == LV_IMG_CF_TRUE_COLOR_ALPHA ||
           cf == LV_IMG_CF_TRUE_COLOR_CHROMA_KEYED;
}

void clear_open_result(lv_img_decoder_dsc_t* dsc) {
    std::memset(&dsc->header, 0, sizeof(dsc->header));
    dsc->error_msg = nullptr;
    dsc->img_data = nullptr;
    dsc->user_data = nullptr;
    dsc->time_to_open = 0;
}

/* ---- Built-in decoder ---------------------------------------------------------------------------- */

// A ".bin" file: a 4-byte header, then rows of pixels. It stays open while the image is open and
// rows are read on demand.
struct BinFile {
    lv_fs_file_t file;
};

bool is_bin_file(const void* src) {
    return lv_img_src_get_type(src) == LV_IMG_SRC_FILE &&
           std::strcmp(lv_fs_get_ext((const char*)src), "bin") == 0;
}

bool read_bin_header(lv_fs_file_t* f, lv_img_header_t* header) {
    uint8_t raw[sizeof(lv_img_header_t)];
    uint32_t br = 0;
    if (lv_fs_read(f, raw, sizeof(raw), &br) != LV_FS_RES_OK || br != sizeof(raw)) return false;
    std::memcpy(header, raw, sizeof(raw));
    return true;
}

lv_res_t builtin_info(lv_img_decoder_t*, const void* src, lv_img_header_t* header) {
    switch (lv_img_src_get_type(src)) {
    case LV_IMG_SRC_VARIABLE: {
        const auto* img = static_cast<const lv_img_dsc_t*>(src);
        if (img->data == nullptr) return LV_RES_INV;
        header->cf = img->header.cf;
        header->w = img->header.w;
        header->h = img->header.h;
        return LV_RES_OK;
    }
    case LV_IMG_SRC_FILE: {
        if (!is_bin_file(src)) return LV_RES_INV;
        lv_fs_file_t f;
        if (lv_fs_open(&f, (const char*)src, LV_FS_MODE_RD) != LV_FS_RES_OK) return LV_RES_INV;
        lv_img_header_t h;
        bool ok = read_bin_header(&f, &h);
        lv_fs_close(&f);
        if (!ok) return LV_RES_INV;
        *header = h;
        return LV_RES_OK;
    }
    default:
        return LV_RES_INV;
    }
}

// Expands a 1-bit indexed image (two palette colours, then rows of bits, MSB first, each row padded
// to whole bytes) into true-colour pixels.
lv_res_t open_indexed_1bit(const lv_img_dsc_t* img, lv_img_decoder_dsc_t* dsc) {
    const uint32_t w = img->header.w;
    const uint32_t h = img->header.h;
    const uint32_t row_bytes = (w + 7) / 8;
    const uint32_t palette_bytes = 2 * sizeof(lv_color_t);
    if (img->data_size < palette_bytes + row_bytes * h) return LV_RES_INV;

    lv_color_t palette[2];
    std::memcpy(palette, img->data, palette_bytes);
    auto* px = static_cast<lv_color_t*>(lv_mem_alloc((size_t)w * h * sizeof(lv_color_t)));
    if (px == nullptr) return LV_RES_INV;

    const uint8_t* bits = img->data + palette_bytes;
    lv_color_t* out = px;
    for (uint32_t y = 0; y < h; y++, bits += row_bytes) {
        for (uint32_t x = 0; x < w; x++) *out++ = palette[(bits[x >> 3] >> (7 - (x & 7))) & 1];
    }
    dsc->img_data = reinterpret_cast<const uint8_t*>(px);
    dsc->user_data = px; // marks the pixels as ours to free
    // The open image is what the painter gets: palette colours with their alpha.
    dsc->header.cf = LV_IMG_CF_TRUE_COLOR_ALPHA;
    return LV_RES_OK;
}

lv_res_t builtin_open(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    const uint32_t cf = dsc->header.cf;
    if (dsc->src_type == LV_IMG_SRC_VARIABLE) {
        const auto* img = static_cast<const lv_img_dsc_t*>(dsc->src);
        if (is_true_color(cf)) {
            if (img->data_size < (uint32_t)dsc->header.w * dsc->header.h * k_px_size) return LV_RES_INV;
            dsc->img_data = img->data;
            return LV_RES_OK;
        }
        if (cf == LV_IMG_CF_INDEXED_1BIT) return open_indexed_1bit(img, dsc);
        return LV_RES_INV;
    }

    if (dsc->src_type == LV_IMG_SRC_FILE && is_bin_file(dsc->src) && is_true_color(cf)) {
        auto* bin = static_cast<BinFile*>(lv_mem_alloc(sizeof(BinFile)));
        if (bin == nullptr) return LV_RES_INV;
        if (lv_fs_open(&bin->file, (const char*)dsc->src, LV_FS_MODE_RD) != LV_FS_RES_OK) {
            lv_mem_free(bin);
            return LV_RES_INV;
        }
        dsc->user_data = bin;
        return LV_RES_OK;
    }
    return LV_RES_INV;
}

lv_res_t builtin_read_line(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc, lv_coord_t x, lv_coord_t y,
                           lv_coord_t len, uint8_t* buf) {
    if (dsc->src_type != LV_IMG_SRC_FILE || dsc->user_data == nullptr) return LV_RES_INV;
    if (x < 0 || y < 0 || len <= 0 || x + len > (int32_t)dsc->header.w || y >= (int32_t)dsc->header.h) {
        return LV_RES_INV;
    }
    auto* bin = static_cast<BinFile*>(dsc->user_data);
    const uint32_t pos = sizeof(lv_img_header_t) + ((uint32_t)y * dsc->header.w + (uint32_t)x) * k_px_size;
    const uint32_t btr = (uint32_t)len * k_px_size;
    uint32_t br = 0;
    if (lv_fs_seek(&bin->file, pos, LV_FS_SEEK_SET) != LV_FS_RES_OK) return LV_RES_INV;
    if (lv_fs_read(&bin->file, buf, btr, &br) != LV_FS_RES_OK || br != btr) return LV_RES_INV;
    return LV_RES_OK;
}

void builtin_close(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    if (dsc->user_data == nullptr) return;
    if (dsc->src_type == LV_IMG_SRC_FILE) {
        auto* bin = static_cast<BinFile*>(dsc->user_data);
        lv_fs_close(&bin->file);
        lv_mem_free(bin);
    } else {
        lv_mem_free(dsc->user_data); // expanded indexed pixels
        dsc->img_data = nullptr;
    }
    dsc->user_data = nullptr;
}

} // namespace

/* ---- Source type ---------------------------------------------------------------------------------- */

lv_img_src_t lv_img_src_get_type(const void* src) {
    if (src == nullptr) return LV_IMG_SRC_UNKNOWN;
    const uint8_t first = *static_cast<const uint8_t*>(src);
    if (first >= 0x20 && first <= 0x7F) return LV_IMG_SRC_FILE;
    if (first >= 0x80) return LV_IMG_SRC_SYMBOL;
    return LV_IMG_SRC_VARIABLE;
}

/* ---- Decoder registry ------------------------------------------------------------------------------ */

lv_img_decoder_t* lv_img_decoder_create(void) {
    auto* d = static_cast<lv_img_decoder_t*>(lv_mem_alloc(sizeof(lv_img_decoder_t)));
    LV_ASSERT_MALLOC(d);
    if (d == nullptr) return nullptr;
    std::memset(d, 0, sizeof(*d));
    g_decoders.insert(g_decoders.begin(), d);
    return d;
}

void lv_img_decoder_delete(lv_img_decoder_t* decoder) {
    auto it = std::find(g_decoders.begin(), g_decoders.end(), decoder);
    if (it == g_decoders.end()) return;
    gfx::img_cache_drop_decoder(decoder);
    g_decoders.erase(it);
    lv_mem_free(decoder);
}

void lv_img_decoder_set_info_cb(lv_img_decoder_t* decoder, lv_img_decoder_info_f_t info_cb) {
    decoder->info_cb = info_cb;
}
void lv_img_decoder_set_open_cb(lv_img_decoder_t* decoder, lv_img_decoder_open_f_t open_cb) {
    decoder->open_cb = open_cb;
}
void lv_img_decoder_set_read_line_cb(lv_img_decoder_t* decoder, lv_img_decoder_read_line_f_t read_line_cb) {
    decoder->read_line_cb = read_line_cb;
}
void lv_img_decoder_set_close_cb(lv_img_decoder_t* decoder, lv_img_decoder_close_f_t close_cb) {
    decoder->close_cb = close_cb;
}

void _lv_img_decoder_init(void) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    if (d == nullptr) return;
    lv_img_decoder_set_info_cb(d, builtin_info);
    lv_img_decoder_set_open_cb(d, builtin_open);
    lv_img_decoder_set_read_line_cb(d, builtin_read_line);
    lv_img_decoder_set_close_cb(d, builtin_close);
}

void gfx_img_reset(void) {
    gfx::img_cache_clear();
    lv_img_cache_set_size(0);
    for (lv_img_decoder_t* d : g_decoders) lv_mem_free(d);
    g_decoders.clear();
}

/* ---- Using the chain -------------------------------------------------------------------------------- */

lv_res_t lv_img_decoder_get_info(const void* src, lv_img_header_t* header) {
    std::memset(header, 0, sizeof(*header));
    if (src == nullptr) return LV_RES_INV;
    // Indexing, not iterators: a callback may register another decoder.
    for (size_t i = 0; i < g_decoders.size(); i++) {
        lv_img_decoder_t* d = g_decoders[i];
        if (d->info_cb == nullptr) continue;
        if (d->info_cb(d, src, header) == LV_RES_OK) return LV_RES_OK;
    }
    return LV_RES_INV;
}

lv_res_t lv_img_decoder_open(lv_img_decoder_dsc_t* dsc, const void* src, lv_color_t color, int32_t frame_id) {
    std::memset(dsc, 0, sizeof(*dsc));
    if (src == nullptr) return LV_RES_INV;
    const lv_img_src_t type = lv_img_src_get_type(src);
    if (type == LV_IMG_SRC_UNKNOWN) return LV_RES_INV;

    dsc->color = color;
    dsc->frame_id = frame_id;
    dsc->src_type = type;
    if (type == LV_IMG_SRC_FILE) {
        // The descriptor keeps its own copy of the path: the caller's buffer may change later.
        const size_t n = std::strlen((const char*)src) + 1;
        char* copy = static_cast<char*>(lv_mem_alloc(n));
        LV_ASSERT_MALLOC(copy);
        if (copy == nullptr) return LV_RES_INV;
        std::memcpy(copy, src, n);
        dsc->src = copy;
    } else {
        dsc->src = src;
    }

    for (size_t i = 0; i < g_decoders.size(); i++) {
        lv_img_decoder_t* d = g_decoders[i];
        if (d->info_cb == nullptr || d->open_cb == nullptr) continue;
        if (d->info_cb(d, dsc->src, &dsc->header) != LV_RES_OK) continue;
        dsc->decoder = d;
        if (d->open_cb(d, dsc) == LV_RES_OK) return LV_RES_OK;
        clear_open_result(dsc);
    }

    if (type == LV_IMG_SRC_FILE) lv_mem_free(const_cast<void*>(dsc->src));
    std::memset(dsc, 0, sizeof(*dsc));
    return LV_RES_INV;
}

lv_res_t lv_img_decoder_read_line(lv_img_decoder_dsc_t* dsc, lv_coord_t x, lv_coord_t y, lv_coord_t len,
                                  uint8_t* buf) {
    if (dsc->decoder == nullptr || dsc->decoder->read_line_cb == nullptr) return LV_RES_INV;
    return dsc->decoder->read_line_cb(dsc->decoder, dsc, x, y, len, buf);
}

void lv_img_decoder_close(lv_img_decoder_dsc_t* dsc) {
    if (dsc->decoder != nullptr && dsc->decoder->close_cb != nullptr)
        dsc->decoder->close_cb(dsc->decoder, dsc);
    if (dsc->src_type == LV_IMG_SRC_FILE) {
        lv_mem_free(const_cast<void*>(dsc->src));
        dsc->src = nullptr;
    }
    dsc->decoder = nullptr;
}

bool gfx::img_cf_is_32bit(lv_img_cf_t cf) {
    return is_true_color(cf);
}
