// The fake framebuffer itself: geometry and failures from the environment, the kernel's pan bounds,
// the mapping, pass-through of everything else, and fakefb-png's read-back. The test program runs
// itself again with the library preloaded and a script of raw device calls in FAKEFB_TEST_SCRIPT.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <lodepng.h>

#include "board_child.h"
#include "test_paths.h"

namespace {

// ---- child side ----------------------------------------------------------------------------------

struct Device {
    int fd = -1;
    uint8_t* mem = nullptr;
    fb_var_screeninfo var{};
};

void print_result(const char* op, long r) {
    if (r < 0)
        std::printf("%s -1 %d\n", op, errno);
    else
        std::printf("%s %ld\n", op, r);
}

// Commands, separated by ';': open, open64, blank, fix, var, mmap LEN, poke OFFSET VALUE, pan X Y,
// close, passthrough. Each prints one line: its result, or "-1 <errno>".
void run_command(Device& d, const std::string& line) {
    std::istringstream in(line);
    std::string op;
    in >> op;
    errno = 0;
    if (op == "open") {
        d.fd = open("/dev/fb0", O_RDWR);
        print_result("open", d.fd < 0 ? -1 : 0);
    } else if (op == "open64") {
        d.fd = open64("/dev/fb0", O_RDWR);
        print_result("open64", d.fd < 0 ? -1 : 0);
    } else if (op == "blank") {
        print_result("blank", ioctl(d.fd, FBIOBLANK, FB_BLANK_UNBLANK));
    } else if (op == "fix") {
        fb_fix_screeninfo f{};
        if (ioctl(d.fd, FBIOGET_FSCREENINFO, &f) < 0) return print_result("fix", -1);
        std::printf("fix smem_len=%u line_length=%u\n", f.smem_len, f.line_length);
    } else if (op == "var") {
        if (ioctl(d.fd, FBIOGET_VSCREENINFO, &d.var) < 0) return print_result("var", -1);
        const fb_var_screeninfo& v = d.var;
        std::printf("var %ux%u virtual %ux%u offset %u,%u bpp %u red %u/%u green %u/%u blue %u/%u\n", v.xres,
                    v.yres, v.xres_virtual, v.yres_virtual, v.xoffset, v.yoffset, v.bits_per_pixel,
                    v.red.offset, v.red.length, v.green.offset, v.green.length, v.blue.offset, v.blue.length);
    } else if (op == "mmap") {
        size_t len = 0;
        in >> len;
        void* p = mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_SHARED, d.fd, 0);
        if (p != MAP_FAILED) d.mem = static_cast<uint8_t*>(p);
        print_result("mmap", p == MAP_FAILED ? -1 : 0);
    } else if (op == "poke") {
        size_t at = 0;
        unsigned value = 0;
        in >> at >> value;
        d.mem[at] = uint8_t(value);
    } else if (op == "pan") {
        in >> d.var.xoffset >> d.var.yoffset;
        print_result("pan", ioctl(d.fd, FBIOPAN_DISPLAY, &d.var));
    } else if (op == "close") {
        print_result("close", close(d.fd));
    } else if (op == "passthrough") {
        // Files, descriptors and mappings that are not the device behave as usual.
        const int null_fd = open("/dev/null", O_WRONLY);
        int pipe_fds[2];
        int queued = -1;
        const bool piped = pipe(pipe_fds) == 0 && write(pipe_fds[1], "abc", 3) == 3 &&
                           ioctl(pipe_fds[0], FIONREAD, &queued) == 0;
        void* anon = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        std::printf("passthrough null=%d fionread=%d anon=%d\n", null_fd >= 0, piped ? queued : -1,
                    anon != MAP_FAILED);
    }
}

[[maybe_unused]] const bool s_is_child = [] {
    const char* script = std::getenv("FAKEFB_TEST_SCRIPT");
    if (!script) return false;
    Device d;
    std::stringstream cmds(script);
    std::string line;
    while (std::getline(cmds, line, ';')) run_command(d, line);
    std::fflush(stdout);
    _exit(0);
}();

// ---- parent side ---------------------------------------------------------------------------------

struct ScriptRun {
    ChildResult child;
    FakeFbFile fb;
};

ScriptRun run_script(const std::string& name, const std::string& script, EnvList env) {
    const std::string shm = sd_test_out_path("fakefb/" + name + ".fb");
    std::remove(shm.c_str());
    env.emplace_back("FAKEFB_SHM", shm);
    env.emplace_back("FAKEFB_TEST_SCRIPT", script);
    ScriptRun r;
    r.child = run_child({self_exe()}, env, true);
    r.fb = read_fakefb(shm);
    return r;
}

std::string err_line(const char* op, int err) {
    return std::string(op) + " -1 " + std::to_string(err) + "\n";
}

