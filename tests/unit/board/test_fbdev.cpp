// The framebuffer driver on the fake /dev/fb0. The test program runs itself again as a child with the
// fake framebuffer preloaded and a script of driver calls in FBDEV_TEST_SCRIPT; the parent then
// checks what the child printed and what landed in the framebuffer's file.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "board_child.h"
#include "display/fbdev.h"
#include "display/resolution.h"
#include "lvgl.h"
#include "test_paths.h"

namespace {

lv_color_t rgb(uint32_t hex) {
    lv_color_t c;
    c.ch.red = uint8_t(hex >> 16);
    c.ch.green = uint8_t(hex >> 8);
    c.ch.blue = uint8_t(hex);
    c.ch.alpha = 0xFF;
    return c;
}

// A picture that differs at every pixel and for every seed, so misplaced rows and stale pages show.
lv_color_t pattern(int x, int y, int seed) {
    return rgb(uint32_t((x * 7 + seed * 50) & 0xFF) << 16 | uint32_t((y * 5 + seed * 30) & 0xFF) << 8 |
               uint32_t(((x ^ y) + seed * 90) & 0xFF));
}

// ---- child side ----------------------------------------------------------------------------------

void child_flush(const lv_area_t& area, bool full, const std::vector<lv_color_t>& px) {
    lv_disp_draw_buf_t buf{};
    buf.flushing = 1;
    buf.flushing_last = 1;
    lv_disp_drv_t drv{};
    drv.draw_buf = &buf;
    drv.full_refresh = full ? 1 : 0;
    std::vector<lv_color_t> copy = px;
    fbdev_flush(&drv, &area, copy.data());
    std::printf("ready %d\n", buf.flushing == 0 ? 1 : 0);
}

// Commands, separated by ';':
//   init
//   flush X1 Y1 X2 Y2 SEED f|p      the pattern over the area, full refresh (f) or partial (p)
//   solid X1 Y1 X2 Y2 RRGGBB f|p    one colour over the area
//   row X Y f|p RRGGBB...           a one-row area of the given colours
void run_script(const std::string& script) {
    std::stringstream cmds(script);
    std::string line;
    while (std::getline(cmds, line, ';')) {
        std::istringstream in(line);
        std::string op, mode;
        in >> op;
        if (op == "init") {
            fbdev_init();
            std::printf("res %d %d\n", int(_g_my_ui_w_max), int(_g_my_ui_h_max));
            continue;
        }
        lv_area_t a{};
        std::vector<lv_color_t> px;
        if (op == "flush" || op == "solid") {
            std::string value;
            in >> a.x1 >> a.y1 >> a.x2 >> a.y2 >> value >> mode;
            for (int y = a.y1; y <= a.y2; y++) {
                for (int x = a.x1; x <= a.x2; x++) {
                    px.push_back(op == "flush" ? pattern(x, y, std::stoi(value))
                                               : rgb(uint32_t(std::stoul(value, nullptr, 16))));
                }
            }
        } else if (op == "row") {
            in >> a.x1 >> a.y1 >> mode;
            std::string hex;
            while (in >> hex) px.push_back(rgb(uint32_t(std::stoul(hex, nullptr, 16))));
            a.x2 = lv_coord_t(a.x1 + lv_coord_t(px.size()) - 1);
            a.y2 = a.y1;
        } else {
            std::printf("unknown command %s\n", op.c_str());
            continue;
        }
        child_flush(a, mode == "f", px);
    }
}

const bool s_is_child = [] {
    const char* script = std::getenv("FBDEV_TEST_SCRIPT");
    if (!script) return false;
    run_script(script);
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}();

// ---- parent side ---------------------------------------------------------------------------------

struct ScriptRun {
    ChildResult child;
    FakeFbFile fb;
    int count(const std::string& line) const {
        int n = 0;
        for (size_t at = child.out.find(line); at != std::string::npos; at = child.out.find(line, at + 1))
            n++;
        return n;
    }
};

// Runs a script on a fake framebuffer with the given FAKEFB_* settings.
ScriptRun run_on_fakefb(const std::string& name, const std::string& script, EnvList env) {
    const std::string shm = sd_test_out_path("fbdev/" + name + ".fb");
    std::remove(shm.c_str());
    env.emplace_back("FAKEFB_SHM", shm);
    env.emplace_back("FBDEV_TEST_SCRIPT", script);
    ScriptRun r;
    r.child = run_child({self_exe()}, env);
    r.fb = read_fakefb(shm);
    return r;
}

constexpr int W = 320;
constexpr int H = 240;
const std::string c_full = "0 0 319 239";

// Where 32-bit pixel (x, y) of the page starting at line page_y lies in the framebuffer memory.
size_t at32(const FakeFbFile& fb, int x, int y, uint32_t page_y) {
    return (size_t(y + int(page_y)) * fb.h.line_length / 4 + size_t(x) + fb.h.xoffset) * 4;
}

// The page at page_y shows want(x, y) at every pixel.
template <typename Want>
testing::AssertionResult page_holds(const FakeFbFile& fb, uint32_t page_y, Want want) {
    if (!fb.valid) return testing::AssertionFailure() << "no framebuffer file";
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            const size_t at = at32(fb, x, y, page_y);
            uint32_t got = 0;
            if (at + 4 <= fb.mem.size()) std::memcpy(&got, &fb.mem[at], 4);
            if (got != want(x, y)) {
                return testing::AssertionFailure()
                       << "page at line " << page_y << ", pixel (" << x << ", " << y << "): 0x" << std::hex
                       << got << " instead of 0x" << want(x, y);
            }
        }
    }
    return testing::AssertionSuccess();
}

