// QR code layout and drawing on the qrcodegen C library.
#include "extra/qr_render.h"

#include <algorithm>
#include <cstring>

#include <qrcodegen.h>

namespace gfx {

namespace {

// Bytes a byte-mode segment can carry at error correction MEDIUM, for versions 1 to 40.
constexpr uint16_t k_byte_capacity_medium[qrcodegen_VERSION_MAX] = {
    14,   26,   42,   62,   84,   106,  122,  152,  180,  213,  251,  287,  331,  362,
    412,  450,  504,  560,  624,  666,  711,  779,  857,  911,  997,  1059, 1125, 1190,
    1264, 1370, 1452, 1538, 1628, 1722, 1809, 1911, 1989, 2099, 2213, 2331};

// qrcodegen wants the data in a buffer it may also use as scratch space. The runtime runs on one
// thread, so one pair of buffers serves every widget.
uint8_t g_data_and_temp[qrcodegen_BUFFER_LEN_MAX];
uint8_t g_code[qrcodegen_BUFFER_LEN_MAX];

int smallest_version(uint32_t len) {
    for (int v = qrcodegen_VERSION_MIN; v <= qrcodegen_VERSION_MAX; v++) {
        if (len <= k_byte_capacity_medium[v - 1]) return v;
    }
    return 0;
}

void draw_modules(uint8_t* bits, int32_t size, const uint8_t* code, const QrLayout& l) {
    const uint32_t row_bytes = qr_row_bytes(size);
    for (int my = 0; my < l.modules; my++) {
        uint8_t* row = bits + (size_t)(l.margin + my * l.scale) * row_bytes;
        for (int mx = 0; mx < l.modules; mx++) {
            if (!qrcodegen_getModule(code, mx, my)) continue;
            const int x0 = l.margin + mx * l.scale;
            for (int x = x0; x < x0 + l.scale; x++) row[x >> 3] &= (uint8_t) ~(0x80u >> (x & 7));
        }
        // The other pixel rows of this module row are the same.
        for (int k = 1; k < l.scale; k++) std::memcpy(row + (size_t)k * row_bytes, row, row_bytes);
    }
}

} // namespace

bool qr_render(uint8_t* bits, int32_t size, const uint8_t* data, uint32_t len, QrLayout* layout) {
    if (layout != nullptr) *layout = QrLayout{};
    if (bits == nullptr || size <= 0) return false;
    std::memset(bits, 0xFF, (size_t)qr_row_bytes(size) * (size_t)size);
    if (len > qrcodegen_BUFFER_LEN_MAX || (data == nullptr && len > 0)) return false;

    QrLayout l;
    l.version = smallest_version(len);
    if (l.version == 0) return false;
    l.modules = 4 * l.version + 17;
    l.scale = size / l.modules;
    if (l.scale == 0) return false;
    // Room left over for whole modules of the same size goes to a larger version.
    const int extra = (size % l.modules) / (4 * l.scale);
    l.version = std::min(l.version + extra, qrcodegen_VERSION_MAX);

    if (len > 0) std::memcpy(g_data_and_temp, data, len);
    if (!qrcodegen_encodeBinary(g_data_and_temp, len, g_code, qrcodegen_Ecc_MEDIUM, l.version, l.version,
                                qrcodegen_Mask_AUTO, true)) {
        return false;
    }
    l.modules = qrcodegen_getSize(g_code);
    l.scale = size / l.modules;
    l.margin = (size - l.modules * l.scale) / 2;
    draw_modules(bits, size, g_code, l);
    if (layout != nullptr) *layout = l;
    return true;
}

} // namespace gfx
