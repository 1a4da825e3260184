// The real status-display on the fake framebuffer for long runs: what it prints comes through a pipe
// and is read line by line as it arrives (a file would grow without bound), and its resource use is
// read from /proc. Used by the soak driver and the end-to-end benchmarks; the datagram sender, the
// panel reader and the private network come from the end-to-end test harness.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace live {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string program = SD_PROGRAM;
    std::string dir = PROGRAM_DIR; // the build directory holds the asset set
    std::string fakefb = FAKEFB_LIB;
    std::string shm; // default: /dev/shm/sd-live-<pid>
    int xres = 320, yres = 240;
    unsigned time_limit_s = 120;   // SIGALRM ends the program after this, whatever happens here
    std::vector<std::string> args; // after the program's name
};

class Display {
  public:
    explicit Display(const Options& o)
        : shm_(o.shm.empty() ? "/dev/shm/sd-live-" + std::to_string(getpid()) : o.shm) {
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        fcntl(out[0], F_SETPIPE_SZ, 1 << 20); // room for bursts of log lines between reads
        std::fflush(stdout);
        std::fflush(stderr);
        const pid_t parent = getpid();
        started_ = Clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(126);
            alarm(o.time_limit_s);
            dup2(out[1], 1);
            dup2(err[1], 2);
            if (chdir(o.dir.c_str()) != 0) _exit(126);
            setenv("FAKEFB_SHM", shm_.c_str(), 1);
            setenv("FAKEFB_XRES", std::to_string(o.xres).c_str(), 1);
            setenv("FAKEFB_YRES", std::to_string(o.yres).c_str(), 1);
            setenv("LD_PRELOAD", o.fakefb.c_str(), 1);
            std::vector<std::string> argv{o.program};
            argv.insert(argv.end(), o.args.begin(), o.args.end());
            std::vector<char*> args;
            for (std::string& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_fd_ = out[0];
        err_fd_ = err[0];
        fcntl(out_fd_, F_SETFL, O_NONBLOCK);
        fcntl(err_fd_, F_SETFL, O_NONBLOCK);
    }

    ~Display() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            int st = 0;
            while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
            }
        }
        if (out_fd_ >= 0) close(out_fd_);
        if (err_fd_ >= 0) close(err_fd_);
        unlink(shm_.c_str());
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& shm() const { return shm_; }
    Clock::time_point started() const { return started_; }
    const std::string& err() {
        drain(err_fd_, err_, 1 << 16);
        return err_;
    }

    bool running() {
        if (pid_ <= 0 || status_) return false;
        int st = 0;
        if (waitpid(pid_, &st, WNOHANG) == pid_) status_ = st;
        return !status_;
    }

    std::string how_it_ended() {
        if (running()) return "running";
        if (!status_) return "not started";
        if (WIFEXITED(*status_)) return "exit status " + std::to_string(WEXITSTATUS(*status_));
        if (WIFSIGNALED(*status_)) return "killed by signal " + std::to_string(WTERMSIG(*status_));
        return "ended";
    }

    // Hands every complete line printed since the last call to `line` (without its newline); returns
    // how many there were.
    template <class F> size_t lines(F&& line) {
        drain(out_fd_, partial_, SIZE_MAX);
        size_t n = 0, from = 0;
        for (size_t nl; (nl = partial_.find('\n', from)) != std::string::npos; from = nl + 1, n++) {
            line(std::string_view(partial_).substr(from, nl - from));
        }
        partial_.erase(0, from);
        return n;
    }

  private:
    static void drain(int fd, std::string& into, size_t limit) {
        char buf[65536];
        for (ssize_t got; fd >= 0 && (got = read(fd, buf, sizeof buf)) > 0;) {
            if (into.size() < limit) into.append(buf, size_t(got));
        }
    }

    std::string shm_;
    pid_t pid_ = -1;
    std::optional<int> status_;
    int out_fd_ = -1, err_fd_ = -1;
    std::string partial_, err_;
    Clock::time_point started_;
};

// From /proc/PID/status: resident set now (with its anonymous and file-backed parts) and at its peak,
// and context switches.
struct Memory {
    long rss_kb = -1, hwm_kb = -1;
    long anon_kb = -1, file_kb = -1, shmem_kb = -1;
    long long voluntary = 0, involuntary = 0;
};

inline Memory memory_of(pid_t pid) {
    Memory m;
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        std::istringstream f(line);
        std::string key;
        f >> key;
        if (key == "VmRSS:") f >> m.rss_kb;
        if (key == "VmHWM:") f >> m.hwm_kb;
        if (key == "RssAnon:") f >> m.anon_kb;
        if (key == "RssFile:") f >> m.file_kb;
        if (key == "RssShmem:") f >> m.shmem_kb;
        if (key == "voluntary_ctxt_switches:") f >> m.voluntary;
        if (key == "nonvoluntary_ctxt_switches:") f >> m.involuntary;
    }
    return m;
}

// CPU time used so far (user + system), in seconds, from /proc/PID/stat.
inline double cpu_seconds_of(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t paren = stat.rfind(')'); // the command name may hold spaces
    if (paren == std::string::npos) return -1;
    std::istringstream f(stat.substr(paren + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && f >> field; i++) { // fields 14 and 15 are utime and stime
        if (i == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
        if (i == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Datagrams the socket on `port` dropped for a full receive queue (last column of /proc/net/udp).
inline long udp_drops(int port) {
    std::ifstream in("/proc/net/udp");
    std::string line;
    std::getline(in, line);
    char want[8];
    std::snprintf(want, sizeof want, ":%04X", unsigned(port));
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::vector<std::string> fields;
        for (std::string s; f >> s;) fields.push_back(s);
        if (fields.size() < 13 || fields[1].size() < 5 ||
            fields[1].compare(fields[1].size() - 5, 5, want) != 0) {
            continue;
        }
        return std::strtol(fields.back().c_str(), nullptr, 10);
    }
    return -1;
}

} // namespace live
