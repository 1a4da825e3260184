// Messages through the real program: a day of status messages through the screens, datagrams that
// queue up together, the datagram size the program keeps, and the overlay's count-down.
#include "e2e.h"

#include <algorithm>

using namespace e2e;

namespace {

// A screen switch changes far more pixels than an animation or the clock.
constexpr size_t kScreenChange = 1500;

// `message` with spaces after its opening brace, `size` bytes in all.
std::string padded(const std::string& message, size_t size) {
    return "{" + std::string(size - message.size(), ' ') + message.substr(1);
}

size_t green(const std::vector<uint32_t>& px) {
    return size_t(std::count_if(px.begin(), px.end(), [](uint32_t p) {
        return (p >> 8 & 0xFF) > 0xC0 && (p >> 16) < 0x40 && (p & 0xFF) < 0x40;
    }));
}

class Messages : public E2E {};

TEST_F(Messages, ADayThroughTheScreens) {
    auto p = start();
    const Sender s("127.0.0.2");                        // any sender is heard
    std::vector<uint32_t> shown = p->panel()->pixels(); // the welcome screen
    std::vector<uint32_t> idle;
    int current = 0;
    for (const int screen : {1, 5, 2, 7, 8, 9, 6, 3, 1, 10, 4, 1}) {
        SCOPED_TRACE(switch_line(current, screen));
        const std::vector<uint32_t> now =
            switch_to(*p, s, status_message(screen_state(screen)), current, screen);
        EXPECT_GT(differing(now, shown), kScreenChange) << "the panel shows another screen";
        if (screen == 1 && idle.empty()) idle = now;
        if (screen == 1) {
            EXPECT_LT(differing(now, idle), kSameScreen) << "the same message, the same picture";
        }
        shown = now;
        current = screen;
    }
    ASSERT_FALSE(HasFailure()) << p->describe();

    // Queued while the program is stopped, both are handled at its next wake-up, in the order sent.
    p->pause();
    ASSERT_TRUE(s.send(status_message(screen_state(4))));
    ASSERT_TRUE(s.send(status_message(screen_state(7))));
    const bool queued = p->wait([] { return udp_rx_queue() > 0; }, scaled(3000));
    p->resume();
    ASSERT_TRUE(queued);
    ASSERT_TRUE(p->wait_for(switch_line(4, 7), 1, scaled(3000))) << p->describe();
    const std::string out = p->out();
    EXPECT_LT(out.find(switch_line(1, 4)), out.find(switch_line(4, 7))) << out;

    // The program keeps the first 16383 bytes of a datagram: a message that ends beyond them is not
    // handled (the probe after it is), one that ends within them is.
    const std::string idle_message = status_message(screen_state(1));
    ASSERT_TRUE(s.send(padded(idle_message, 16384)));
    ASSERT_TRUE(s.send(trigger_message("probe")));
    ASSERT_TRUE(p->wait_for("TRIGGER probe", 1, scaled(3000))) << p->describe();
    EXPECT_EQ(p->count(switch_line(7, 1)), 0u);
    switch_to(*p, s, padded(idle_message, 16383), 7, 1);
    EXPECT_EQ(p->err(), "");
}

// A trigger with "seconds" N hides N ticks of its one-second timer after it arrives: never sooner than
// N seconds after it was sent.
TEST_F(Messages, AnOverlayWithACountDownHidesAboutThatManySecondsLater) {
    auto p = start();
    const Sender s;
    switch_to(*p, s, status_message(screen_state(1)), 0, 1);
    const Panel& panel = *p->panel();
    const size_t half = 320 * 240 / 2;
    const auto sent = Clock::now();
    ASSERT_TRUE(s.send(trigger_message("Test", {.msg = "1", .seconds = "3"})));
    ASSERT_TRUE(p->wait([&] { return green(panel.pixels()) > half; }, scaled(3000)))
        << "the test overlay is not shown in green\n"
        << p->describe();
    ASSERT_TRUE(p->wait([&] { return green(panel.pixels()) < half; }, scaled(5000) + Ms(3000)))
        << "the overlay is not hidden again\n"
        << p->describe();
    EXPECT_GE(Clock::now() - sent, Ms(3000 - 50));
    EXPECT_EQ(p->count("Set trigger timer and start it"), 1u);
}

} // namespace
