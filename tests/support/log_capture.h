// Log lines as the program prints them. LVGL 8.3 prints its log on standard output when LV_LOG_PRINTF
// is 1 and then never calls a registered print callback, so tests read standard output: while a
// LogCapture lives, file descriptor 1 goes to a temporary file, and everything that was printed is
// passed on to the real standard output when it ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The log lines printed so far ("[Warn]\t(...)\t func: text \t(in file line #n)", without the final
    // newline; a message with newlines of its own stays one entry). Other output is left out.
    const std::vector<std::string>& lines() const;
    // Number of log lines containing `text`.
    size_t count(const std::string& text) const;
    bool contains(const std::string& text) const { return count(text) > 0; }
    // Forgets the lines read so far.
    void clear();

  private:
    void read_more() const;

    int file_ = -1;  // the temporary file behind descriptor 1
    int saved_ = -1; // the real standard output
    mutable long offset_ = 0;
    mutable std::string partial_;  // a line not yet ended
    mutable bool open_entry_ = false; // the last entry still waits for its "(in file line #n)"
    mutable std::vector<std::string> lines_;
};
