// The program as a systemd service: READY=1 once the first frame is shown and watchdog pings while its
// loop turns.
#include "e2e_display.h"

#include <poll.h>
#include <sys/un.h>

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
    Display d(Options{{}, PROGRAM_DIR, {{"NOTIFY_SOCKET", notify.path()}, {"WATCHDOG_USEC", "200000"}}});
    ASSERT_EQ(notify.next(scaled(10000)), "READY=1") << d.describe();
    EXPECT_GT(Panel(d.shm()).header().pan_count, 0u) << "READY=1 before the first frame was shown";
    for (int i = 0; i < 3; i++) ASSERT_EQ(notify.next(scaled(2000)), "WATCHDOG=1") << d.describe();

    d.pause();
    while (!notify.next(Ms(0)).empty()) {
    }
    EXPECT_EQ(notify.next(Ms(1000)), "") << "a ping from a stopped process";
    d.resume();
    EXPECT_EQ(notify.next(scaled(2000)), "WATCHDOG=1") << d.describe();
    EXPECT_EQ(d.out().find("[Error]"), std::string::npos) << d.describe();
}

} // namespace
