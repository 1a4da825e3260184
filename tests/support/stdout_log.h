// Standard output while a StdoutLog lives, where LVGL 8.3 prints its log (LV_LOG_PRINTF 1, no print
// callback). Descriptor 1 goes to a file meanwhile; the capture is passed on when the StdoutLog ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class StdoutLog {
  public:
    StdoutLog();
    ~StdoutLog();
    StdoutLog(const StdoutLog&) = delete;
    StdoutLog& operator=(const StdoutLog&) = delete;
    // The lines printed since it was made (or since clear()).
    std::vector<std::string> lines();
    // Lines that contain `text`.
    size_t count(const std::string& text);
    bool contains(const std::string& text) { return count(text) > 0; }
    // Forgets the lines printed so far.
    void clear();

  private:
    int saved_fd_ = -1;
    std::string path_;
    size_t skip_ = 0;
};
