#include "harness.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

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

#include "fb_page.h"

namespace harness {

bool use_private_network() {
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
        if (!up) setns(host_ns, CLONE_NEWNET); // a namespace without a loopback is of no use
        close(host_ns);
        return up;
    }();
    return private_net;
}

// ---- datagrams --------------------------------------------------------------------------------------

Sender::Sender(const char* source, const char* to) : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    // Room for bursts: the program drains its queue between them.
    const int size = 1 << 20;
    setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    const bool ok =
        inet_pton(AF_INET, to, &to_) == 1 &&
        (source == nullptr || (inet_pton(AF_INET, source, &from.sin_addr) == 1 &&
                               bind(fd_, reinterpret_cast<const sockaddr*>(&from), sizeof from) == 0));
    if (!ok && fd_ >= 0) {
        close(fd_);
        fd_ = -1; // every send fails
    }
}

Sender::~Sender() {
    if (fd_ >= 0) close(fd_);
}

bool Sender::send(std::string_view datagram) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kPort);
    to.sin_addr.s_addr = to_;
    return fd_ >= 0 && sendto(fd_, datagram.data(), datagram.size(), 0,
                              reinterpret_cast<const sockaddr*>(&to), sizeof to) == ssize_t(datagram.size());
}

namespace {

// The fields of the line of /proc/net/udp for the socket bound to `port`; empty when there is none.
std::vector<std::string> udp_socket_line(int port) {
    std::ifstream in("/proc/net/udp");
    std::string line;
    std::getline(in, line); // the header
    char want[8];
    std::snprintf(want, sizeof want, ":%04X", unsigned(port));
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::vector<std::string> fields{std::istream_iterator<std::string>(f), {}};
        if (fields.size() >= 13 && fields[1].ends_with(want)) return fields;
    }
    return {};
}

} // namespace

long udp_rx_queue(int port) {
    const std::vector<std::string> f = udp_socket_line(port);
    const size_t colon = f.empty() ? std::string::npos : f[4].find(':'); // tx_queue:rx_queue
    return colon == std::string::npos ? -1 : std::strtol(f[4].c_str() + colon + 1, nullptr, 16);
}

long udp_drops(int port) {
    const std::vector<std::string> f = udp_socket_line(port);
    return f.empty() ? -1 : std::strtol(f.back().c_str(), nullptr, 10);
}

std::string udp_bound_address(int port) {
    const std::vector<std::string> f = udp_socket_line(port);
    if (f.empty()) return "";
    in_addr a{};
    a.s_addr = uint32_t(std::strtoul(f[1].c_str(), nullptr, 16)); // the address as it lies in memory
    char dotted[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &a, dotted, sizeof dotted);
    return dotted;
}

// ---- the panel --------------------------------------------------------------------------------------

Panel::Panel(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (fstat(fd, &st) == 0 && size_t(st.st_size) >= sizeof(fakefb_header)) {
        void* p = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED) {
            base_ = static_cast<uint8_t*>(p);
            len_ = size_t(st.st_size);
        }
    }
    close(fd);
    // Until the program has sized the file and written the header, it is no panel yet.
    const fakefb_header h = header();
    if (base_ && (h.magic != FAKEFB_MAGIC || uint64_t(h.data_offset) + h.smem_len > len_)) {
        munmap(base_, len_);
        base_ = nullptr;
    }
}

Panel::~Panel() {
    if (base_) munmap(base_, len_);
}

fakefb_header Panel::header() const {
    fakefb_header h{};
    if (base_) {
        __atomic_thread_fence(__ATOMIC_SEQ_CST);
        std::memcpy(&h, base_, sizeof h);
    }
    return h;
}

std::vector<uint32_t> Panel::pixels() const {
    FbPage page;
    for (int attempt = 0; base_ && attempt < 100; attempt++) {
        const uint32_t pans = header().pan_count;
        if (fb_page_read(base_, len_, &page) && header().pan_count == pans) break;
    }
    return page.px;
}

size_t differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); i++) n += a[i] != b[i];
    return n;
}

size_t lit(const std::vector<uint32_t>& px) {
    return size_t(std::count_if(px.begin(), px.end(), [](uint32_t p) { return p != 0; }));
}

// ---- the program ------------------------------------------------------------------------------------

namespace {

[[noreturn]] void exec_program(const Options& o, const std::string& shm, int out, int err, pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(126);
    alarm(o.time_limit_s);
    dup2(out, 1);
    dup2(err, 2);
    const std::string dir = o.dir.empty() ? PROGRAM_DIR : o.dir;
    if (chdir(dir.c_str()) != 0) {
        std::perror(dir.c_str());
        _exit(126);
    }
    setenv("FAKEFB_SHM", shm.c_str(), 1);
    setenv("FAKEFB_XRES", std::to_string(o.xres).c_str(), 1);
    setenv("FAKEFB_YRES", std::to_string(o.yres).c_str(), 1);
    for (const auto& [name, value] : o.env) setenv(name.c_str(), value.c_str(), 1);
    setenv("LD_PRELOAD", FAKEFB_LIB, 1);
    // The fake framebuffer is not instrumented; ahead of the sanitizer runtime that is intended.
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);

    std::vector<std::string> argv{o.program.empty() ? SD_PROGRAM : o.program};
    argv.insert(argv.end(), o.args.begin(), o.args.end());
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execv(args[0], args.data());
#if defined(__arm__)
    // Under user-mode emulation the kernel cannot start the board's programs itself: start them through
    // the emulator, with the preload for the guest only.
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

void read_into(int fd, std::string& into) {
    char buf[65536];
    for (ssize_t got; fd >= 0 && (got = read(fd, buf, sizeof buf)) > 0;) into.append(buf, size_t(got));
}

} // namespace

