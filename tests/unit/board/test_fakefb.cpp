// The fake framebuffer's tools at work: the device a program sees (geometry, mapping, the kernel's pan
// bounds), and fakefb-png, which reads the page shown the way the desktop viewer and the harness do
// (tools/fakefb/fb_page.h). The test program runs itself again on the fake framebuffer with a script
// of raw device calls in FAKEFB_TEST_SCRIPT.
#include <gtest/gtest.h>

#include <cerrno>
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

// Commands, separated by ';': open, var, mmap LEN, poke OFFSET VALUE, pan X Y. Each prints its result
// ("-1 <errno>" on failure).
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
        } else if (op == "var") {
            r = ioctl(fd, FBIOGET_VSCREENINFO, &var);
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
            in >> var.xoffset >> var.yoffset;
            r = ioctl(fd, FBIOPAN_DISPLAY, &var);
        }
        if (r < 0)
            std::printf("%s -1 %d\n", op.c_str(), errno);
        else if (op == "var")
            std::printf("var %ux%u virtual %ux%u bpp %u\n", var.xres, var.yres, var.xres_virtual,
                        var.yres_virtual, var.bits_per_pixel);
        else
            std::printf("%s 0\n", op.c_str());
    }
    std::fflush(stdout);
    _exit(0);
}();

TEST(FakeFb, AProgramDrawsOnTheSecondPageAndPngShowsIt) {
    // A red pixel at (3, 2) of the second page, its bytes as the display driver writes them.
    const struct {
        const char* bpp;
        std::vector<unsigned> red;
    } cases[] = {{"32", {0, 0, 255, 0}}, {"16", {0, 248}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.bpp) + " bits per pixel");
        const size_t line = 320 * c.red.size(), at = (240 + 2) * line + 3 * c.red.size();
        std::string script = "open;var;mmap " + std::to_string(line * 480);
        for (size_t i = 0; i < c.red.size(); i++)
            script += ";poke " + std::to_string(at + i) + " " + std::to_string(c.red[i]);
        script += ";pan 0 240;pan 0 241;mmap " + std::to_string(line * 480 + 8192);
        const std::string shm = sd_test_out_path("fakefb/" + std::string(c.bpp) + ".fb");
        std::remove(shm.c_str());
        const ChildResult r = run_child(
            {self_exe()}, {{"FAKEFB_SHM", shm}, {"FAKEFB_BPP", c.bpp}, {"FAKEFB_TEST_SCRIPT", script}});
        ASSERT_TRUE(r.exited_ok()) << r.describe();
        const std::string einval = std::to_string(EINVAL);
        EXPECT_EQ(r.out, "open 0\nvar 320x240 virtual 320x480 bpp " + std::string(c.bpp) +
                             "\nmmap 0\npan 0\npan -1 " + einval + "\nmmap -1 " + einval + "\n")
            << "a pan beyond the virtual resolution and a mapping beyond the memory are refused";
        const FakeFbFile fb = read_fakefb(shm);
        ASSERT_TRUE(fb.valid);
        EXPECT_EQ(fb.h.yoffset, 240u);
        EXPECT_EQ(fb.h.pan_count, 1u);

        const std::string png = shm + ".png";
        const ChildResult to_png = run_child({FAKEFB_PNG, shm, png}, {});
        ASSERT_TRUE(to_png.exited_ok()) << to_png.describe();
        std::vector<unsigned char> rgb;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(rgb, w, h, png, LCT_RGB, 8), 0u);
        ASSERT_EQ(w * h, 320u * 240u);
        const unsigned char* px = &rgb[(2 * 320 + 3) * 3];
        EXPECT_TRUE(px[0] == 255 && px[1] == 0 && px[2] == 0) << "the pixel is red";
        EXPECT_EQ(px[3], 0) << "its neighbour is black";
    }
    const ChildResult bad =
        run_child({FAKEFB_PNG, sd_test_out_path("fakefb/none.fb"), sd_test_out_path("x.png")}, {});
    EXPECT_TRUE(WIFEXITED(bad.status) && WEXITSTATUS(bad.status) == 1) << bad.describe();
}

} // namespace
