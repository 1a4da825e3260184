#include "log_capture.h"

#include <cstdio>
#include <unistd.h>

namespace {

bool starts_log_line(const std::string& s) {
    for (const char* level : {"[Trace]\t(", "[Info]\t(", "[Warn]\t(", "[Error]\t(", "[User]\t("}) {
        if (s.rfind(level, 0) == 0) return true;
    }
    return false;
}

// A log line ends with " \t(in <file> line #<n>)".
bool ends_log_line(const std::string& s) {
    const size_t at = s.rfind(" \t(in ");
    return at != std::string::npos && s.find(" line #", at) != std::string::npos && s.back() == ')';
}

void write_all(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t w = write(fd, p, n);
        if (w <= 0) return;
        p += w;
        n -= size_t(w);
    }
}

} // namespace

LogCapture::LogCapture() {
    std::FILE* tmp = std::tmpfile();
    if (tmp == nullptr) return;
    file_ = dup(fileno(tmp));
    std::fclose(tmp);
    std::fflush(stdout);
    saved_ = dup(1);
    dup2(file_, 1);
}

LogCapture::~LogCapture() {
    if (file_ < 0) return;
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    char buf[4096];
    off_t at = 0;
    for (ssize_t n; (n = pread(file_, buf, sizeof(buf), at)) > 0; at += n) write_all(1, buf, size_t(n));
    close(file_);
}

void LogCapture::read_more() const {
    if (file_ < 0) return;
    std::fflush(stdout);
    char buf[4096];
    for (ssize_t n; (n = pread(file_, buf, sizeof(buf), offset_)) > 0; offset_ += n) partial_.append(buf, size_t(n));
    for (size_t nl; (nl = partial_.find('\n')) != std::string::npos; partial_.erase(0, nl + 1)) {
        std::string line = partial_.substr(0, nl);
        if (starts_log_line(line)) {
            lines_.push_back(line);
            open_entry_ = !ends_log_line(line);
        } else if (open_entry_) {
            lines_.back() += "\n" + line;
            open_entry_ = !ends_log_line(line);
        }
    }
}

const std::vector<std::string>& LogCapture::lines() const {
    read_more();
    return lines_;
}

size_t LogCapture::count(const std::string& text) const {
    size_t n = 0;
    for (const std::string& l : lines()) n += l.find(text) != std::string::npos;
    return n;
}

void LogCapture::clear() {
    read_more();
    lines_.clear();
    open_entry_ = false;
}
