// The program from the outside at start-up: what it prints, how it brings up the panel in each
// rotation mode, the modes it refuses, and a start-up that meets a taken port. (Without the asset set:
// tests/golden/test_screens_golden.cpp.)
#include "e2e.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <regex>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace e2e;

namespace {

// Whether a whole line of `text` matches `pattern`.
bool has_line(const std::string& text, const std::string& pattern) {
    return std::regex_search(text, std::regex("(^|\n)" + pattern + "\n"));
}

// The status bar's clock shows the time of the last status message; separate runs may differ there.
std::vector<uint32_t> without_clock(std::vector<uint32_t> px, bool turned) {
    if (turned) std::reverse(px.begin(), px.end());
    if (px.size() != 320u * 240u) return px;
    for (size_t y = 0; y < 35; y++)
        for (size_t x = 240; x < 320; x++) px[y * 320 + x] = 0;
    return px;
}

class Startup : public E2E {};

TEST_F(Startup, BannerWelcomeScreenAndSwitchLine) {
    auto p = start();
    const Panel& panel = *p->panel();
    ASSERT_TRUE(p->wait([&] { return panel.header().pan_count >= 4; }, scaled(3000)))
        << "the welcome screen animates, each frame shown by a page flip";
    EXPECT_GT(lit(panel.pixels()), 5000u) << "the welcome screen is on the panel";
    const std::regex banner(
        R"(LVGL_VER: 24012001 [A-Z][a-z]{2} [ 123][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n)");
    EXPECT_TRUE(std::regex_match(p->out(), banner)) << "the banner and nothing else\n" << p->describe();
    EXPECT_EQ(p->err(), "");

    switch_to(*p, Sender(), status_message(screen_state(7)), 0, 7);
    EXPECT_TRUE(has_line(p->out(), R"(\[User\]\t\([0-9]+\.[0-9]{3}, \+[0-9]+\)\t MainScreen_SwitchScreen: )"
                                   R"(Switch Screen\[0\] -> \[7\] \t\(in mainscreen\.cpp line #[0-9]+\))"))
        << p->out();
    EXPECT_TRUE(p->running()) << p->describe();
}

TEST_F(Startup, OutOfRangeModesPrintTheErrorLineAndExitWithOne) {
    for (const char* mode : {"5", "-1", "99999999999"}) {
        SCOPED_TRACE(mode);
        Program p({.args = {mode}});
        const std::optional<int> status = p.wait_exit(scaled(10000));
        ASSERT_TRUE(status.has_value()) << p.describe();
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << p.describe();
        EXPECT_EQ(p.out(), "error! none cmd! see README.md\r\n");
        EXPECT_EQ(p.err(), "");
        // The mode is checked after the framebuffer is set up: the panel was switched on, nothing drawn.
        const Panel* panel = p.panel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->header().blank, 0);
        EXPECT_EQ(panel->header().pan_count, 0u);
        EXPECT_EQ(lit(panel->pixels()), 0u);
    }
}

// Mode 4 (no argument) flips pages, modes 0 ("abc" reads as 0) and 2 draw in place; all show the
// same idle screen, mode 2 turned by 180 degrees.
TEST_F(Startup, RotationModesShowTheSameScreen) {
    const struct {
        std::vector<std::string> args;
        bool turned;
    } cases[] = {{{}, false}, {{"abc"}, false}, {{"2"}, true}};
    std::vector<uint32_t> reference;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no argument" : c.args[0]);
        auto p = start({.args = c.args});
        const std::string idle = status_message(screen_state(1));
        if (reference.empty()) {
            reference = without_clock(switch_to(*p, Sender(), idle, 0, 1), false);
            EXPECT_GT(lit(reference), 5000u);
            continue;
        }
        ASSERT_TRUE(Sender().send(idle));
        ASSERT_TRUE(p->wait_for(switch_line(0, 1), 1, scaled(3000))) << p->describe();
        EXPECT_TRUE(
            p->wait([&] { return without_clock(p->panel()->pixels(), c.turned) == reference; }, scaled(3000)))
            << differing(without_clock(p->panel()->pixels(), c.turned), reference) << " pixels differ";
        EXPECT_EQ(p->panel()->header().pan_count, 0u) << "drawn in place";
        EXPECT_TRUE(p->running()) << p->describe();
    }
}

// Another process holds port 20001: one Error line with the system's reason, and the program runs on.
TEST_F(Startup, TakenPortGivesOneErrorLineAndTheProgramRunsOn) {
    const int holder = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(kPort);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0) << std::strerror(errno);

    auto p = start();
    ASSERT_TRUE(p->wait_for("[Error]", 1, scaled(3000))) << p->describe();
    // The welcome screen goes on animating: two more frames.
    const uint32_t pans = p->panel()->header().pan_count;
    EXPECT_TRUE(p->wait([&] { return p->panel()->header().pan_count >= pans + 2; }, scaled(3000)));
    const std::string out = p->out();
    EXPECT_EQ(count_of(out, "[Error]"), 1u) << out;
    EXPECT_TRUE(has_line(out, std::string(R"(\[Error\].*20001.*)") + std::strerror(EADDRINUSE) + ".*"))
        << out;
    EXPECT_TRUE(p->running()) << p->describe();
    close(holder);
}

} // namespace
