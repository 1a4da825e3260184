// The UDP data source: one socket per process, non-blocking reads of one datagram into a 16384-byte
// buffer, and draining everything queued at one notification.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "input/data_src.h"
#include "input/data_udp.h"

namespace {

constexpr int c_bufSize = 16384;

// A receiving socket on the loopback that is the data source, and a sender connected to it.
class DataSrc : public testing::Test {
  protected:
    void SetUp() override {
        rx_ = socket(AF_INET, SOCK_DGRAM, 0);
        tx_ = socket(AF_INET, SOCK_DGRAM, 0);
        ASSERT_GE(rx_, 0);
        ASSERT_GE(tx_, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        ASSERT_EQ(bind(rx_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(getsockname(rx_, reinterpret_cast<sockaddr*>(&addr), &len), 0);
        ASSERT_EQ(connect(tx_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        data_src_init(rx_);
    }
    void TearDown() override {
        data_src_init(-1);
        close(rx_);
        close(tx_);
    }

    // Sends the datagrams and waits until the first one has arrived.
    void send_all(const std::vector<std::string>& datagrams) {
        for (const std::string& d : datagrams) ASSERT_EQ(send(tx_, d.data(), d.size(), 0), ssize_t(d.size()));
        pollfd p{rx_, POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 10000), 1);
    }

    int rx_ = -1;
    int tx_ = -1;
    std::vector<char> buf_ = std::vector<char>(c_bufSize, 0);
};

std::vector<std::string> s_handled;
void record(const char* text) {
    s_handled.emplace_back(text);
}

TEST_F(DataSrc, ReadsOneDatagramAndKeepsAtMost16383Characters) {
    struct Case {
        size_t sent;
        int16_t result;
        size_t kept;
    };
    const Case cases[] = {{0, 0, 0}, {16383, 16383, 16383}, {16384, 16384, 16383}, {20000, 16384, 16383}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sent) + " bytes sent");
        std::string text(c.sent, 'x');
        for (size_t i = 0; i < text.size(); i++) text[i] = char('a' + i % 26);
        send_all({text});
        std::fill(buf_.begin(), buf_.end(), 0);
        EXPECT_EQ(data_src_read_all(buf_.data(), c_bufSize), c.result);
        EXPECT_EQ(buf_[c_bufSize - 1], 0);
        EXPECT_EQ(std::string(buf_.data()), text.substr(0, c.kept));
        // The rest of a long datagram is gone with it: nothing is left to read.
        EXPECT_EQ(data_src_read_all(buf_.data(), c_bufSize), -1);
    }
}

TEST_F(DataSrc, EmptySocketIsNoInput) {
    EXPECT_NE(fcntl(rx_, F_GETFL) & O_NONBLOCK, 0) << "a read on an empty socket would block the loop";
    std::fill(buf_.begin(), buf_.end(), 'q');
    errno = 0;
    EXPECT_EQ(data_src_read_all(buf_.data(), c_bufSize), -1);
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_EQ(buf_[c_bufSize - 1], 0) << "the buffer always ends in a terminating zero";
}

TEST_F(DataSrc, OneNotificationHandlesEveryQueuedDatagramInOrder) {
    s_handled.clear();
    send_all({R"({"n":1})", R"({"n":2})"});
    EXPECT_EQ(data_src_drain(buf_.data(), c_bufSize, record), 2);
    EXPECT_EQ(s_handled, (std::vector<std::string>{R"({"n":1})", R"({"n":2})"}));

    // An empty datagram is skipped, a long one cut, and a short one after it carries nothing of it.
    s_handled.clear();
    const std::string long_text(20000, 'L');
    send_all({"first", "", long_text, "last"});
    EXPECT_EQ(data_src_drain(buf_.data(), c_bufSize, record), 3);
    EXPECT_EQ(s_handled, (std::vector<std::string>{"first", long_text.substr(0, 16383), "last"}));

    s_handled.clear();
    EXPECT_EQ(data_src_drain(buf_.data(), c_bufSize, record), 0) << "the socket is empty now";
    EXPECT_TRUE(s_handled.empty());
}

// udp_get_fd keeps its socket for the life of the process, so each case runs in a forked child. The
// graphics log writes to stdout, which the child points at stderr for the death-test matcher.
int free_udp_port() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    socklen_t len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool bound_to_any(int fd, int port) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    return getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0 && a.sin_family == AF_INET &&
           a.sin_addr.s_addr == htonl(INADDR_ANY) && ntohs(a.sin_port) == port;
}

// A second socket is refused; without descriptors there is none. Each logs one error line.
TEST(DataUdp, SecondSocketAndSocketFailureAreRefusedAndLogged) {
    const int port = free_udp_port();
    for (const bool no_descriptors : {false, true}) {
        SCOPED_TRACE(no_descriptors ? "no descriptors" : "second socket");
        EXPECT_EXIT(
            {
                std::fflush(stdout);
                dup2(2, 1);
                const rlimit none{};
                if (no_descriptors) setrlimit(RLIMIT_NOFILE, &none);
                const int fd = udp_get_fd(port);
                const bool ok = no_descriptors ? fd == -1 : bound_to_any(fd, port) && udp_get_fd(port) == -1;
                std::fflush(stdout);
                _exit(ok ? 0 : 1);
            },
            testing::ExitedWithCode(0),
            "^\\[Error\\]\t[^\n]*\t udp_get_fd: " +
                std::string(no_descriptors ? std::string("[^\n]*") + std::strerror(EMFILE)
                                           : "exist A UDP connect") +
                "[^\n]*\n$");
    }
}

} // namespace
