// The bad-input catalogue through the real program on the fake framebuffer: datagrams that are no
// status message, sizes around the 16383-byte limit, every path of the status and trigger messages
// with values of every wrong type, awkward numbers and invalid UTF-8, and long connector codes. Every
// datagram is followed by a probe (a trigger message with a numbered command); the probe's log line
// shows that the program took the datagram and still handles messages. Slower builds (qemu-arm,
// sanitizers) send a few datagrams with their probes before waiting; native builds wait after each.
#include "e2e_bad_input.h"
#include "e2e_display.h"

#include <ctime>
#include <optional>

using namespace e2e;

namespace {

int64_t now_s() {
    return int64_t(std::time(nullptr));
}

// A fault message that logs its connector error code, so that its handling shows in the log.
std::string fault_with_code(const std::string& code) {
    return R"({"global":{"sysconfigInfo":{"timezone":56}},"conns":[{"m1768Info":{"runState":"S_Idle_Standby",)"
           R"("connStatus":"Unplug"},"sessionConnInfo":{"ramData":{"_status":"Faulted","_errCode":")" +
           code + R"("}}}]})";
}

std::string err_code_line(const std::string& code) {
    return "ErrCode:" + code + " \t";
}

// `json` with spaces after its opening brace, `size` bytes in all.
std::string padded(const std::string& json, size_t size) {
    return json.size() >= size ? json : "{" + std::string(size - json.size(), ' ') + json.substr(1);
}

// Printable start of a datagram for failure messages.
std::string excerpt(const std::string& datagram) {
    std::string s;
    for (char c : datagram.substr(0, 160)) {
        const auto u = static_cast<unsigned char>(c);
        s += (u >= 0x20 && u < 0x7f) ? std::string(1, c)
                                     : "\\x" + std::string(1, "0123456789abcdef"[u >> 4]) +
                                           std::string(1, "0123456789abcdef"[u & 15]);
    }
    return s + (datagram.size() > 160 ? "... (" + std::to_string(datagram.size()) + " bytes)" : "");
}

std::string tail(const std::string& text, size_t n = 4000) {
    return text.size() > n ? "..." + text.substr(text.size() - n) : text;
}

class Catalogue : public E2E {
  protected:
    void SetUp() override {
        E2E::SetUp();
        s_ = std::make_unique<Sender>();
        d_ = start();
        ASSERT_TRUE(d_->running());
        // Pictures of the idle and the not-available screen, to see later that the panel still follows.
        ASSERT_TRUE(s_->send(c_idle));
        ASSERT_TRUE(d_->wait_out(switch_line(0, 1), 1, scaled(3000))) << d_->describe();
        ref_idle_ = settled();
        ASSERT_TRUE(s_->send(fault_with_code("reference")));
        ASSERT_TRUE(d_->wait_out(switch_line(1, 4), 1, scaled(3000))) << d_->describe();
        ref_fault_ = settled();
        ASSERT_GT(differing(ref_idle_, ref_fault_), 4 * c_same_screen);
    }

    void TearDown() override {
        if (d_) {
            EXPECT_TRUE(d_->running()) << report();
            EXPECT_EQ(d_->err(), "");
        }
    }

    static std::string probe_line(int n) { return "TRIGGER probe#" + std::to_string(n) + "#"; }

    std::string report() { return d_->describe().substr(0, 200) + "\n--- last output\n" + tail(d_->out()); }

