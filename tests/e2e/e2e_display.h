// The real status-display for the end-to-end tests: started on the fake framebuffer with a time limit,
// fed datagrams on 127.0.0.1:20001, read back through what it prints and what its panel shows, and
// killed when the test ends. The tests of a program share one process; ctest runs each test alone.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fakefb_shm.h"
#include "test_paths.h"

namespace e2e {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

constexpr int c_port = 20001;

// How much slower than a native build the program runs here: the armhf tests run it under qemu-arm,
// and sanitizer builds check every memory access.
#if defined(__arm__)
constexpr int c_slowdown = 10;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int c_slowdown = 4;
#else
constexpr int c_slowdown = 1;
#endif

inline Ms scaled(int ms) {
    return Ms(ms * c_slowdown);
}

inline void sleep_ms(int ms) {
    std::this_thread::sleep_for(Ms(ms));
}

// Status messages of the kinds the controller sends.
inline const std::string c_idle =
    R"({"global":{"sysconfigInfo":{"timezone":56}},"conns":[{"m1768Info":{"runState":"S_Idle_Standby",)"
    R"("connStatus":"Unplug"},"stateMngrInfo":{"runState":"Idle"},"sessionConnInfo":{"ramData":)"
    R"({"_status":"Available"}}}]})";
inline const std::string c_fault =
    R"({"global":{"sysconfigInfo":{"timezone":56}},"conns":[{"m1768Info":{"runState":"S_Idle_Standby",)"
    R"("connStatus":"Unplug"},"sessionConnInfo":{"ramData":{"_status":"Faulted"}}}]})";
inline const std::string c_charging =
    R"({"global":{"sysconfigInfo":{"timezone":56}},"conns":[{"meterInfo":{"voltage":[2301,2299,2302],)"
    R"("current":[160,58,61],"Q":[0,0,0,123456]},"m1768Info":{"runState":"S_RUN","connStatus":"Charging"},)"
    R"("sessionConnInfo":{"ramData":{"_status":"Charging"},"saveData":{"_meterStart":120000,)"
    R"("_startTime":1767220000}}}]})";

inline std::string switch_line(int from, int to) {
    return "Switch Screen[" + std::to_string(from) + "] -> [" + std::to_string(to) + "]";
}

inline size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) n++;
    return n;
}

// Moves this test process into a network namespace of its own with the loopback up, so that port
// 20001 is ours alone. Where that is not allowed the host's loopback is used. Returns whether the
// namespace is private.
inline bool use_private_network() {
    static const bool private_net = [] {
        const int host_ns = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        if (host_ns < 0 || unshare(CLONE_NEWNET) != 0) {
            if (host_ns >= 0) close(host_ns);
            return false;
        }
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq ifr{};
        std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
        bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
        ifr.ifr_flags = short(ifr.ifr_flags | IFF_UP);
        up = up && ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
        if (fd >= 0) close(fd);
        if (!up) setns(host_ns, CLONE_NEWNET); // a namespace without loopback is of no use
        close(host_ns);
        return up;
    }();
    return private_net;
}

// Sends datagrams to the program's port on the loopback, from a chosen loopback address if given.
class Sender {
  public:
    explicit Sender(const char* to = "127.0.0.1", const char* from = nullptr)
        : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        to_.sin_family = AF_INET;
        to_.sin_port = htons(c_port);
        inet_pton(AF_INET, to, &to_.sin_addr);
        if (from) {
            sockaddr_in a{};
            a.sin_family = AF_INET;
            inet_pton(AF_INET, from, &a.sin_addr);
            if (bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) std::perror(from);
        }
        // Room for bursts: the program drains the queue between them.
        const int size = 1 << 20;
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    }
    ~Sender() {
        if (fd_ >= 0) close(fd_);
    }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool send(std::string_view datagram) const {
        return sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to_),
                      sizeof to_) == ssize_t(datagram.size());
    }

  private:
    int fd_;
    sockaddr_in to_{};
};

// Bytes waiting in the receive queue of the socket bound to the port (from /proc/net/udp); -1 when no
// socket holds the port.
inline long udp_rx_queue(int port = c_port) {
    std::ifstream in("/proc/net/udp");
    std::string line;
    std::getline(in, line); // header
    char want[8];
    std::snprintf(want, sizeof want, ":%04X", unsigned(port));
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues;
        fields >> slot >> local >> remote >> state >> queues;
        if (local.size() < 5 || local.compare(local.size() - 5, 5, want) != 0) continue;
        const size_t colon = queues.find(':');
        if (colon == std::string::npos) continue;
        return std::strtol(queues.c_str() + colon + 1, nullptr, 16);
    }
    return -1;
}

