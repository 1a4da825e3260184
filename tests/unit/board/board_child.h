// Child processes for the board tests: the fake framebuffer only works in a freshly started program
// (LD_PRELOAD), and fakefb-png is a program of its own. Also reads the fake framebuffer's file back.
#pragma once

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "fakefb_shm.h"

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

inline std::string slurp(FILE* f) {
    std::string s;
    std::rewind(f);
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) s.append(chunk, n);
    std::fclose(f);
    return s;
}

// Runs argv with extra environment variables and, when `preload` is set, the fake framebuffer
// preloaded. Under user-mode emulation (the armhf tests run in qemu-arm) the kernel cannot start the
// target's binaries itself (ENOEXEC), so they are started through the emulator.
inline ChildResult run_child(const std::vector<std::string>& argv, const EnvList& env, bool preload) {
    ChildResult r;
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (!out || !err) return r;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::string preload_var = std::string("LD_PRELOAD=") + FAKEFB_LIB;
        if (preload) {
            setenv("LD_PRELOAD", FAKEFB_LIB, 1);
            // An uninstrumented library ahead of the sanitizer runtime is intended here.
            const char* asan = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
        }
        execv(args[0], args.data());
#if defined(__arm__)
        if (errno == ENOEXEC) {
            std::vector<char*> q{const_cast<char*>("qemu-arm")};
            if (preload) {
                unsetenv("LD_PRELOAD"); // for the guest only, not for the emulator itself
                q.push_back(const_cast<char*>("-E"));
                q.push_back(preload_var.data());
            }
            q.insert(q.end(), args.begin(), args.end());
            execvp(q[0], q.data());
        }
#endif
        std::perror(args[0]);
        _exit(127);
    }
    if (pid > 0) {
        while (waitpid(pid, &r.status, 0) < 0 && errno == EINTR) {
        }
    }
    r.out = slurp(out);
    r.err = slurp(err);
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
