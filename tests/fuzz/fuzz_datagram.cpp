// One datagram per input, through parsing, the screen manager and 100 ms of the event loop. The
// process keeps its screens between inputs, as the program does between datagrams.
#include <cstddef>
#include <cstdint>

#include "fuzz_app.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_app_init(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    app_host_datagram(data, size);
    fuzz_app_advance(100);
    fuzz_app_check_heap(20000);
    return 0;
}
