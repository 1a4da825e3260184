// End-to-end figures of the real program on the fake framebuffer, over the loopback of a private
// network: datagram-to-pixels latency, throughput, idle cost, peak resident set and start-up time.
// Prints a line per measurement ("# ...") and then one "figure NAME VALUE UNIT" line per figure.
//
//   e2e_figures [--idle-seconds N] [--changes N] [--only NAME[,NAME...]]
//     names: startup, latency, throughput, idle, rss
#include "harness.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

using harness::Clock;
using Ms = std::chrono::duration<double, std::milli>;

void sleep_for_ms(double ms) {
    std::this_thread::sleep_for(Ms(ms));
}

std::vector<std::pair<std::string, std::string>> g_figures;

void figure(const std::string& name, double value, const char* unit, int decimals = 1) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    g_figures.push_back({name, text});
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(v.size())));
    return v[std::min(v.size() - 1, rank == 0 ? 0 : rank - 1)];
}

// A started program with its first frame on the panel; null when it did not come up.
std::unique_ptr<harness::Program> start(int xres = 320, int yres = 240, Ms* first_frame = nullptr) {
    harness::Options o;
    o.xres = xres;
    o.yres = yres;
    o.time_limit_s = 600;
    auto p = std::make_unique<harness::Program>(o);
    if (!p->wait_frame(std::chrono::seconds(10))) {
        std::fprintf(stderr, "the program did not come up\n%s", p->describe().c_str());
        return nullptr;
    }
    if (first_frame) *first_frame = Clock::now() - p->started();
    return p;
}

const std::string c_fault = harness::status_message(harness::screen_state(4), {}, 0);
const std::string c_idle = harness::status_message(harness::screen_state(1), {}, 0);

// The program started and settled on the idle screen, which `s` has selected.
std::unique_ptr<harness::Program> start_on_idle(harness::Sender& s) {
    auto p = start();
    if (!p) return nullptr;
    s.send(c_idle);
    if (!p->wait_for("-> [1]", 1, std::chrono::seconds(3))) return nullptr;
    sleep_for_ms(300);
    return p;
}

void measure_startup() {
    std::vector<double> ms;
    for (int i = 0; i < 10; i++) {
        Ms t{};
        if (!start(320, 240, &t)) return;
        ms.push_back(t.count());
    }
    std::printf("# start-up, exec to first flushed frame, 10 runs: median %.1f ms, max %.1f ms\n",
                percentile(ms, 50), percentile(ms, 100));
    figure("startup_ms", percentile(ms, 50), "ms");
}

