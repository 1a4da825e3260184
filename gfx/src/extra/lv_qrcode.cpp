// The QR code widget: an image of size x size pixels whose source is a 1-bit indexed canvas
// (palette 0 = dark, 1 = light) that every update redraws.
#include <cstring>
#include <vector>

#include "extra/qr_render.h"
#include "lv_img.h"
#include "lv_log.h"
#include "lv_qrcode.h"
#include "widgets/img_widget.h"

namespace gfx {

namespace {

const ObjClass qrcode_class = {"lv_qrcode", &img_class};

// The image header stores each side in 11 bits.
constexpr lv_coord_t k_max_size = 2047;
constexpr uint32_t k_palette_bytes = 2 * sizeof(lv_color_t);

struct QrObj : ImgObj {
    ~QrObj() override { lv_img_cache_invalidate_src(&imgdsc); }
    const ObjClass& cls() const override { return qrcode_class; }

    uint8_t* bits() { return canvas.data() + k_palette_bytes; }

    std::vector<uint8_t> canvas; // the two palette colours, then the rows of bits
    lv_img_dsc_t imgdsc{};
    lv_coord_t size = 0;
    // The data the canvas shows a code of; empty when it shows none. Status messages repeat the same
    // text, and encoding (mask selection) is the costly part of an update.
    std::vector<uint8_t> shown;
    bool showing = false;
};

QrObj* as_qrcode(lv_obj_t* obj) {
    return obj_is_kind_of(obj, qrcode_class) ? static_cast<QrObj*>(obj) : nullptr;
}

lv_color_t opaque(lv_color_t c) {
    c.ch.alpha = 0xFF;
    return c;
}

} // namespace

} // namespace gfx

using gfx::QrObj;

extern "C" {

lv_obj_t* lv_qrcode_create(lv_obj_t* parent, lv_coord_t size, lv_color_t dark_color, lv_color_t light_color) {
    QrObj* qr = gfx::obj_create<QrObj>(parent);
    if (qr == nullptr) return nullptr;
    if (size <= 0 || size > gfx::k_max_size) {
        LV_LOG_WARN("QR code size %d is out of range", (int)size);
        return qr;
    }

    qr->size = size;
    qr->canvas.assign(gfx::k_palette_bytes + gfx::qr_row_bytes(size) * (size_t)size, 0xFF);
    const lv_color_t palette[2] = {gfx::opaque(dark_color), gfx::opaque(light_color)};
    std::memcpy(qr->canvas.data(), palette, sizeof(palette));

    lv_img_dsc_t& d = qr->imgdsc;
    d.header.always_zero = 0;
    d.header.cf = LV_IMG_CF_INDEXED_1BIT;
    d.header.w = (uint32_t)size;
    d.header.h = (uint32_t)size;
    d.data_size = (uint32_t)qr->canvas.size();
    d.data = qr->canvas.data();
    lv_img_set_src(qr, &d);
    return qr;
}

lv_res_t lv_qrcode_update(lv_obj_t* obj, const void* data, uint32_t data_len) {
    QrObj* qr = gfx::as_qrcode(obj);
    if (qr == nullptr || qr->canvas.empty()) return LV_RES_INV;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const bool same =
        qr->showing && data_len == qr->shown.size() &&
        (data_len == 0 || (bytes != nullptr && std::memcmp(bytes, qr->shown.data(), data_len) == 0));
    const bool ok = same || gfx::qr_render(qr->bits(), qr->size, bytes, data_len, nullptr);
    qr->showing = ok;
    if (ok && !same) qr->shown.assign(bytes, bytes + data_len);
    lv_img_cache_invalidate_src(&qr->imgdsc);
    lv_obj_invalidate(obj);
    return ok ? LV_RES_OK : LV_RES_INV;
}

void lv_qrcode_delete(lv_obj_t* obj) {
    if (gfx::as_qrcode(obj) != nullptr) lv_obj_del(obj);
}

} // extern "C"
