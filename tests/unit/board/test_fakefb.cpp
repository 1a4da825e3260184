// A smoke test of the fake framebuffer tools: a program draws on the device's second page and pans to
// it, and fakefb-png shows that page. The test program runs itself again on the fake framebuffer with a
// script of raw device calls in FAKEFB_TEST_SCRIPT.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <lodepng.h>

#include "board_child.h"
#include "test_paths.h"

namespace {

// Commands, separated by ';': open, mmap LEN, poke OFFSET VALUE, pan Y. Each but poke prints its
// result ("-1" on failure).
[[maybe_unused]] const bool s_is_child = [] {
    const char* script = std::getenv("FAKEFB_TEST_SCRIPT");
    if (!script) return false;
    int fd = -1;
    uint8_t* mem = nullptr;
    fb_var_screeninfo var{};
    std::stringstream cmds(script);
    for (std::string line; std::getline(cmds, line, ';');) {
        std::istringstream in(line);
        std::string op;
        in >> op;
        long r = 0;
        if (op == "open") {
            r = fd = open("/dev/fb0", O_RDWR);
        } else if (op == "mmap") {
            size_t len = 0;
            in >> len;
            void* p = mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            mem = p == MAP_FAILED ? nullptr : static_cast<uint8_t*>(p);
            r = mem ? 0 : -1;
        } else if (op == "poke") {
            size_t at = 0;
            unsigned value = 0;
            in >> at >> value;
            mem[at] = uint8_t(value);
            continue;
        } else if (op == "pan") {
            r = ioctl(fd, FBIOGET_VSCREENINFO, &var);
            in >> var.yoffset;
            if (r == 0) r = ioctl(fd, FBIOPAN_DISPLAY, &var);
        }
        std::printf("%s %d\n", op.c_str(), r < 0 ? -1 : 0);
    }
    std::fflush(stdout);
    _exit(0);
}();

TEST(FakeFb, AProgramDrawsOnTheSecondPageAndPngShowsIt) {
    // A red pixel at (3, 2) of the second page of a 32-bit framebuffer (bytes blue, green, red, alpha).
    const size_t at = (240 + 2) * 320 * 4 + 3 * 4 + 2;
    const std::string script =
        "open;mmap " + std::to_string(320 * 480 * 4) + ";poke " + std::to_string(at) + " 255;pan 240;pan 241";
    const std::string shm = sd_test_out_path("fakefb/32.fb");
    std::remove(shm.c_str());
    const ChildResult r = run_child({self_exe()}, {{"FAKEFB_SHM", shm}, {"FAKEFB_TEST_SCRIPT", script}});
    ASSERT_TRUE(r.exited_ok()) << r.describe();
    EXPECT_EQ(r.out, "open 0\nmmap 0\npan 0\npan -1\n") << "a pan beyond the virtual height is refused";
    const FakeFbFile fb = read_fakefb(shm);
    ASSERT_TRUE(fb.valid);
    EXPECT_EQ(fb.h.yoffset, 240u);

    const std::string png = shm + ".png";
    const ChildResult to_png = run_child({FAKEFB_PNG, shm, png}, {});
    ASSERT_TRUE(to_png.exited_ok()) << to_png.describe();
    std::vector<unsigned char> rgb;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng::decode(rgb, w, h, png, LCT_RGB, 8), 0u);
    ASSERT_EQ(w * h, 320u * 240u);
    const unsigned char* px = &rgb[(2 * 320 + 3) * 3];
    EXPECT_TRUE(px[0] == 255 && px[1] == 0 && px[2] == 0 && px[3] == 0) << "a red pixel, a black neighbour";
}

} // namespace
