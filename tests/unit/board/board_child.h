// Child processes for the board tests: the fake framebuffer only works in a freshly started program
// (LD_PRELOAD), and fakefb-png is a program of its own. Both start through the harness's launcher,
// with the fake framebuffer preloaded. Also reads the fake framebuffer's file back.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "fakefb_shm.h"
#include "harness.h"

using EnvList = std::vector<std::pair<std::string, std::string>>;

struct ChildResult {
    int status = -1; // as reported by waitpid
    std::string out;
    std::string err;

    bool exited_ok() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    std::string describe() const {
        std::string s = WIFEXITED(status)     ? "exit status " + std::to_string(WEXITSTATUS(status))
                        : WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                              : "status " + std::to_string(status);
        return s + "\n--- stdout\n" + out + "--- stderr\n" + err;
    }
};

inline std::string self_exe() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

// Runs argv with extra environment variables to its end.
inline ChildResult run_child(const std::vector<std::string>& argv, const EnvList& env) {
    harness::Program p({.program = argv[0], .args = {argv.begin() + 1, argv.end()}, .env = env});
    ChildResult r;
    r.status = p.wait_exit(harness::scaled(60000)).value_or(-1);
    r.out = p.out();
    r.err = p.err();
    return r;
}

// The fake framebuffer's file: its header and its framebuffer memory.
struct FakeFbFile {
    fakefb_header h{};
    std::vector<uint8_t> mem;
    bool valid = false;
};

inline FakeFbFile read_fakefb(const std::string& path) {
    FakeFbFile f;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof f.h) return f;
    std::memcpy(&f.h, bytes.data(), sizeof f.h);
    if (f.h.magic != FAKEFB_MAGIC || f.h.data_offset > bytes.size()) return f;
    f.mem.assign(bytes.begin() + f.h.data_offset, bytes.end());
    f.valid = f.mem.size() == f.h.smem_len;
    return f;
}