// The fake framebuffer's file, mapped read-only while the program writes it.
class Panel {
  public:
    explicit Panel(const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st {};
        if (fstat(fd, &st) == 0 && size_t(st.st_size) >= sizeof(fakefb_header)) {
            void* p = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
            if (p != MAP_FAILED) {
                base_ = static_cast<const uint8_t*>(p);
                len_ = size_t(st.st_size);
            }
        }
        close(fd);
        const fakefb_header h = header();
        if (base_ && (h.magic != FAKEFB_MAGIC || h.bits_per_pixel != 32 ||
                      uint64_t(h.data_offset) + h.smem_len > len_)) {
            unmap();
        }
    }
    ~Panel() { unmap(); }
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool valid() const { return base_ != nullptr; }

    fakefb_header header() const {
        fakefb_header h{};
        if (base_) {
            __atomic_thread_fence(__ATOMIC_SEQ_CST);
            std::memcpy(&h, base_, sizeof h);
        }
        return h;
    }

    // The visible page as 0xRRGGBB per pixel, taken while no page flip happened.
    std::vector<uint32_t> visible() const {
        std::vector<uint32_t> px;
        if (!base_) return px;
        for (int attempt = 0; attempt < 100; attempt++) {
            const fakefb_header h = header();
            px.assign(size_t(h.xres) * h.yres, 0);
            for (uint32_t y = 0; y < h.yres; y++) {
                const uint8_t* row =
                    base_ + h.data_offset + size_t(y + h.yoffset) * h.line_length + h.xoffset * 4u;
                std::memcpy(&px[size_t(y) * h.xres], row, size_t(h.xres) * 4);
            }
            if (header().pan_count == h.pan_count) break;
        }
        for (uint32_t& p : px) p &= 0xFFFFFFu; // B, G, R and an unused byte in memory
        return px;
    }

  private:
    void unmap() {
        if (base_) munmap(const_cast<uint8_t*>(base_), len_);
        base_ = nullptr;
    }
    const uint8_t* base_ = nullptr;
    size_t len_ = 0;
};

inline size_t differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); i++) n += a[i] != b[i];
    return n;
}

inline size_t lit(const std::vector<uint32_t>& px) {
    size_t n = 0;
    for (uint32_t p : px) n += p != 0;
    return n;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string test_name() {
    const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
    return t ? std::string(t->test_suite_name()) + "." + t->name() : "e2e";
}

struct Options {
    std::vector<std::string> args; // after the program's name
    std::string dir = PROGRAM_DIR; // working directory: the build directory holds the asset set
    std::vector<std::pair<std::string, std::string>> env;
    int time_limit_s = 60 * c_slowdown;
};

// One run of the program. The destructor kills it if it still runs; a time limit (SIGALRM, which
// survives exec) and the death of this process end it too, so nothing is left behind.
class Display {
  public:
    explicit Display(const Options& o = {}) {
        static int runs = 0;
        const std::string base = "e2e/" + test_name() + "." + std::to_string(runs++);
        out_path_ = sd_test_out_path(base + ".stdout");
        err_path_ = sd_test_out_path(base + ".stderr");
        shm_path_ = "/dev/shm/sd-e2e-" + std::to_string(getpid()) + "-" + std::to_string(runs);
        const int out = open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out < 0 || err < 0) return;
        std::fflush(stdout);
        std::fflush(stderr);
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) exec_child(o, out, err, parent);
        close(out);
        close(err);
    }
    ~Display() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            int st = 0;
            while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
            }
        }
        unlink(shm_path_.c_str());
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool started() const { return pid_ > 0; }
    const std::string& shm() const { return shm_path_; }
    std::string out() const { return read_file(out_path_); }
    std::string err() const { return read_file(err_path_); }

    bool running() {
        if (pid_ <= 0 || status_) return false;
        int st = 0;
        if (waitpid(pid_, &st, WNOHANG) == pid_) status_ = st;
        return !status_;
    }

    // Waits for the program to end; its wait status, or nothing if it still runs after `timeout`.
    std::optional<int> wait_exit(Ms timeout) {
        const auto end = Clock::now() + timeout;
        while (running() && Clock::now() < end) sleep_ms(2);
        return status_;
    }

    // Waits until standard output holds `text` at least `times` times.
    bool wait_out(const std::string& text, size_t times, Ms timeout) {
        const auto end = Clock::now() + timeout;
        for (;;) {
            if (count_of(out(), text) >= times) return true;
            if (!running() || Clock::now() >= end) return count_of(out(), text) >= times;
            sleep_ms(2);
        }
    }

    // Stops the whole process and waits until it is stopped; continues it (datagrams queue up meanwhile).
    void pause() {
        kill(pid_, SIGSTOP);
        int st = 0;
        while (waitpid(pid_, &st, WUNTRACED) < 0 && errno == EINTR) {
        }
        if (!WIFSTOPPED(st)) status_ = st;
    }
    void resume() const { kill(pid_, SIGCONT); }

    // For failure messages: how it ended and what it printed.
    std::string describe() {
        std::string s = "program: ";
        if (running()) {
            s += "running";
        } else if (status_ && WIFEXITED(*status_)) {
            s += "exit status " + std::to_string(WEXITSTATUS(*status_));
        } else if (status_ && WIFSIGNALED(*status_)) {
            s += "killed by signal " + std::to_string(WTERMSIG(*status_));
        } else {
            s += "not started";
        }
        return s + "\n--- stdout (" + out_path_ + ")\n" + out() + "--- stderr\n" + err();
    }

  private:
    [[noreturn]] void exec_child(const Options& o, int out, int err, pid_t parent) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(126);
        alarm(unsigned(o.time_limit_s));
        dup2(out, 1);
        dup2(err, 2);
        if (chdir(o.dir.c_str()) != 0) {
            std::perror(o.dir.c_str());
            _exit(126);
        }
        for (const auto& [name, value] : o.env) setenv(name.c_str(), value.c_str(), 1);
        setenv("FAKEFB_SHM", shm_path_.c_str(), 1);
        setenv("LD_PRELOAD", FAKEFB_LIB, 1);
        // The fake framebuffer is not instrumented; ahead of the sanitizer runtime that is intended.
        const char* asan = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);

        std::vector<std::string> argv{SD_PROGRAM};
        argv.insert(argv.end(), o.args.begin(), o.args.end());
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        execv(args[0], args.data());
#if defined(__arm__)
        // Under user-mode emulation the kernel cannot start the board's binaries itself: start them
        // through the emulator, with the preload for the guest only.
        if (errno == ENOEXEC) {
            unsetenv("LD_PRELOAD");
            std::string preload = std::string("LD_PRELOAD=") + FAKEFB_LIB;
            std::vector<char*> q{const_cast<char*>("qemu-arm"), const_cast<char*>("-E"), preload.data()};
            q.insert(q.end(), args.begin(), args.end());
            execvp(q[0], q.data());
        }
