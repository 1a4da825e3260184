#include "my_bmp.h"

#include <cstdint>
#include <cstring>

#include "lvgl.h"

namespace {

constexpr uint32_t kHeaderSize = 54;
constexpr int32_t kMaxSide = 2047; // the image header keeps 11 bits per side

struct BmpHeader {
    uint8_t raw[kHeaderSize];
    uint32_t pixel_offset;
    int32_t width;
    int32_t height; // negative: rows stored top-down
    uint16_t bpp;
};

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

bool is_bmp_path(const void* src) {
    return lv_img_src_get_type(src) == LV_IMG_SRC_FILE &&
           std::strcmp(lv_fs_get_ext(static_cast<const char*>(src)), "bmp") == 0;
}

// Opens the file and reads its 54-byte header; the file stays open on success.
bool read_header(const char* path, lv_fs_file_t* f, BmpHeader* h) {
    if (lv_fs_open(f, path, LV_FS_MODE_RD) != LV_FS_RES_OK) return false;
    uint32_t br = 0;
    if (lv_fs_read(f, h->raw, kHeaderSize, &br) != LV_FS_RES_OK || br != kHeaderSize) {
        lv_fs_close(f);
        return false;
    }
    h->pixel_offset = le32(h->raw + 10);
    h->width = int32_t(le32(h->raw + 18));
    h->height = int32_t(le32(h->raw + 22));
    h->bpp = le16(h->raw + 28);
    return true;
}

// Rows stored top-down carry a negative height; the image height is its magnitude.
int32_t image_height(const BmpHeader& h) {
    return h.height < 0 ? -h.height : h.height;
}

bool size_acceptable(const BmpHeader& h) {
    return h.width > 0 && h.width <= kMaxSide && h.height >= -kMaxSide && h.height <= kMaxSide;
}

void convert_row(const uint8_t* in, lv_color_t* out, int32_t width, uint16_t bpp) {
    for (int32_t x = 0; x < width; x++) {
        lv_color_t& c = out[x];
        switch (bpp) {
        case 8: {
            uint8_t v = in[x];
            c.ch.blue = v & 0xF8;
            c.ch.green = v & 0xFC;
            c.ch.red = v & 0xF8;
            c.ch.alpha = 0xFF;
            break;
        }
        case 16: {
            uint16_t p = le16(in + 2 * x);
            c.ch.blue = uint8_t((p & 0x1F) << 3);
            c.ch.green = uint8_t(((p >> 5) & 0x3F) << 2);
            c.ch.red = uint8_t(((p >> 11) & 0x1F) << 3);
            c.ch.alpha = 0xFF;
            break;
        }
        case 24:
            c.ch.blue = in[3 * x];
            c.ch.green = in[3 * x + 1];
            c.ch.red = in[3 * x + 2];
            c.ch.alpha = 0xFF;
            break;
        default: // 32
            c.ch.blue = in[4 * x];
            c.ch.green = in[4 * x + 1];
            c.ch.red = in[4 * x + 2];
            c.ch.alpha = in[4 * x + 3];
            break;
        }
    }
}

lv_res_t decoder_info(lv_img_decoder_t* decoder, const void* src, lv_img_header_t* header) {
    LV_UNUSED(decoder);
    if (!is_bmp_path(src)) return LV_RES_INV;
    lv_fs_file_t f;
    BmpHeader h;
    if (!read_header(static_cast<const char*>(src), &f, &h)) return LV_RES_INV;
    lv_fs_close(&f);
    if (!size_acceptable(h)) return LV_RES_INV;
    header->always_zero = 0;
    header->w = uint32_t(h.width);
    header->h = uint32_t(image_height(h));
    header->cf = h.bpp == 32 ? LV_IMG_CF_TRUE_COLOR_ALPHA : LV_IMG_CF_TRUE_COLOR;
    return LV_RES_OK;
}

// Decodes every row into `out`; false on a short read or a failed row allocation.
bool decode_rows(lv_fs_file_t* f, const BmpHeader& h, lv_color_t* out) {
    const int32_t height = image_height(h);
    const uint32_t row_size = ((uint32_t(h.bpp) * uint32_t(h.width) + 31) / 32) * 4;
    const uint32_t row_bytes = uint32_t(h.width) * (h.bpp / 8);
    for (int32_t i = 0; i < height; i++) {
        const uint32_t stored = h.height < 0 ? uint32_t(i) : uint32_t(height - 1 - i);
        const uint64_t pos = uint64_t(h.pixel_offset) + uint64_t(row_size) * stored;
        if (pos > UINT32_MAX) return false;
        lv_fs_seek(f, uint32_t(pos), LV_FS_SEEK_SET);
        auto* row = static_cast<uint8_t*>(lv_mem_alloc(row_bytes));
        if (row == nullptr) return false;
        uint32_t br = 0;
        const bool ok = lv_fs_read(f, row, row_bytes, &br) == LV_FS_RES_OK && br == row_bytes;
        if (ok) convert_row(row, out + size_t(i) * size_t(h.width), h.width, h.bpp);
        lv_mem_free(row);
        if (!ok) return false;
    }
    return true;
}

lv_res_t decoder_open(lv_img_decoder_t* decoder, lv_img_decoder_dsc_t* dsc) {
    LV_UNUSED(decoder);
    if (!is_bmp_path(dsc->src)) return LV_RES_INV;
    lv_fs_file_t f;
    BmpHeader h;
    if (!read_header(static_cast<const char*>(dsc->src), &f, &h)) return LV_RES_INV;
    if (h.raw[0] != 0x42 || h.raw[1] != 0x4D || !size_acceptable(h)) {
        lv_fs_close(&f);
        return LV_RES_INV;
    }
    if (h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32) {
        dsc->error_msg = "Color depth mismatch";
        lv_fs_close(&f);
        return LV_RES_INV;
    }
    const size_t bytes = size_t(h.width) * size_t(image_height(h)) * sizeof(lv_color_t);
    auto* img_data = static_cast<lv_color_t*>(lv_mem_alloc(bytes));
    if (img_data == nullptr) {
        // The allocation check reports like the library's assertion, then the image is declined.
        _lv_log_add(LV_LOG_LEVEL_ERROR, __FILE__, 163, "decoder_open", "Asserted at expression: %s (%s)",
                    "img_data != NULL", "Out of memory");
        lv_fs_close(&f);
        return LV_RES_INV;
    }
    const bool ok = decode_rows(&f, h, img_data);
    lv_fs_close(&f);
    if (!ok) {
        lv_mem_free(img_data);
        return LV_RES_INV;
    }
    dsc->img_data = reinterpret_cast<const uint8_t*>(img_data);
    return LV_RES_OK;
}

void decoder_close(lv_img_decoder_t* decoder, lv_img_decoder_dsc_t* dsc) {
    LV_UNUSED(decoder);
    if (dsc->img_data != nullptr) {
        lv_mem_free(const_cast<uint8_t*>(dsc->img_data));
        dsc->img_data = nullptr;
    }
}

} // namespace

void my_bmp_init(void) {
    lv_img_decoder_t* dec = lv_img_decoder_create();
    lv_img_decoder_set_info_cb(dec, decoder_info);
    lv_img_decoder_set_open_cb(dec, decoder_open);
    lv_img_decoder_set_close_cb(dec, decoder_close);
}
