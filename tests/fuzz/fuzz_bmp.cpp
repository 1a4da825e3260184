// The BMP decoder on arbitrary files: each input is written to a .bmp file, which then goes through
// the decoder chain as an image source (lv_img_decoder_get_info, _open, _close), the way an image
// widget asks for it. A decoded image is read whole, so a buffer smaller than its header says is caught.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz_app.h"
#include "lvgl.h"

namespace {

std::string g_path; // the temporary file
std::string g_src;  // the same file as an image source ("A:" + path)

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Memory-backed where possible: rewriting a file on ext4 forces a disk write each time.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    if (dir == nullptr || *dir == '\0') dir = "/tmp";
    g_path = std::string(dir) + "/fuzz_bmp_XXXXXX.bmp";
    const int fd = mkstemps(g_path.data(), 4);
    if (fd < 0) {
        std::perror("mkstemps");
        std::abort();
    }
    close(fd);
    g_src = "A:" + g_path;
    std::atexit([] { unlink(g_path.c_str()); });
    fuzz_app_init(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();

    lv_img_header_t header;
    const lv_res_t info = lv_img_decoder_get_info(g_src.c_str(), &header);

    lv_img_decoder_dsc_t dsc;
    if (lv_img_decoder_open(&dsc, g_src.c_str(), lv_color_black(), 0) != LV_RES_OK) return 0;
    // The decoder that opened the file also described it.
    if (info != LV_RES_OK) {
        std::fprintf(stderr, "opened an image whose information was refused\n");
        std::abort();
    }
    const bool true_color =
        dsc.header.cf == LV_IMG_CF_TRUE_COLOR || dsc.header.cf == LV_IMG_CF_TRUE_COLOR_ALPHA;
    if (dsc.img_data != nullptr && true_color) {
        const size_t px = size_t(dsc.header.w) * size_t(dsc.header.h);
        const auto* colors = reinterpret_cast<const lv_color_t*>(dsc.img_data);
        uint32_t sum = 0;
        for (size_t i = 0; i < px; i++) sum += colors[i].full;
        // Keeps the reads from being optimised away.
        if (sum == 0x5A5A5A5Au) std::fputc(' ', stderr);
    }
    lv_img_decoder_close(&dsc);
    return 0;
}
