// The program as a systemd service: READY=1 once the first frame is shown and watchdog pings while its
// loop turns; the settings that choose the address it listens on and the senders it reads.
#include "e2e.h"

#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "test_paths.h"

using namespace e2e;

namespace {

// Stands in for systemd's notification socket: one datagram per state.
class NotifySocket {
  public:
    NotifySocket() : path_(sd_test_out_path("e2e/notify-" + std::to_string(getpid()))) {
        unlink(path_.c_str());
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path_.c_str(), sizeof a.sun_path - 1);
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0) << path_;
    }
    ~NotifySocket() {
        close(fd_);
        unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }

    // The next state sent, or "" when none came within `timeout`.
    std::string next(Ms timeout) const {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, int(timeout.count())) != 1) return "";
        char buf[256];
        const ssize_t n = recv(fd_, buf, sizeof buf, 0);
        return n > 0 ? std::string(buf, size_t(n)) : "";
    }

  private:
    std::string path_;
    int fd_ = -1;
};

class Service : public E2E {};

TEST_F(Service, ReadyAfterTheFirstFrameAndWatchdogPingsOnlyWhileRunning) {
    NotifySocket notify;
    Program d({.env = {{"NOTIFY_SOCKET", notify.path()}, {"WATCHDOG_USEC", "200000"}}});
    ASSERT_EQ(notify.next(scaled(10000)), "READY=1") << d.describe();
    ASSERT_NE(d.panel(), nullptr);
    EXPECT_GT(d.panel()->header().pan_count, 0u) << "READY=1 before the first frame was shown";
    for (int i = 0; i < 3; i++) ASSERT_EQ(notify.next(scaled(2000)), "WATCHDOG=1") << d.describe();

    d.pause();
    while (!notify.next(Ms(0)).empty()) {
    }
    EXPECT_EQ(notify.next(Ms(1000)), "") << "a ping from a stopped process";
    d.resume();
    EXPECT_EQ(notify.next(scaled(2000)), "WATCHDOG=1") << d.describe();
    EXPECT_EQ(d.out().find("[Error]"), std::string::npos) << d.describe();
}

// Three charging messages from a refused sender, then an idle one from an accepted sender, all queued
// while the program is stopped: only the idle one is shown, and one Warn line counts the other three.
TEST_F(Service, BindAddressAndAllowedSenders) {
    const struct {
        std::vector<std::pair<std::string, std::string>> env;
        const char *bound, *to, *accepted, *refused; // bound and sent to; accepted and refused senders
        size_t errors;
    } cases[] = {
        {{}, "0.0.0.0", "127.0.0.1", "127.0.0.2", nullptr, 0},
        {{{"STATUS_DISPLAY_BIND", "127.0.0.2"}}, "127.0.0.2", "127.0.0.2", "127.0.0.1", nullptr, 0},
        // clang-format off
        {{{"STATUS_DISPLAY_ALLOW", " 127.0.0.3, 127.0.0.2"}}, "0.0.0.0", "127.0.0.1", "127.0.0.2", "127.0.0.1", 0},
        // Malformed settings fall back to the board itself.
        {{{"STATUS_DISPLAY_BIND", "127.0.0.256"}, {"STATUS_DISPLAY_ALLOW", "127.0.0.2 controller"}},
         "127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.2", 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env.empty() ? "defaults" : c.env[0].first + "=" + c.env[0].second);
        auto d = start({.env = c.env});
        EXPECT_EQ(udp_bound_address(), c.bound);

        d->pause();
        if (c.refused) {
            const Sender refused(c.refused, c.to);
            for (int i = 0; i < 3; i++) ASSERT_TRUE(refused.send(status_message(screen_state(7))));
        }
        ASSERT_TRUE(Sender(c.accepted, c.to).send(status_message(screen_state(1))));
        d->resume();

        ASSERT_TRUE(d->wait_for(switch_line(0, 1), 1, scaled(3000))) << d->describe();
        if (c.refused) {
            const std::string warn =
                std::string("dropped 3 datagrams from senders not allowed (last from ") + c.refused + ")";
            ASSERT_TRUE(d->wait_for(warn, 1, scaled(3000))) << d->describe();
        }
        const std::string out = d->out();
        EXPECT_EQ(count_of(out, "-> [7]"), 0u) << out;
        EXPECT_EQ(count_of(out, "[Warn]"), c.refused ? 1u : 0u) << out;
        EXPECT_EQ(count_of(out, "[Error]"), c.errors) << out;
    }
}

} // namespace
