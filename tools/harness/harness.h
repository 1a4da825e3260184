// The real status-display from the outside, for the end-to-end tests, the benchmarks and the soak: the
// program started on the fake framebuffer (tools/fakefb) with a time limit, what it prints read line
// by line, datagrams sent to its port, the panel's pixels read back, and its resource use from /proc.
//
//   harness::use_private_network();           // port 20001 ours alone, where the system allows it
//   harness::Program p({.env = {{"NAME", "value"}}});
//   p.wait_frame(harness::scaled(5000));
//   harness::Sender("127.0.0.2").send(harness::status_message(harness::screen_state(1)));
//   p.wait_for("Switch Screen[0] -> [1]", 1, harness::scaled(3000));
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/types.h>

#include "fakefb_shm.h"
#include "messages.h"

namespace harness {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

constexpr int kPort = 20001;

// How much slower than a native build the program runs here: the armhf build runs it under qemu-arm,
// a sanitizer build checks every memory access. Limits of waits are scaled by it.
#if defined(__arm__)
constexpr int kSlowdown = 10;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 4;
#else
constexpr int kSlowdown = 1;
#endif

inline Ms scaled(int ms) {
    return Ms(ms * kSlowdown);
}

// Moves this process into a network namespace of its own with the loopback up, so that the port is
// ours alone; where that is not allowed the host's loopback stays. True when the network is private.
// Once per process, before the first socket.
bool use_private_network();

// Sends datagrams to the program's port at `to` (an IPv4 address of this host), from `source` when
// given (e.g. "127.0.0.2": anywhere in 127/8 is this host's loopback).
class Sender {
  public:
    explicit Sender(const char* source = nullptr, const char* to = "127.0.0.1");
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool send(std::string_view datagram) const;

  private:
    int fd_ = -1;
    uint32_t to_ = 0; // in network order
};

// Bytes waiting in the receive queue of the socket bound to `port`, and the datagrams it dropped for
// a full queue (/proc/net/udp); -1 when no socket holds the port.
long udp_rx_queue(int port = kPort);
long udp_drops(int port = kPort);
// The address the socket on `port` is bound to, dotted ("0.0.0.0" for every address); empty when none.
std::string udp_bound_address(int port = kPort);

// The fake framebuffer's file, mapped while the program writes it.
class Panel {
  public:
    explicit Panel(const std::string& path);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool valid() const { return base_ != nullptr; }
    fakefb_header header() const;
    // The visible page as 0xRRGGBB per pixel, row by row, read while no page flip happened.
    std::vector<uint32_t> pixels() const;

  private:
    uint8_t* base_ = nullptr;
    size_t len_ = 0;
};

// Pixels that differ between two pictures (all of them when the sizes differ), and pixels not black.
size_t differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
size_t lit(const std::vector<uint32_t>& px);

struct Options {
    std::string program;                                  // default: the status display
    std::vector<std::string> args;                        // after the program's name
    std::vector<std::pair<std::string, std::string>> env; // set for the program only
    std::string dir;                                      // working directory; default: the build
                                                          // directory, which holds the asset set
    int xres = 320, yres = 240;                           // the panel
    unsigned time_limit_s = 60 * kSlowdown;               // SIGALRM ends the program after this
    bool keep_output = true; // false: lines are only handed to lines(), for runs of hours
};

// One run of the program (or of another one on the fake framebuffer, such as a test's child). It ends
// with this object, at its time limit, or when this process dies.
class Program {
  public:
    explicit Program(const Options& o = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool running();
    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }
    // Its wait status once it has ended, waiting up to `timeout` for that.
    std::optional<int> wait_exit(Ms timeout);
    // Stops the process (returning once it has stopped) and continues it; datagrams queue meanwhile.
    void pause() const;
    void resume() const;

    // Standard output so far (with keep_output) and standard error.
    const std::string& out();
    const std::string& err();
    size_t count(std::string_view text);
    // Hands each complete line printed since the last call to `line`, without its newline.
    size_t lines(const std::function<void(std::string_view)>& line);

    // Waits, reading the output meanwhile, until `done` holds, the program ends or `timeout` passes;
    // returns `done`.
    bool wait(const std::function<bool()>& done, Ms timeout);
    // Waits until standard output holds `text` at least `times` times.
    bool wait_for(std::string_view text, size_t times, Ms timeout);
    // Waits until the program has taken every datagram queued on its port.
    bool wait_drained(Ms timeout);
    // Waits until the panel exists and shows a first frame (a page flip in full-refresh mode, lit pixels
    // otherwise); the port is bound before the first frame.
    bool wait_frame(Ms timeout);
    // The panel once it exists, else null.
    const Panel* panel();
    const std::string& shm() const { return shm_; }

    // How it ended and the end of what it printed, for failure messages.
    std::string describe();

  private:
    void pump();

    std::string shm_;
    pid_t pid_ = -1;
    std::optional<int> status_;
    int out_fd_ = -1, err_fd_ = -1;
    std::string out_, err_;
    size_t consumed_ = 0; // of out_, by lines()
    bool keep_output_ = true;
    Clock::time_point started_;
    std::unique_ptr<Panel> panel_;
};

// Resource use from /proc/PID: the resident set now (anonymous, file-backed and shared parts) and at
// its peak, context switches, and CPU time (user + system) in seconds.
struct Memory {
    long rss_kb = -1, hwm_kb = -1;
    long anon_kb = -1, file_kb = -1, shmem_kb = -1;
    long long voluntary = 0, involuntary = 0;
};
Memory memory_of(pid_t pid);
double cpu_seconds_of(pid_t pid);

// "Switch Screen[from] -> [to]", the screen manager's line for a switch.
std::string switch_line(int from, int to);
size_t count_of(std::string_view text, std::string_view what);

} // namespace harness