#endif
        std::perror(args[0]);
        _exit(127);
    }

    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string out_path_, err_path_, shm_path_;
};

// The base of every end-to-end test: a private network where possible, and helpers that wait for
// the program and its panel.
class E2E : public testing::Test {
  protected:
    void SetUp() override {
        if (!use_private_network()) {
            std::fprintf(stderr, "note: no private network namespace here; using the host's loopback\n");
        }
    }

    // Starts the program and waits for its first frame; the UDP port is bound before the first
    // frame, so datagrams sent from then on arrive.
    std::unique_ptr<Display> start(const Options& o = {}) {
        auto d = std::make_unique<Display>(o);
        EXPECT_TRUE(d->started());
        EXPECT_TRUE(d->wait_out("LVGL_VER: ", 1, scaled(5000))) << d->describe();
        const auto end = Clock::now() + scaled(5000);
        while (d->running() && Clock::now() < end) {
            panel_ = std::make_unique<Panel>(d->shm());
            if (panel_->valid() && frame_shown(*panel_)) return d;
            sleep_ms(5);
        }
        ADD_FAILURE() << "no first frame on the panel\n" << d->describe();
        return d;
    }

    // Waits until the panel has stopped changing for `quiet_ms`; returns that picture.
    std::vector<uint32_t> settled(int quiet_ms = 200) {
        std::vector<uint32_t> last = panel_->visible();
        auto since = Clock::now();
        const auto end = since + scaled(5000);
        while (Clock::now() < end) {
            sleep_ms(10);
            std::vector<uint32_t> now = panel_->visible();
            if (now != last) {
                last = std::move(now);
                since = Clock::now();
            } else if (Clock::now() - since >= scaled(quiet_ms)) {
                return last;
            }
        }
        ADD_FAILURE() << "the panel never stopped changing";
        return last;
    }

    // Waits until the program has read every datagram queued for it, then lets it draw.
    bool drained(Ms timeout) {
        const auto end = Clock::now() + timeout;
        while (udp_rx_queue() > 0) {
            if (Clock::now() >= end) return false;
            sleep_ms(1);
        }
        return true;
    }

    std::unique_ptr<Panel> panel_;

  private:
    // In full-refresh mode a frame is shown by a page flip; otherwise it is drawn in place.
    static bool frame_shown(const Panel& p) { return p.header().pan_count > 0 || lit(p.visible()) > 0; }
};

} // namespace e2e
