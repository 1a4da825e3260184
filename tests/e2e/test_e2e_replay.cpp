// The fuzz corpora through the real program: every file of tests/fuzz/corpus/ is sent as datagrams (a
// fuzz_sequence file split as the target splits it), then a probe trigger whose log line shows that the
// program took them. Afterwards the program still follows status messages on the panel.
#include "e2e.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace e2e;

namespace {

namespace fs = std::filesystem;

// The datagrams of a corpus file.
std::vector<std::string> datagrams_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (file.parent_path().filename() != "fuzz_sequence") return {bytes};
    // Datagrams separated by a zero byte, each separator followed by a pause byte.
    std::vector<std::string> out;
    for (size_t pos = 0; pos <= bytes.size();) {
        const size_t end = std::min(bytes.find('\0', pos), bytes.size());
        out.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

class Replay : public E2E {};

TEST_F(Replay, EveryFuzzCorpusFileIsHandled) {
    auto p = start();
    const Sender s;
    const std::string idle = status_message(screen_state(1)), fault = status_message(screen_state(4));
    const std::vector<uint32_t> ref_idle = switch_to(*p, s, idle, 0, 1);
    const std::vector<uint32_t> ref_fault = switch_to(*p, s, fault, 1, 4);

    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(SD_CORPUS_DIR))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 100u);
    int probes = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        for (const std::string& d : datagrams_of(file)) {
            // Never more queued than the socket holds: a dropped datagram would not be replayed.
            if (udp_rx_queue() > 32768 || d.size() > 8192) {
                ASSERT_TRUE(p->wait_drained(scaled(10000)));
            }
            ASSERT_TRUE(s.send(d));
        }
        const std::string probe = "probe#" + std::to_string(++probes) + "#";
        ASSERT_TRUE(s.send(trigger_message(probe)));
        ASSERT_TRUE(p->wait_for("TRIGGER " + probe, 1, scaled(10000))) << p->describe();
    }
    EXPECT_EQ(udp_drops(), 0);
    EXPECT_EQ(p->err(), "");

    // The last probe hid any overlay: the screens look as they did before.
    ASSERT_TRUE(s.send(fault));
    EXPECT_TRUE(shows(*p, ref_fault)) << "the not-available screen is not on the panel";
    ASSERT_TRUE(s.send(idle));
    EXPECT_TRUE(shows(*p, ref_idle)) << "the idle screen is not on the panel";
}

} // namespace
