#include "input/sender_filter.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include <arpa/inet.h>

#include "lvgl.h"

namespace {

constexpr uint32_t kReportPeriodMs = 60 * 1000;
constexpr std::string_view kSeparators = " \t,";

in_addr_t s_bind = htonl(INADDR_ANY);
bool s_everyone = true;
std::vector<in_addr_t> s_allowed;

uint32_t s_refused = 0;
in_addr_t s_last_refused = 0;
bool s_reported = false;
uint32_t s_last_report_ms = 0;

// One dotted-quad IPv4 address and nothing else.
bool parse_address(std::string_view text, in_addr_t& out) {
    char s[INET_ADDRSTRLEN] = {};
    if (text.empty() || text.size() >= sizeof s) return false;
    std::memcpy(s, text.data(), text.size());
    in_addr a{};
    if (inet_pton(AF_INET, s, &a) != 1) return false;
    out = a.s_addr;
    return true;
}

std::string_view trimmed(const char* text) {
    std::string_view s = text ? text : "";
    const size_t first = s.find_first_not_of(kSeparators);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kSeparators) - first + 1);
}

void read_bind(const char* text) {
    const std::string_view s = trimmed(text);
    if (s.empty()) return;
    if (!parse_address(s, s_bind)) {
        LV_LOG_ERROR("STATUS_DISPLAY_BIND=\"%s\" is no IPv4 address: messages are taken on 127.0.0.1 only",
                     text);
        s_bind = htonl(INADDR_LOOPBACK);
    }
}

void read_allow(const char* text) {
    std::string_view s = trimmed(text);
    if (s.empty()) return;
    s_everyone = false;
    while (!s.empty()) {
        const size_t end = std::min(s.find_first_of(kSeparators), s.size());
        const std::string_view word = s.substr(0, end);
        s.remove_prefix(end);
        s.remove_prefix(std::min(s.find_first_not_of(kSeparators), s.size()));
        in_addr_t a = 0;
        if (!parse_address(word, a)) {
            LV_LOG_ERROR(
                "STATUS_DISPLAY_ALLOW=\"%s\" holds \"%.*s\", no IPv4 address: only 127.0.0.1 may send", text,
                int(word.size()), word.data());
            s_allowed.assign(1, htonl(INADDR_LOOPBACK));
            return;
        }
        s_allowed.push_back(a);
    }
}

} // namespace

void sender_filter_init(const char* bind, const char* allow) {
    s_bind = htonl(INADDR_ANY);
    s_everyone = true;
    s_allowed.clear();
    read_bind(bind);
    read_allow(allow);
}

in_addr_t sender_filter_bind_address() {
    return s_bind;
}

bool sender_filter_accepts(const sockaddr_in& from) {
    if (s_everyone) return true;
    if (from.sin_family == AF_INET) {
        for (const in_addr_t a : s_allowed) {
            if (a == from.sin_addr.s_addr) return true;
        }
    }
    s_refused++;
    s_last_refused = from.sin_addr.s_addr;
    return false;
}

void sender_filter_report(uint32_t now_ms) {
    if (s_refused == 0 || (s_reported && now_ms - s_last_report_ms < kReportPeriodMs)) return;
    char last[INET_ADDRSTRLEN] = "?";
    in_addr a{};
    a.s_addr = s_last_refused;
    inet_ntop(AF_INET, &a, last, sizeof last);
    LV_LOG_WARN("dropped %u datagrams from senders not allowed (last from %s)", unsigned(s_refused), last);
    s_refused = 0;
    s_reported = true;
    s_last_report_ms = now_ms;
}