    // Sends one datagram of the catalogue and its probe. `shown`: the datagram changes a text on the
    // panel, so when it parses, a frame drawn after it is awaited too.
    void feed(const std::string& what, const std::string& datagram, bool shown = false) {
        if (HasFailure()) return;
        const bool draw = shown && Document(datagram).valid();
        // Counted before sending: the frame may be drawn before the probe's answer is read.
        const uint32_t pans = panel_->header().pan_count;
        ASSERT_TRUE(s_->send(datagram)) << "cannot send " << what;
        const int probe = ++probes_;
        ASSERT_TRUE(s_->send(R"({"Trigger":"probe#)" + std::to_string(probe) + "#\"}"));
        pending_.push_back({what, excerpt(datagram), probe});
        pending_bytes_ += datagram.size();
        if (draw) {
            answered(pans);
        } else if (c_slowdown == 1 || pending_.size() >= 16 || pending_bytes_ >= 32768) {
            answered();
        }
    }

    // Waits for the probes sent so far; fails naming the first datagram whose probe went unanswered.
    // With `pans_before` (the page-flip count before the last datagram went out), a frame drawn since
    // then is awaited too.
    void answered(std::optional<uint32_t> pans_before = std::nullopt) {
        if (pending_.empty() || HasFailure()) return;
        const bool all = d_->wait_out(probe_line(pending_.back().probe), 1, scaled(3000));
        if (!all) {
            const std::string out = d_->out();
            for (const Pending& p : pending_) {
                if (count_of(out, probe_line(p.probe)) == 0) {
                    FAIL() << "not handled after: " << p.what << "\n  datagram: " << p.excerpt << "\n"
                           << report();
                }
            }
        }
        ASSERT_TRUE(d_->running()) << "after: " << pending_.back().what << "\n" << report();
        const std::string pending_what = pending_.back().what;
        pending_.clear();
        pending_bytes_ = 0;
        if (pans_before) {
            // The label or QR code changed: a page flip since the datagram means a frame showed it.
            const auto end = Clock::now() + scaled(1000);
            while (panel_->header().pan_count == *pans_before && Clock::now() < end) sleep_ms(1);
            EXPECT_NE(panel_->header().pan_count, *pans_before) << "no frame drawn after " << pending_what;
        }
    }

    // Sends `msg`, which selects `screen`, from another screen, and waits for the switch.
    void enter(const std::string& msg, int screen) {
        const std::string target = "] -> [" + std::to_string(screen) + "]";
        const size_t before = count_of(d_->out(), target);
        ASSERT_TRUE(s_->send(screen == 1 ? fault_with_code("away") : c_idle));
        ASSERT_TRUE(s_->send(msg));
        ASSERT_TRUE(d_->wait_out(target, before + 1, scaled(3000))) << "screen " << screen << "\n"
                                                                    << report();
    }

    // Waits until the panel shows `ref` (up to the clock's few pixels).
    bool panel_shows(const std::vector<uint32_t>& ref) {
        const auto end = Clock::now() + scaled(3000);
        while (Clock::now() < end) {
            if (differing(panel_->visible(), ref) < c_same_screen) return true;
            sleep_ms(5);
        }
        return false;
    }

    // The program still follows status messages on the panel: the not-available screen, then idle.
    void expect_panel_follows() {
        answered();
        if (HasFailure()) return;
        const std::string code = "follow-" + std::to_string(++probes_);
        ASSERT_TRUE(s_->send(R"({"Trigger":"hide"})")); // a trigger left shown by the catalogue goes
        ASSERT_TRUE(s_->send(fault_with_code(code)));
        ASSERT_TRUE(d_->wait_out(err_code_line(code), 1, scaled(3000))) << report();
        EXPECT_TRUE(panel_shows(ref_fault_)) << "the not-available screen is not on the panel";
        const size_t idles = count_of(d_->out(), "] -> [1]");
        ASSERT_TRUE(s_->send(c_idle));
        ASSERT_TRUE(d_->wait_out("] -> [1]", idles + 1, scaled(3000))) << report();
        EXPECT_TRUE(panel_shows(ref_idle_)) << "the idle screen is not on the panel";
    }

    // Pictures of one screen taken at different times differ in the clock only.
    static constexpr size_t c_same_screen = 600;

    std::unique_ptr<Display> d_;
    std::unique_ptr<Sender> s_; // made in SetUp, inside the test's network
    std::vector<uint32_t> ref_idle_, ref_fault_;

  private:
    struct Pending {
        std::string what, excerpt;
        int probe;
    };
    std::vector<Pending> pending_;
    size_t pending_bytes_ = 0;
    int probes_ = 0;
};

TEST_F(Catalogue, DatagramsThatAreNoStatusMessage) {
    const std::string fault = fault_with_code("whole");
    auto nested = [](int depth) {
        std::string s = R"({"global":{"sysconfigInfo":)";
        for (int i = 0; i < depth; i++) s += R"({"a":)";
        return s + "1" + std::string(size_t(depth), '}') + "}," + c_idle.substr(1);
    };
    std::string conns100 = R"({"global":{},"conns":[)";
    for (int i = 0; i < 100; i++)
        conns100 += std::string(i ? "," : "") + R"({"m1768Info":{"runState":"S_RUN"}})";
    conns100 += "]}";

    const std::pair<const char*, std::string> inputs[] = {
        {"empty datagram", ""},
        {"text", "hello"},
        {"NUL byte", std::string(1, '\0')},
        {"NUL before JSON", std::string("\0", 1) + fault},
        {"null", "null"},
        {"true", "true"},
        {"false", "false"},
        {"zero", "0"},
        {"negative number", "-1"},
        {"huge number", "1e308"},
        {"huge negative number", "-1e308"},
        {"number beyond double", "1e309"},
        {"NaN", "NaN"},
        {"-NaN", "-NaN"},
        {"Infinity", "Infinity"},
        {"string", "\"Charging\""},
        {"empty string", "\"\""},
        {"empty array", "[]"},
        {"array of numbers", "[1,2,3]"},
        {"array of null", "[null]"},
        {"array holding a trigger", R"([{"Trigger":"Test","Msg":1}])"},
        {"array holding a status message", "[" + fault + "]"},
        {"empty object", "{}"},
        {"empty key", R"({"":0})"},
        {"null global and conns", R"({"global":null,"conns":null})"},
        {"empty global and conns", R"({"global":{},"conns":[]})"},
        {"conns an object", R"({"global":{},"conns":{"m1768Info":{"runState":"S_RUN"}}})"},
        {"conns of an array", R"({"global":{},"conns":[[{"m1768Info":{"runState":"S_RUN"}}]]})"},
        {"conns of null", R"({"global":{},"conns":[null]})"},
        {"no global",
         R"({"conns":[{"m1768Info":{"runState":"S_RUN"},"sessionConnInfo":{"ramData":{"_status":"Charging"}}}]})"},
        {"100 connectors", conns100},
        {"duplicate keys", R"({"global":{},"global":5,"conns":[],"conns":{}})"},
        {"last byte missing", fault.substr(0, fault.size() - 1)},
        {"half a message", fault.substr(0, fault.size() / 2)},
        {"garbage after the message", fault + "}}]]garbage"},
        {"brace before the message", "}" + fault},
        {"byte order mark", "\xef\xbb\xbf" + fault},
        {"UTF-16", std::string("{\0\"\0g\0\"\0:\0{\0}\0}\0", 16)},
        {"control character in a string", R"({"Trigger":"Te)" + std::string(1, '\x01') + R"(st"})"},
        {"unfinished escape", R"({"Trigger":"\u12"})"},
        {"16383 quotes", std::string(16383, '"')},
        {"16383 opening brackets", std::string(16383, '[')},
        {"65507 opening brackets", std::string(65507, '[')},
        {"65507 keys opened",
         [] {
             std::string s;
             while (s.size() + 5 <= 65507) s += R"({"a":)";
             return s;
         }()},
        {"1000 nested arrays", std::string(1000, '[') + std::string(1000, ']')},
        {"1001 nested arrays", std::string(1001, '[') + std::string(1001, ']')},
        {"998 nested objects", nested(998)},
        {"999 nested objects", nested(999)},
        {"1000 nested objects", nested(1000)},
        {"3000 nested objects", nested(3000)},
    };
    for (const auto& [what, datagram] : inputs) {
        feed(what, datagram);
        if (HasFailure()) break;
    }
    expect_panel_follows();
}

// The program keeps the first 16383 bytes of a datagram: a message that ends within them is handled,
// one whose closing brace lies beyond them is not.
TEST_F(Catalogue, DatagramSizesAroundTheLimit) {
    const struct {
        const char* code;
        std::string datagram;
        bool handled;
    } cases[] = {
        {"size-16383", padded(fault_with_code("size-16383"), 16383), true},
        {"size-16384", padded(fault_with_code("size-16384"), 16384), false},
        {"size-16384-space", padded(fault_with_code("size-16384-space"), 16383) + " ", true},
        {"size-20000", padded(fault_with_code("size-20000"), 20000), false},
        {"size-20000-early", fault_with_code("size-20000-early") + std::string(20000 - 200, ' '), true},
        {"size-65507", padded(fault_with_code("size-65507"), 65507), false},
        {"size-65507-early",
         padded(fault_with_code("size-65507-early"), 16000) + std::string(65507 - 16000, ' '), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(c.datagram.size() >= 16383);
        feed(c.code, c.datagram);
        answered();
        ASSERT_FALSE(HasFailure());
        EXPECT_EQ(count_of(d_->out(), err_code_line(c.code)), c.handled ? 1u : 0u);
    }
    expect_panel_follows();
}

// Every path of a complete status message for each screen a message selects, each replaced in turn.
class WrongValues : public Catalogue, public testing::WithParamInterface<size_t> {};

TEST_P(WrongValues, EveryPathOfAStatusMessage) {
    const ScreenState& state = c_screen_states[GetParam()];
    const std::string base = full_status(state, StatusFields{}, now_s());
    ASSERT_TRUE(Document(base).valid()) << base;
    enter(base, state.screen);
    const std::vector<Variant> variants = wrong_value_variants(base);
    ASSERT_GT(variants.size(), 500u);
    for (const Variant& v : variants) {
        feed(std::string(state.name) + ": " + v.what, v.text, state.screen == 5 && v.shown);
        if (HasFailure()) break;
    }
    expect_panel_follows();
}

INSTANTIATE_TEST_SUITE_P(Catalogue, WrongValues, testing::Range(size_t(0), std::size(c_screen_states)),
                         [](const testing::TestParamInfo<size_t>& p) {
                             return std::string(c_screen_states[p.param].name);
                         });

// Every path of each trigger command's message replaced in turn, commands the overlay does not know,
// and indexes beyond its tables. Afterwards the overlay still turns the panel green and hides again.
TEST_F(Catalogue, EveryPathOfATriggerMessage) {
    for (const char* command : c_trigger_commands) {
        for (const Variant& v : wrong_value_variants(full_trigger(command))) {
            feed(command + std::string(": ") + v.what, v.text);
            if (HasFailure()) return;
        }
    }
    const std::string more[] = {
        full_trigger(""),
        full_trigger("Testing"),
        full_trigger("Test "),
        full_trigger(" Test"),
        full_trigger("tEsT"),
        full_trigger("Downloading\xff"),
        full_trigger(std::string(5000, 'D')),
        R"({"Trigger":"Downloading\u0000x","percent":50})",
        R"({"TRIGGER":"Test","MSG":2})",
        R"({"trigger":"Auth","msg":9})",
        R"({"Trigger":"Test","Trigger":5,"Msg":0})",
        R"({"Trigger":{"Trigger":"Test"}})",
        R"({"Trigger":["Test"]})",
        R"({"Trigger":null})",
        R"({"Trigger":1})",
        R"({"Trigger":true})",
        R"({"Trigger":"Test","seconds":65536})",
        R"({"Trigger":"Test","seconds":65535})",
        "{\"Trigger\":\"Test\"," + c_charging.substr(1),
    };
    for (const std::string& m : more) feed("trigger " + excerpt(m), m);
    for (const char* command : {"Prompt", "Auth", "Test", "Downloading"}) {
        for (const char* index :
             {"0", "4", "5", "6", "7", "8", "9", "127", "128", "254", "255", "256", "-1"}) {
            feed(command + std::string(" Msg/percent ") + index, full_trigger(command, "0", index, index));
        }
    }
    answered();
    ASSERT_FALSE(HasFailure());

    // Test with Msg 1 fills the panel green.
    ASSERT_TRUE(s_->send(R"({"Trigger":"Test","Msg":1,"seconds":0})"));
    const auto end = Clock::now() + scaled(3000);
    size_t green = 0;
    while (Clock::now() < end && green < ref_idle_.size() / 2) {
        green = 0;
        for (uint32_t p : panel_->visible())
            green += (p >> 8 & 0xFF) > 0xC0 && (p >> 16) < 0x40 && (p & 0xFF) < 0x40;
        sleep_ms(5);
    }
    EXPECT_GE(green, ref_idle_.size() / 2) << "the test overlay is not green";
    expect_panel_follows();
}

// The swipe screen shows the connector code as text and connQR as a QR code: long and broken texts are
// drawn, and the screen still takes a short code afterwards.
TEST_F(Catalogue, LongConnCodeAndQrAreDrawn) {
    const ScreenState& swipe = c_screen_states[4];
    ASSERT_EQ(swipe.screen, 5);
    const std::string base = full_status(swipe, StatusFields{}, now_s());
    enter(base, 5);
    const std::vector<uint32_t> ref_swipe = settled();

    std::vector<Value> texts = {
        {"5000 letters", json_string(std::string(5000, 'W'))},
        {"5000 digits", json_string(std::string(5000, '7'))},
        {"2953 bytes", json_string(std::string(2953, 'q'))},
        {"2954 bytes", json_string(std::string(2954, 'q'))},
        {"4296 upper-case letters", json_string(std::string(4296, 'Q'))},
        {"4297 upper-case letters", json_string(std::string(4297, 'Q'))},
    };
    for (const Value& v : awkward_strings()) texts.push_back(v);
    for (const Value& v : texts) {
        for (const char* path : {"conns[0].connConfig.connCode", "conns[0].connConfig.connQR"}) {
            feed(std::string(path) + " = " + v.label, Document(base).with(path, v.json), true);
            if (HasFailure()) return;
        }
    }
    StatusFields both;
    both.conn_code = std::string(5000, 'C');
    both.conn_qr = std::string(5000, 'R');
    feed("5000-character connCode and connQR together", full_status(swipe, both, now_s()), true);
    answered();
    ASSERT_FALSE(HasFailure());

    ASSERT_TRUE(s_->send(base));
    EXPECT_TRUE(panel_shows(ref_swipe)) << "the short code and QR code are not back on the panel";
    expect_panel_follows();
}

} // namespace