// Alternates the idle and the not-available screen; the time from sendto until the panel shows a
// different picture. The pause between changes is random, so the changes meet every phase of the
// program's 20 ms refresh.
void measure_latency(int changes) {
    harness::Sender s;
    auto r = start_on_idle(s);
    if (!r) return;
    const harness::Panel& panel = *r->panel();
    std::mt19937 rng(8);
    std::vector<double> ms;
    for (int i = 0; i < changes; i++) {
        const std::vector<uint32_t> before = panel.pixels();
        const auto sent = Clock::now();
        s.send(i % 2 == 0 ? c_fault : c_idle);
        bool seen = false;
        while (!seen && Clock::now() - sent < std::chrono::seconds(2)) {
            seen = harness::differing(panel.pixels(), before) > 2000;
            if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (!seen) {
            std::fprintf(stderr, "change %d never reached the panel\n", i);
            return;
        }
        ms.push_back(Ms(Clock::now() - sent).count());
        sleep_for_ms(30 + double(rng() % 2000) / 100.0);
    }
    std::printf("# datagram to pixels, %d status changes: median %.1f ms, p99 %.1f ms, max %.1f ms\n",
                changes, percentile(ms, 50), percentile(ms, 99), percentile(ms, 100));
    figure("latency_p50_ms", percentile(ms, 50), "ms");
    figure("latency_p99_ms", percentile(ms, 99), "ms");
}

// Status messages that switch between two screens, sent as fast as the program takes them while the
// receive queue never fills; each one must print its switch line.
void measure_throughput() {
    harness::Sender s;
    auto r = start_on_idle(s);
    if (!r) return;
    constexpr size_t kMessages = 20000;
    size_t handled = 0;
    auto pump = [&] { r->lines([&](std::string_view l) { handled += l.find("Switch Screen[") != l.npos; }); };
    pump();
    handled = 0;
    const auto t0 = Clock::now();
    for (size_t i = 0; i < kMessages; i++) {
        if (i % 8 == 0) {
            while (harness::udp_rx_queue() > 48 * 1024)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            pump();
        }
        s.send(i % 2 == 0 ? c_fault : c_idle);
    }
    if (!r->wait(
            [&] {
                pump();
                return handled >= kMessages;
            },
            std::chrono::seconds(20))) {
        std::fprintf(stderr, "throughput: %zu of %zu messages handled, %ld dropped\n", handled, kMessages,
                     harness::udp_drops());
        return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const long drops = harness::udp_drops();
    std::printf("# throughput: %zu status messages, each switching the screen, in %.2f s, %ld dropped\n",
                kMessages, seconds, drops);
    if (drops == 0) figure("throughput_msgs_per_s", double(kMessages) / seconds, "msgs/s", 0);
}

// CPU time and context switches of the program over `seconds`, on the screen it shows.
struct Idle {
    double cpu_percent, cpu_ms_per_minute, wakeups_per_s;
};

Idle idle_over(harness::Program& p, int seconds) {
    const double cpu0 = harness::cpu_seconds_of(p.pid());
    const harness::Memory m0 = harness::memory_of(p.pid());
    const auto t0 = Clock::now();
    sleep_for_ms(seconds * 1000.0);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = harness::cpu_seconds_of(p.pid()) - cpu0;
    const harness::Memory m1 = harness::memory_of(p.pid());
    const double switches = double(m1.voluntary - m0.voluntary + m1.involuntary - m0.involuntary);
    return {100.0 * cpu / wall, 60000.0 * cpu / wall, switches / wall};
}

void measure_idle(int seconds) {
    auto r = start();
    if (!r) return;
    sleep_for_ms(2000); // past start-up
    const Idle welcome = idle_over(*r, seconds);
    harness::Sender s;
    s.send(harness::status_message(harness::screen_state(7)));
    if (!r->wait_for("-> [7]", 1, std::chrono::seconds(3))) return;
    sleep_for_ms(2000);
    const Idle charging = idle_over(*r, seconds);
    for (const auto& [name, v] : {std::pair{"welcome", welcome}, std::pair{"charging", charging}}) {
        std::printf(
            "# idle on the %s screen over %d s: %.2f %% of a core, %.0f ms CPU per minute, %.1f wake-ups/s\n",
            name, seconds, v.cpu_percent, v.cpu_ms_per_minute, v.wakeups_per_s);
    }
    figure("idle_cpu_percent", std::max(welcome.cpu_percent, charging.cpu_percent), "%", 2);
    figure("wakeups_per_s", std::max(welcome.wakeups_per_s, charging.wakeups_per_s), "1/s");
}

// Every screen a message selects, in every language, and every overlay; then the peak resident set.
void measure_rss(int xres, int yres) {
    auto r = start(xres, yres);
    if (!r) return;
    harness::Sender s;
    int current = 0;
    size_t switches = 0;
    for (int language = 0; language < 5; language++) {
        harness::StatusFields f;
        f.language = std::to_string(language);
        for (const harness::ScreenState& st : harness::kScreenStates) {
            if (st.screen == current) continue;
            s.send(harness::status_message(st, f));
            current = st.screen;
            switches++;
            sleep_for_ms(40);
        }
        for (const char* command : harness::kTriggerCommands) {
            s.send(harness::trigger_message(command, {.msg = "1", .percent = "50", .seconds = "0"}));
            sleep_for_ms(40);
        }
    }
    if (!r->wait_for("Switch Screen[", switches, std::chrono::seconds(5)))
        std::fprintf(stderr, "rss: not every screen was shown\n");
    sleep_for_ms(500);
    const harness::Memory m = harness::memory_of(r->pid());
    std::printf("# peak resident set at %dx%d after every screen in every language: %ld kB (now %ld kB)\n",
                xres, yres, m.hwm_kb, m.rss_kb);
    figure("rss_peak_kb_" + std::to_string(xres) + "x" + std::to_string(yres), double(m.hwm_kb), "kB", 0);
}

} // namespace

int main(int argc, char** argv) {
    int idle_seconds = 30, changes = 200;
    std::set<std::string> only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--idle-seconds") {
            idle_seconds = std::max(1, std::atoi(argv[i + 1]));
        } else if (opt == "--changes") {
            changes = std::max(1, std::atoi(argv[i + 1]));
        } else if (opt == "--only") {
            std::string list = argv[i + 1];
            for (size_t at = 0; at <= list.size();) {
                const size_t comma = std::min(list.find(',', at), list.size());
                only.insert(list.substr(at, comma - at));
                at = comma + 1;
            }
        } else {
            std::fprintf(stderr, "usage: e2e_figures [--idle-seconds N] [--changes N] [--only NAME,...]\n");
            return 2;
        }
    }
    if (argc % 2 == 0) return 2;
    if (!harness::use_private_network())
        std::printf("# note: no private network namespace; using the host's loopback\n");
    auto want = [&](const char* name) { return only.empty() || only.count(name) > 0; };
    if (want("startup")) measure_startup();
    if (want("latency")) measure_latency(changes);
    if (want("throughput")) measure_throughput();
    if (want("idle")) measure_idle(idle_seconds);
    if (want("rss")) {
        measure_rss(320, 240);
        measure_rss(1024, 600);
    }
    for (const auto& [name, value] : g_figures) std::printf("figure %s %s\n", name.c_str(), value.c_str());
    return 0;
}
