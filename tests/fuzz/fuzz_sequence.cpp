// A sequence of datagrams per input, with time passing between them. Input format: datagrams separated by a
// zero byte; the byte after each separator is the pause before the next datagram in tenths of a second (0
// to 25.5 s). The first datagram comes after 100 ms and the last is followed by 100 ms. A zero byte ends a
// datagram's text in the program too, so the format hides nothing the program could see.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_app.h"

namespace {

constexpr uint32_t kDefaultPauseMs = 100;
// Bounds one input's virtual time, so that a few long pauses do not slow the whole run down.
constexpr uint32_t kMaxPausesMs = 60000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_app_init(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t paused_ms = 0;
    uint32_t pause_ms = kDefaultPauseMs;
    size_t pos = 0;
    while (pos <= size) {
        const void* sep = pos < size ? std::memchr(data + pos, 0, size - pos) : nullptr;
        const size_t end = sep != nullptr ? size_t(static_cast<const uint8_t*>(sep) - data) : size;
        fuzz_app_advance(pause_ms);
        app_host_datagram(data + pos, end - pos);
        if (end >= size) break;
        // The pause byte after the separator, if there is one.
        pause_ms = end + 1 < size ? uint32_t(data[end + 1]) * 100u : kDefaultPauseMs;
        if (paused_ms + pause_ms > kMaxPausesMs) pause_ms = kDefaultPauseMs;
        paused_ms += pause_ms;
        pos = end + 2;
    }
    fuzz_app_advance(kDefaultPauseMs);
    fuzz_app_check_heap(2000);
    return 0;
}
