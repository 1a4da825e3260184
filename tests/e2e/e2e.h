// The base of the end-to-end tests: the real program through the harness (tools/harness), in a network
// of the test's own where the system allows it. Every wait is on an event (a log line, a page flip, a
// picture) with a generous limit, scaled for slow builds.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "harness.h"

namespace e2e {

using namespace harness;

// Pictures of one screen taken at different times differ in the clock only.
constexpr size_t kSameScreen = 600;

class E2E : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!use_private_network())
            std::fprintf(stderr, "note: no private network namespace here; using the host's loopback\n");
    }

    // Starts the program and waits for its first frame.
    static std::unique_ptr<Program> start(const Options& o = {}) {
        auto p = std::make_unique<Program>(o);
        EXPECT_TRUE(p->wait_frame(scaled(5000))) << "no first frame on the panel\n" << p->describe();
        return p;
    }

    // Sends `message` and waits for the screen manager's switch line; returns the picture of a frame
    // drawn after the switch. A flip counted once the line is out shows such a frame; the message sent
    // again sets the screen's texts again, so one more flip comes even on a screen that does not move.
    static std::vector<uint32_t> switch_to(Program& p, const Sender& s, const std::string& message, int from,
                                           int to) {
        EXPECT_TRUE(s.send(message));
        EXPECT_TRUE(p.wait_for(switch_line(from, to), 1, scaled(3000))) << p.describe();
        const Panel* panel = p.panel();
        if (panel == nullptr) return {};
        const uint32_t pans = panel->header().pan_count;
        EXPECT_TRUE(s.send(message));
        EXPECT_TRUE(p.wait([&] { return panel->header().pan_count != pans; }, scaled(3000)))
            << "no page flip\n"
            << p.describe();
        return panel->pixels();
    }

    // Waits until the panel shows `expected`, up to the clock's few pixels.
    static bool shows(Program& p, const std::vector<uint32_t>& expected) {
        return p.wait([&] { return differing(p.panel()->pixels(), expected) < kSameScreen; }, scaled(3000));
    }
};

} // namespace e2e
