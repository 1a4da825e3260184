// PNG decoder: files with the extension "png", decoded whole by lodepng when opened.
#include "img/img_internal.h"
#include "lv_draw_img.h"
#include "lv_fs.h"
#include "lv_log.h"
#include "lv_png.h"

#include <cstring>
#include <cstdlib>

#include <lodepng.h>

namespace {

// Files above this size are not even read: no PNG of the asset set comes close.
constexpr uint32_t k_max_file_size = 16u * 1024u * 1024u;
constexpr uint32_t k_max_side = 2047; // what lv_img_header_t can hold

constexpr uint8_t k_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t be32(const uint8_t* p) {
    return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | (uint32_t)p[3];
}

bool is_png_file(const void* src) {
    return lv_img_src_get_type(src) == LV_IMG_SRC_FILE &&
           std::strcmp(lv_fs_get_ext((const char*)src), "png") == 0;
}

// Signature, then the IHDR chunk: length 13, type, width, height (big endian).
lv_res_t png_info(lv_img_decoder_t*, const void* src, lv_img_header_t* header) {
    if (!is_png_file(src)) return LV_RES_INV;
    lv_fs_file_t f;
    if (lv_fs_open(&f, (const char*)src, LV_FS_MODE_RD) != LV_FS_RES_OK) return LV_RES_INV;
    uint8_t head[24];
    uint32_t br = 0;
    lv_fs_res_t res = lv_fs_read(&f, head, sizeof(head), &br);
    lv_fs_close(&f);
    if (res != LV_FS_RES_OK || br != sizeof(head)) return LV_RES_INV;
    if (std::memcmp(head, k_signature, sizeof(k_signature)) != 0) return LV_RES_INV;
    if (be32(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0) return LV_RES_INV;

    const uint32_t w = be32(head + 16);
    const uint32_t h = be32(head + 20);
    if (w == 0 || h == 0 || w > k_max_side || h > k_max_side) return LV_RES_INV;
    header->always_zero = 0;
    header->cf = LV_IMG_CF_TRUE_COLOR_ALPHA;
    header->w = w & 0xFFFF;
    header->h = h & 0xFFFF;
    return LV_RES_OK;
}

// Reads the whole file into a malloc'd buffer; nullptr if it cannot be read or is too large.
uint8_t* read_file(const char* path, uint32_t* size) {
    lv_fs_file_t f;
    if (lv_fs_open(&f, path, LV_FS_MODE_RD) != LV_FS_RES_OK) return nullptr;
    uint32_t n = 0;
    uint8_t* data = nullptr;
    if (lv_fs_seek(&f, 0, LV_FS_SEEK_END) == LV_FS_RES_OK && lv_fs_tell(&f, &n) == LV_FS_RES_OK && n > 0 &&
        n <= k_max_file_size && lv_fs_seek(&f, 0, LV_FS_SEEK_SET) == LV_FS_RES_OK) {
        data = static_cast<uint8_t*>(std::malloc(n));
        uint32_t br = 0;
        if (data != nullptr && (lv_fs_read(&f, data, n, &br) != LV_FS_RES_OK || br != n)) {
            std::free(data);
            data = nullptr;
        }
    }
    lv_fs_close(&f);
    *size = n;
    return data;
}

lv_res_t png_open(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    if (!is_png_file(dsc->src)) return LV_RES_INV;
    uint32_t size = 0;
    uint8_t* file = read_file((const char*)dsc->src, &size);
    if (file == nullptr) return LV_RES_INV;

    unsigned char* rgba = nullptr;
    unsigned w = 0, h = 0;
    unsigned err = lodepng_decode32(&rgba, &w, &h, file, size);
    std::free(file);
    if (err != 0) {
        LV_LOG_WARN("error %u: %s\n", err, lodepng_error_text(err));
        std::free(rgba);
        return LV_RES_INV;
    }
    if (w != dsc->header.w || h != dsc->header.h) { // the file changed since its header was read
        std::free(rgba);
        return LV_RES_INV;
    }

    // RGBA bytes to lv_color_t (B, G, R, A in memory), in place.
    const size_t px_count = (size_t)w * h;
    for (size_t i = 0; i < px_count; i++) {
        uint8_t* p = rgba + i * 4;
        const uint8_t r = p[0];
        p[0] = p[2];
        p[2] = r;
    }
    dsc->img_data = rgba;
    return LV_RES_OK;
}

void png_close(lv_img_decoder_t*, lv_img_decoder_dsc_t* dsc) {
    std::free(const_cast<uint8_t*>(dsc->img_data)); // lodepng allocates with malloc
    dsc->img_data = nullptr;
}

} // namespace

void lv_png_init(void) {
    lv_img_decoder_t* d = lv_img_decoder_create();
    if (d == nullptr) return;
    lv_img_decoder_set_info_cb(d, png_info);
    lv_img_decoder_set_open_cb(d, png_open);
    lv_img_decoder_set_close_cb(d, png_close);
}
