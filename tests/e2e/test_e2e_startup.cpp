// The program from the outside at start-up: what it prints, how it brings up the panel in each
// rotation mode, the modes it refuses, and start-ups that meet a missing asset set or a taken port.
#include "e2e_display.h"

#include <algorithm>
#include <regex>

using namespace e2e;

namespace {

const char* const c_banner =
    R"(LVGL_VER: 24012001 [A-Z][a-z]{2} [ 123][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n)";

// The first line that holds `what`, with its newline.
std::string line_with(const std::string& text, const std::string& what) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.find(what) != std::string::npos) return line + "\n";
    }
    return "";
}

size_t lines_starting(const std::string& text, const std::string& prefix) {
    size_t n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) n += line.rfind(prefix, 0) == 0;
    return n;
}

// The status bar's clock shows the time of the last status message; separate runs may differ there.
void hide_clock(std::vector<uint32_t>& px) {
    if (px.size() != 320u * 240u) return;
    for (size_t y = 0; y < 35; y++) {
        for (size_t x = 240; x < 320; x++) px[y * 320 + x] = 0;
    }
}

class Startup : public E2E {};

TEST_F(Startup, BannerSwitchLineAndAPanelThatFlipsPages) {
    auto d = start();
    const auto end = Clock::now() + scaled(3000);
    while (panel_->header().pan_count < 4 && Clock::now() < end) sleep_ms(5);

    const fakefb_header h = panel_->header();
    EXPECT_GE(h.pan_count, 4u) << "the welcome screen animates, each frame is shown by a page flip";
    EXPECT_TRUE(h.yoffset == 0 || h.yoffset == h.yres) << h.yoffset;
    EXPECT_EQ(h.blank_count, 1u);
    EXPECT_EQ(h.blank, 0) << "the panel is switched on (FB_BLANK_UNBLANK)";
    EXPECT_GT(lit(panel_->visible()), 5000u) << "the welcome screen is on the panel";
    EXPECT_TRUE(std::regex_match(d->out(), std::regex(c_banner))) << "the banner and nothing else\n"
                                                                  << d->describe();
    EXPECT_EQ(d->err(), "");

    ASSERT_TRUE(Sender().send(c_charging));
    ASSERT_TRUE(d->wait_out(switch_line(0, 7), 1, scaled(2000))) << d->describe();
    const std::string line = line_with(d->out(), switch_line(0, 7));
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\[User\]\t\([0-9]+\.[0-9]{3}, \+[0-9]+\)\t )"
                                                  R"(MainScreen_SwitchScreen: Switch Screen\[0\] -> \[7\] )"
                                                  R"(\t\(in mainscreen\.cpp line #[0-9]+\)\n)")))
        << line;
    EXPECT_TRUE(d->running()) << d->describe();
}

TEST_F(Startup, OutOfRangeModesPrintTheErrorLineAndExitWithOne) {
    for (const char* mode : {"5", "-1", "99999999999"}) {
        SCOPED_TRACE(mode);
        Display d(Options{{mode}});
        const std::optional<int> status = d.wait_exit(scaled(10000));
        ASSERT_TRUE(status.has_value()) << d.describe();
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << d.describe();
        EXPECT_EQ(d.out(), "error! none cmd! see README.md\r\n");
        EXPECT_EQ(d.err(), "");
        // The mode is checked after the framebuffer is set up: the panel was switched on, nothing drawn.
        Panel p(d.shm());
        ASSERT_TRUE(p.valid());
        EXPECT_EQ(p.header().blank, 0);
        EXPECT_EQ(p.header().pan_count, 0u);
        EXPECT_EQ(lit(p.visible()), 0u);
    }
}

// Mode 4 (no argument) flips pages, modes 0 ("abc" reads as 0) and 2 draw in place; all show the
// same idle screen, mode 2 turned by 180 degrees.
TEST_F(Startup, RotationModesShowTheSameScreen) {
    const struct {
        std::vector<std::string> args;
        bool flips;
        bool turned;
    } cases[] = {{{}, true, false}, {{"abc"}, false, false}, {{"2"}, false, true}};
    std::vector<uint32_t> reference;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no argument" : c.args[0]);
        auto d = start(Options{c.args});
        ASSERT_TRUE(Sender().send(c_idle));
        ASSERT_TRUE(d->wait_out(switch_line(0, 1), 1, scaled(2000))) << d->describe();
        std::vector<uint32_t> px = settled();
        EXPECT_EQ(panel_->header().pan_count > 0, c.flips);
        if (c.turned) std::reverse(px.begin(), px.end());
        hide_clock(px);
        if (reference.empty()) {
            reference = px;
            EXPECT_GT(lit(px), 5000u);
        } else {
            EXPECT_EQ(differing(px, reference), 0u);
        }
        EXPECT_TRUE(d->running()) << d->describe();
    }
}

TEST_F(Startup, WithoutAssetsItKeepsRunningAndHandlesMessages) {
    const std::string dir = sd_test_out_path("e2e/no-assets/.keep");
    auto d = start(Options{{}, dir.substr(0, dir.rfind('/'))});
    const std::vector<uint32_t> welcome = panel_->visible();
    Sender s;
    const struct {
        const std::string& msg;
        int from, to;
    } steps[] = {{c_idle, 0, 1}, {c_charging, 1, 7}, {c_fault, 7, 4}, {c_idle, 4, 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(switch_line(step.from, step.to));
        ASSERT_TRUE(s.send(step.msg));
        ASSERT_TRUE(d->wait_out(switch_line(step.from, step.to), 1, scaled(2000))) << d->describe();
    }
    const std::vector<uint32_t> idle = settled();
    EXPECT_GT(differing(idle, welcome), 1000u) << "the idle screen was drawn";
    EXPECT_GT(lit(idle), 500u) << "texts in the built-in font at least";
    EXPECT_NE(d->out().find("qorv_lvgl/assets/"), std::string::npos) << "the missing files are named";
    EXPECT_TRUE(d->running()) << d->describe();
}

// Another process holds port 20001: one Error line with the system's reason, and the program runs on.
TEST_F(Startup, TakenPortGivesOneErrorLineAndTheProgramRunsOn) {
    const int holder = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(c_port);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0) << std::strerror(errno);

    auto d = start();
    ASSERT_TRUE(d->wait_out("[Error]", 1, scaled(2000))) << d->describe();
    // The welcome screen goes on animating: two more frames.
    const uint32_t pans = panel_->header().pan_count;
    const auto end = Clock::now() + scaled(3000);
    while (panel_->header().pan_count < pans + 2 && Clock::now() < end) sleep_ms(5);
    EXPECT_GE(panel_->header().pan_count, pans + 2);
    const std::string out = d->out();
    EXPECT_EQ(lines_starting(out, "[Error]"), 1u) << out;
    const std::string line = line_with(out, "[Error]");
    EXPECT_NE(line.find("20001"), std::string::npos) << line;
    EXPECT_NE(line.find(std::strerror(EADDRINUSE)), std::string::npos) << line;
    EXPECT_TRUE(d->running()) << d->describe();
    close(holder);
}

} // namespace