Program::Program(const Options& o) : keep_output_(o.keep_output) {
    static int runs = 0;
    shm_ = "/dev/shm/sd-harness-" + std::to_string(getpid()) + "-" + std::to_string(runs++);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    fcntl(out[0], F_SETPIPE_SZ, 1 << 20); // room for bursts of log lines between reads
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t parent = getpid();
    started_ = Clock::now();
    pid_ = fork();
    if (pid_ == 0) exec_program(o, shm_, out[1], err[1], parent);
    close(out[1]);
    close(err[1]);
    out_fd_ = out[0];
    err_fd_ = err[0];
    fcntl(out_fd_, F_SETFL, O_NONBLOCK);
    fcntl(err_fd_, F_SETFL, O_NONBLOCK);
}

Program::~Program() {
    if (pid_ > 0 && !status_) {
        kill(pid_, SIGKILL);
        int st = 0;
        while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
        }
    }
    if (out_fd_ >= 0) close(out_fd_);
    if (err_fd_ >= 0) close(err_fd_);
    panel_.reset();
    unlink(shm_.c_str());
}

bool Program::running() {
    if (pid_ <= 0 || status_) return false;
    int st = 0;
    if (waitpid(pid_, &st, WNOHANG) == pid_) status_ = st;
    return !status_;
}

std::optional<int> Program::wait_exit(Ms timeout) {
    wait([] { return false; }, timeout);
    running();
    return status_;
}

void Program::pause() const {
    if (pid_ <= 0 || kill(pid_, SIGSTOP) != 0) return;
    // kill() returns before the process has stopped; a system call under way (a datagram being sent)
    // still completes. Return once the kernel reports it stopped, so nothing follows the pause.
    const std::string stat = "/proc/" + std::to_string(pid_) + "/stat";
    for (int i = 0; i < 10000; i++) {
        std::ifstream f(stat);
        std::string line;
        if (!std::getline(f, line)) return;
        const size_t paren = line.rfind(')');
        if (paren == std::string::npos || paren + 2 >= line.size() || line[paren + 2] == 'T') return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Program::resume() const {
    if (pid_ > 0) kill(pid_, SIGCONT);
}

void Program::pump() {
    read_into(out_fd_, out_);
    read_into(err_fd_, err_);
}

const std::string& Program::out() {
    pump();
    return out_;
}

const std::string& Program::err() {
    pump();
    return err_;
}

size_t Program::count(std::string_view text) {
    return count_of(out(), text);
}

size_t Program::lines(const std::function<void(std::string_view)>& line) {
    pump();
    size_t n = 0;
    for (size_t nl; (nl = out_.find('\n', consumed_)) != std::string::npos; consumed_ = nl + 1, n++)
        line(std::string_view(out_).substr(consumed_, nl - consumed_));
    if (!keep_output_) {
        out_.erase(0, consumed_);
        consumed_ = 0;
    }
    return n;
}

bool Program::wait(const std::function<bool()>& done, Ms timeout) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        pump();
        if (done()) return true;
        if (!running() || Clock::now() >= end) {
            pump();
            return done();
        }
        std::this_thread::sleep_for(Ms(1));
    }
}

bool Program::wait_for(std::string_view text, size_t times, Ms timeout) {
    return wait([&] { return count_of(out_, text) >= times; }, timeout);
}

bool Program::wait_drained(Ms timeout) {
    return wait([] { return udp_rx_queue() <= 0; }, timeout);
}

bool Program::wait_frame(Ms timeout) {
    return wait(
        [&] {
            const Panel* p = panel();
            return p != nullptr && (p->header().pan_count > 0 || lit(p->pixels()) > 0);
        },
        timeout);
}

const Panel* Program::panel() {
    if (!panel_) {
        auto p = std::make_unique<Panel>(shm_);
        if (p->valid()) panel_ = std::move(p);
    }
    return panel_.get();
}

std::string Program::describe() {
    pump();
    std::string s = "program: ";
    if (running())
        s += "running";
    else if (status_ && WIFEXITED(*status_))
        s += "exit status " + std::to_string(WEXITSTATUS(*status_));
    else if (status_ && WIFSIGNALED(*status_))
        s += "killed by signal " + std::to_string(WTERMSIG(*status_));
    else
        s += "not started";
    const size_t from = out_.size() > 4000 ? out_.size() - 4000 : 0;
    return s + "\n--- stdout" + (from ? " (end)" : "") + "\n" + out_.substr(from) + "--- stderr\n" +
           err_.substr(0, 4000);
}

// ---- /proc ------------------------------------------------------------------------------------------

Memory memory_of(pid_t pid) {
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

double cpu_seconds_of(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(in), {}};
    const size_t paren = stat.rfind(')'); // the command's name may hold spaces
    if (paren == std::string::npos) return -1;
    std::istringstream f(stat.substr(paren + 2));
    std::vector<std::string> fields{std::istream_iterator<std::string>(f), {}};
    if (fields.size() < 13) return -1;
    // Fields 14 and 15 of the line, utime and stime, in clock ticks.
    const double ticks = std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

std::string switch_line(int from, int to) {
    return "Switch Screen[" + std::to_string(from) + "] -> [" + std::to_string(to) + "]";
}

size_t count_of(std::string_view text, std::string_view what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size()))
        n++;
    return n;
}

} // namespace harness
