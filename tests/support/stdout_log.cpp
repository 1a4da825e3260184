#include "stdout_log.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "test_paths.h"

StdoutLog::StdoutLog() {
    static int serial = 0;
    path_ = sd_test_out_path("stdout/" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".txt");
    std::fflush(stdout);
    saved_fd_ = dup(1);
    const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    close(fd);
}

// What was captured goes on to the standard output that was there before, so an enclosing log or the
// test's own output still has it.
StdoutLog::~StdoutLog() {
    std::fflush(stdout);
    dup2(saved_fd_, 1);
    close(saved_fd_);
    std::ifstream in(path_);
    std::ostringstream ss;
    ss << in.rdbuf();
    std::fputs(ss.str().c_str(), stdout);
    std::fflush(stdout);
    std::filesystem::remove(path_);
}

std::vector<std::string> StdoutLog::lines() {
    std::fflush(stdout);
    std::ifstream in(path_);
    std::vector<std::string> out;
    size_t n = 0;
    for (std::string line; std::getline(in, line); n++) {
        if (n >= skip_) out.push_back(line);
    }
    return out;
}

size_t StdoutLog::count(const std::string& text) {
    size_t n = 0;
    for (const std::string& l : lines()) n += l.find(text) != std::string::npos;
    return n;
}

void StdoutLog::clear() {
    skip_ += lines().size();
}