TEST(FakeFb, GeometryComesFromTheEnvironment) {
    struct Case {
        const char* name;
        EnvList env;
        std::string fix, var;
    };
    const Case cases[] = {
        {"defaults: 320 x 240, 32 bits, two pages",
         {},
         "fix smem_len=614400 line_length=1280\n",
         "var 320x240 virtual 320x480 offset 0,0 bpp 32 red 16/8 green 8/8 blue 0/8\n"},
        {"16 bits",
         {{"FAKEFB_XRES", "480"}, {"FAKEFB_YRES", "272"}, {"FAKEFB_BPP", "16"}},
         "fix smem_len=522240 line_length=960\n",
         "var 480x272 virtual 480x544 offset 0,0 bpp 16 red 11/5 green 5/6 blue 0/5\n"},
        {"everything given",
         {{"FAKEFB_BPP", "8"},
          {"FAKEFB_XRES_VIRTUAL", "400"},
          {"FAKEFB_YRES_VIRTUAL", "300"},
          {"FAKEFB_LINE_LENGTH", "416"},
          {"FAKEFB_SMEM_LEN", "65536"},
          {"FAKEFB_XOFFSET", "5"},
          {"FAKEFB_YOFFSET", "7"}},
         "fix smem_len=65536 line_length=416\n",
         "var 320x240 virtual 400x300 offset 5,7 bpp 8 red 5/3 green 2/3 blue 0/2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptRun r = run_script("geometry", "open;fix;var", c.env);
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        EXPECT_EQ(r.child.out, "open 0\n" + c.fix + c.var);
        ASSERT_TRUE(r.fb.valid) << "the file holds the header page and smem_len bytes";
        EXPECT_EQ(r.fb.h.blank, -1);
        EXPECT_EQ(r.fb.h.pan_count, 0u);
    }
}

TEST(FakeFb, EachSetUpStepCanBeMadeToFail) {
    const std::string script = "open;blank;fix;var;mmap 614400;pan 0 240";
    const std::string ok[] = {"open 0\n",
                              "blank 0\n",
                              "fix smem_len=614400 line_length=1280\n",
                              "var 320x240 virtual 320x480 offset 0,0 bpp 32 red 16/8 green 8/8 blue 0/8\n",
                              "mmap 0\n",
                              "pan 0\n"};
    struct Case {
        const char* fail;
        int step; // index of the failing step in the script
        const char* op;
        int err;
    };
    const Case cases[] = {
        {"blank", 1, "blank", EINVAL}, {"fscreeninfo", 2, "fix", EIO}, {"vscreeninfo", 3, "var", EIO},
        {"mmap", 4, "mmap", ENOMEM},   {"pan", 5, "pan", EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        const ScriptRun r = run_script("fail", script, {{"FAKEFB_FAIL", c.fail}});
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        std::string want;
        for (int i = 0; i < 6; i++) want += i == c.step ? err_line(c.op, c.err) : ok[i];
        EXPECT_EQ(r.child.out, want);
    }
    const ScriptRun r = run_script("fail_open", "open", {{"FAKEFB_FAIL", "blank,open"}});
    EXPECT_EQ(r.child.out, err_line("open", ENOENT));
    EXPECT_FALSE(r.fb.valid) << "a device that fails to open leaves no file";
}

TEST(FakeFb, PanStaysInsideTheVirtualResolution) {
    const ScriptRun r = run_script("pan", "open;var;pan 0 240;pan 0 241;pan 1 0", {});
    ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
    EXPECT_NE(
        r.child.out.find("pan 0\npan -1 " + std::to_string(EINVAL) + "\npan -1 " + std::to_string(EINVAL)),
        std::string::npos)
        << r.child.out;
    EXPECT_EQ(r.fb.h.yoffset, 240u);
    EXPECT_EQ(r.fb.h.xoffset, 0u);
    EXPECT_EQ(r.fb.h.pan_count, 1u);

    // Panning reports the new page to the next FBIOGET_VSCREENINFO.
    const ScriptRun s = run_script("pan_read", "open;var;pan 0 240;var", {});
    EXPECT_NE(s.child.out.find("offset 0,240"), std::string::npos) << s.child.out;
}

TEST(FakeFb, MappingShowsTheFramebufferMemoryAndNoMore) {
    const ScriptRun r = run_script("mmap", "open;mmap 614400;poke 0 17;poke 614399 42", {});
    ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
    EXPECT_EQ(r.child.out, "open 0\nmmap 0\n");
    ASSERT_TRUE(r.fb.valid);
    EXPECT_EQ(r.fb.mem.front(), 17);
    EXPECT_EQ(r.fb.mem.back(), 42);
    EXPECT_EQ(r.fb.h.magic, FAKEFB_MAGIC) << "the header is not part of the mapping";

    const ScriptRun big = run_script("mmap_big", "open;mmap 618496", {});
    EXPECT_EQ(big.child.out, "open 0\n" + err_line("mmap", EINVAL));
}

TEST(FakeFb, EverythingElsePassesThrough) {
    const ScriptRun r = run_script("passthrough", "open64;passthrough;close;blank", {});
    ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
    // After close the descriptor number is no longer the device: the ioctl goes to the system, which
    // refuses it (the errno depends on who answers, the kernel or an emulator).
    EXPECT_EQ(r.child.out.rfind("open64 0\npassthrough null=1 fionread=3 anon=1\nclose 0\nblank -1 ", 0), 0u)
        << r.child.out;
}

// ---- fakefb-png ----------------------------------------------------------------------------------

struct Pixel {
    uint32_t x, y;
    uint8_t r, g, b;
};

// Writes a fake framebuffer file by hand: 6 x 4 panel, visible page at (xoffset 1, yoffset 4).
std::string write_fb(const std::string& name, uint32_t bpp, uint32_t line_length,
                     const std::vector<std::pair<size_t, uint8_t>>& bytes) {
    fakefb_header h{};
    h.magic = FAKEFB_MAGIC;
    h.version = FAKEFB_VERSION;
    h.data_offset = 4096;
    h.xres = 6;
    h.yres = 4;
    h.xres_virtual = 8;
    h.yres_virtual = 8;
    h.xoffset = 1;
    h.yoffset = 4;
    h.bits_per_pixel = bpp;
    h.line_length = line_length;
    h.smem_len = line_length * 8;
    std::vector<uint8_t> file(h.data_offset + h.smem_len, 0);
    std::memcpy(file.data(), &h, sizeof h);
    for (const auto& [at, value] : bytes) file[h.data_offset + at] = value;
    const std::string path = sd_test_out_path("fakefb/png_" + name + ".fb");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return path;
}

TEST(FakeFb, PngShowsTheVisiblePageInEveryDepth) {
    struct Case {
        const char* name;
        uint32_t bpp, line_length;
        std::vector<std::pair<size_t, uint8_t>> bytes;
        std::vector<Pixel> want;
    };
    // Panel pixel (x, y) lies at framebuffer column x + 1, line y + 4.
    const Case cases[] = {
        {"32",
         32,
         40,
         {{(4 * 10 + 1) * 4 + 0, 0x30},
          {(4 * 10 + 1) * 4 + 1, 0x20},
          {(4 * 10 + 1) * 4 + 2, 0x10},
          {(7 * 10 + 6) * 4 + 2, 0xFF}},
         {{0, 0, 0x10, 0x20, 0x30}, {5, 3, 0xFF, 0, 0}, {1, 0, 0, 0, 0}}},
        {"24 as 4-byte pixels", 24, 32, {{(5 * 8 + 3) * 4 + 1, 0xFF}}, {{2, 1, 0, 0xFF, 0}}},
        {"16",
         16,
         16,
         {{(4 * 8 + 1) * 2 + 1, 0xF8},
          {(4 * 8 + 2) * 2, 0xE0},
          {(4 * 8 + 2) * 2 + 1, 0x07},
          {(4 * 8 + 3) * 2, 0x1F}},
         {{0, 0, 0xFF, 0, 0}, {1, 0, 0, 0xFF, 0}, {2, 0, 0, 0, 0xFF}}},
        {"8",
         8,
         8,
         {{4 * 8 + 1, 0xE0}, {4 * 8 + 2, 0x1C}, {4 * 8 + 3, 0x03}, {4 * 8 + 4, 0x92}},
         {{0, 0, 0xFF, 0, 0}, {1, 0, 0, 0xFF, 0}, {2, 0, 0, 0, 0xFF}, {3, 0, 0x91, 0x91, 0xAA}}},
        {"1",
         1,
         2,
         {{4 * 2, 0x02}, {7 * 2, 0x80}},
         {{0, 0, 0xFF, 0xFF, 0xFF}, {1, 0, 0, 0, 0}, {6 - 1, 3, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string fb = write_fb(std::to_string(c.bpp), c.bpp, c.line_length, c.bytes);
        const std::string png = fb + ".png";
        std::remove(png.c_str());
        const ChildResult r = run_child({FAKEFB_PNG, fb, png}, {}, false);
        ASSERT_TRUE(r.exited_ok()) << r.describe();
        std::vector<unsigned char> image;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(image, w, h, png, LCT_RGB, 8), 0u);
        ASSERT_EQ(w, 6u);
        ASSERT_EQ(h, 4u);
        for (const Pixel& p : c.want) {
            const unsigned char* px = &image[(p.y * w + p.x) * 3];
            EXPECT_EQ(px[0], p.r) << "red of (" << p.x << ", " << p.y << ")";
            EXPECT_EQ(px[1], p.g) << "green of (" << p.x << ", " << p.y << ")";
            EXPECT_EQ(px[2], p.b) << "blue of (" << p.x << ", " << p.y << ")";
        }
    }
}

TEST(FakeFb, PngRefusesWhatItCannotShow) {
    const std::string not_fb = sd_test_out_path("fakefb/not_a_framebuffer.fb");
    std::ofstream(not_fb) << "hello";
    const ChildResult bad = run_child({FAKEFB_PNG, not_fb, not_fb + ".png"}, {}, false);
    EXPECT_TRUE(WIFEXITED(bad.status) && WEXITSTATUS(bad.status) == 1) << bad.describe();
    EXPECT_NE(bad.err.find("not a fake framebuffer"), std::string::npos);

    const ChildResult usage = run_child({FAKEFB_PNG}, {}, false);
    EXPECT_TRUE(WIFEXITED(usage.status) && WEXITSTATUS(usage.status) == 2) << usage.describe();
}

} // namespace