bool all_zero(const std::vector<uint8_t>& mem) {
    for (uint8_t b : mem)
        if (b) return false;
    return true;
}

std::string perror_line(const char* what, int err) {
    return std::string(what) + ": " + std::strerror(err) + "\n";
}

TEST(Fbdev, EachFailedSetUpStepPrintsItsMessageAndLeavesNoFramebuffer) {
    struct Case {
        const char* fail;
        std::string message;
        const char* resolution; // what main would size the display by
    };
    const Case cases[] = {
        {"open", perror_line("Error: cannot open framebuffer device", ENOENT), "res 1024 600"},
        {"vscreeninfo", perror_line("Error reading variable information", EIO), "res 1024 600"},
        {"mmap", perror_line("Error: failed to map framebuffer device to memory", ENOMEM), "res 320 240"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        const ScriptRun r = run_on_fakefb(std::string("fail_") + c.fail, "init;flush " + c_full + " 1 f",
                                          {{"FAKEFB_FAIL", c.fail}});
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        EXPECT_EQ(r.child.err, c.message);
        EXPECT_EQ(r.count(c.resolution), 1) << r.child.out;
        // Without a framebuffer a flush draws nothing but still completes.
        EXPECT_EQ(r.count("ready 1"), 1) << r.child.out;
        if (r.fb.valid) {
            EXPECT_TRUE(all_zero(r.fb.mem));
            EXPECT_EQ(r.fb.h.pan_count, 0u);
        }
    }
}

TEST(Fbdev, SwitchesThePanelOnAndPublishesItsResolution) {
    const ScriptRun r = run_on_fakefb("resolution", "init", {{"FAKEFB_XRES", "480"}, {"FAKEFB_YRES", "272"}});
    ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
    EXPECT_EQ(r.child.out, "res 480 272\n");
    EXPECT_EQ(r.fb.h.blank_count, 1u);
    EXPECT_EQ(r.fb.h.blank, 0); // FB_BLANK_UNBLANK
}

// Areas outside the panel are rejected before any page flip; depths the driver does not know are not
// drawn. Every flush is completed.
TEST(Fbdev, NothingIsWrittenOutsideThePanelOrAtOtherDepths) {
    const std::tuple<std::string, EnvList, uint32_t> cases[] = {
        {"flush 320 0 330 10 1 f", {}, 0},
        {"flush 0 -10 10 -1 1 f", {}, 0},
        {"flush " + c_full + " 1 p", {{"FAKEFB_BPP", "12"}}, 0},
        {"flush " + c_full + " 2 f", {{"FAKEFB_BPP", "12"}}, 1}};
    for (const auto& [flush, env, pans] : cases) {
        SCOPED_TRACE(flush);
        const ScriptRun r = run_on_fakefb("reject", "init;" + flush, env);
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        EXPECT_EQ(r.count("ready 1"), 1) << r.child.out;
        ASSERT_TRUE(r.fb.valid);
        EXPECT_TRUE(all_zero(r.fb.mem)) << "something was written";
        EXPECT_EQ(r.fb.h.pan_count, pans);
    }
}

// Full refresh writes the page that is not shown and pans to it, when memory and virtual height hold two
// pages; otherwise it draws into the visible page. A failed pan is reported and the next frame goes to
// the other page all the same.
TEST(Fbdev, FullRefreshPages) {
    const std::string one_page = std::to_string(W * H * 4);
    struct Case {
        const char* name;
        EnvList env;
        int frames;
        uint32_t pans, yoffset;
        std::vector<std::pair<uint32_t, int>> pages; // page's first line, seed of the frame it holds
        std::string err;
    };
    const Case cases[] = {
        {"two pages", {}, 3, 3, H, {{H, 3}, {0, 2}}, ""},
        {"pans fail",
         {{"FAKEFB_FAIL", "pan"}},
         2,
         0,
         0,
         {{H, 1}, {0, 2}},
         "active fb swap failed\nactive fb swap failed\n"},
        {"one page of memory and height", {{"FAKEFB_YRES_VIRTUAL", "240"}}, 2, 0, 0, {{0, 2}}, ""},
        {"two pages of height, one of memory", {{"FAKEFB_SMEM_LEN", one_page}}, 2, 0, 0, {{0, 2}}, ""},
        {"two pages of memory, one of height",
         {{"FAKEFB_YRES_VIRTUAL", "240"}, {"FAKEFB_SMEM_LEN", "614400"}},
         2,
         0,
         0,
         {{0, 2}},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script = "init";
        for (int i = 1; i <= c.frames; i++) script += ";flush " + c_full + " " + std::to_string(i) + " f";
        const ScriptRun r = run_on_fakefb("pages", script, c.env);
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe(); // a write past the mapping would crash it
        EXPECT_EQ(r.child.err, c.err);
        EXPECT_EQ(r.count("ready 1"), c.frames);
        EXPECT_EQ(r.fb.h.pan_count, c.pans);
        EXPECT_EQ(r.fb.h.yoffset, c.yoffset);
        for (const auto& [page_y, seed] : c.pages)
            EXPECT_TRUE(
                page_holds(r.fb, page_y, [&](int x, int y) { return seed ? pattern(x, y, seed).full : 0; }));
    }
}

TEST(Fbdev, PartialAreasGoToTheVisiblePageAtTheOffsets) {
    struct Case {
        const char* name;
        EnvList env;
    };
    const Case cases[] = {
        {"32 bits, x offset, padded lines", {{"FAKEFB_XRES_VIRTUAL", "400"}, {"FAKEFB_XOFFSET", "16"}}},
        {"24 bits as 4-byte pixels", {{"FAKEFB_BPP", "24"}, {"FAKEFB_LINE_LENGTH", "1280"}}},
        {"visible page at yres", {{"FAKEFB_YOFFSET", "240"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Partial refresh never pans; an area reaching past the top-left corner is clipped to the panel.
        const ScriptRun r = run_on_fakefb("partial", "init;flush 10 20 29 39 4 p;flush -5 -3 9 4 5 p", c.env);
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        ASSERT_TRUE(r.fb.valid);
        EXPECT_EQ(r.fb.h.pan_count, 0u);
        EXPECT_TRUE(page_holds(r.fb, r.fb.h.yoffset, [](int x, int y) {
            if (x >= 10 && x <= 29 && y >= 20 && y <= 39) return pattern(x, y, 4).full;
            return x <= 9 && y <= 4 ? pattern(x, y, 5).full : 0;
        }));
        int written = 0;
        for (size_t at = 0; at + 4 <= r.fb.mem.size(); at += 4) {
            uint32_t got;
            std::memcpy(&got, &r.fb.mem[at], 4);
            written += got != 0;
        }
        EXPECT_EQ(written, 20 * 20 + 10 * 5) << "pixels written outside the areas";
    }
}

// Colours and what the 16-, 8- and 1-bit framebuffers hold for them.
struct Conversion {
    uint32_t colour;
    uint16_t rgb565;
    uint8_t rgb332;
    bool lit;
};
const Conversion c_conversions[] = {
    {0xFFFFFF, 0xFFFF, 0xFF, true}, {0x000000, 0x0000, 0x00, false}, {0xFF0000, 0xF800, 0xE0, false},
    {0x00FF00, 0x07E0, 0x1C, true}, {0x0000FF, 0x001F, 0x03, false}, {0x123456, 0x11AA, 0x05, false},
    {0x808080, 0x8410, 0x92, true}, {0x7F7F7F, 0x7BEF, 0x6D, false},
};

std::string conversion_script(int x, int y) {
    std::string s =
        "init;solid " + c_full + " FFFFFF p;row " + std::to_string(x) + " " + std::to_string(y) + " p";
    char hex[8];
    for (const Conversion& c : c_conversions) {
        std::snprintf(hex, sizeof hex, "%06X", unsigned(c.colour));
        s += std::string(" ") + hex;
    }
    return s;
}

// A row of the colours on white, at an offset page, x offset and padded lines; the 1-bit row crosses a
// byte boundary.
TEST(Fbdev, SixteenEightAndOneBitFramebuffersGetConvertedColour) {
    constexpr int x0 = 3, y0 = 50, xoff = 3;
    const int n = int(std::size(c_conversions));
    for (const int bpp : {16, 8, 1}) {
        SCOPED_TRACE(std::to_string(bpp) + " bits");
        const size_t line = size_t(W * bpp / 8 + 8);
        const ScriptRun r = run_on_fakefb("depth" + std::to_string(bpp), conversion_script(x0, y0),
                                          {{"FAKEFB_BPP", std::to_string(bpp)},
                                           {"FAKEFB_LINE_LENGTH", std::to_string(line)},
                                           {"FAKEFB_YOFFSET", "240"},
                                           {"FAKEFB_XRES_VIRTUAL", "330"},
                                           {"FAKEFB_XOFFSET", std::to_string(xoff)}});
        ASSERT_TRUE(r.child.exited_ok()) << r.child.describe();
        ASSERT_TRUE(r.fb.valid);
        auto value = [&](int x, int y) {
            const size_t bit = (size_t(y) + 240) * line * 8 + (size_t(x) + xoff) * size_t(bpp);
            uint32_t v = 0;
            std::memcpy(&v, &r.fb.mem[bit / 8], size_t(bpp + 7) / 8);
            return bpp == 1 ? (v >> (bit % 8)) & 1 : v;
        };
        int wrong = 0;
        for (int y = 0; y < H; y++) {
            for (int x = 0; x < W; x++) {
                uint32_t want = (1u << bpp) - 1; // white
                if (y == y0 && x >= x0 && x < x0 + n) {
                    const Conversion& c = c_conversions[x - x0];
                    want = bpp == 16 ? c.rgb565 : bpp == 8 ? c.rgb332 : c.lit;
                }
                if (value(x, y) != want && wrong++ == 0)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") 0x" << std::hex << value(x, y);
            }
        }
        EXPECT_EQ(wrong, 0);
        // The page at line 0 is not the visible one, and bits outside the panel are left alone.
        EXPECT_TRUE(all_zero({r.fb.mem.begin(), r.fb.mem.begin() + long(line) * 240}));
        EXPECT_EQ(r.fb.mem[240 * line] & (bpp == 1 ? 0x07 : 0xFF), 0);
    }
}

} // namespace
