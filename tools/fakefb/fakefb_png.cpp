// fakefb-png: writes what the fake framebuffer's panel shows (the page at the current offsets) as an
// RGB PNG. Usage: fakefb-png <shm file> <out.png>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <lodepng.h>

#include "fb_page.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <shm file> <out.png>\n", argc > 0 ? argv[0] : "fakefb-png");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    FbPage page;
    if (!fb_page_read(file.data(), file.size(), &page)) {
        std::fprintf(stderr, "%s: not a fake framebuffer, or one whose depth or size cannot be shown\n",
                     argv[1]);
        return 1;
    }
    std::vector<uint8_t> rgb;
    rgb.reserve(page.px.size() * 3);
    for (uint32_t p : page.px) rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    const unsigned err = lodepng::encode(argv[2], rgb, page.w, page.h, LCT_RGB, 8);
    if (err) {
        std::fprintf(stderr, "%s: %s\n", argv[2], lodepng_error_text(err));
        return 1;
    }
    return 0;
}
