// GoogleTest support for the application's tests. It uses nothing but the LVGL API and the
// application's own interface, so the same tests run against our runtime and against LVGL itself:
//   - a 320 x 240 memory display and the virtual tick of tools/harness/app_host; the wall clock is
//     pinned at kNow;
//   - log lines are read from what the program prints on standard output;
//   - the application is brought up as the program does (MainScreen_Init), in the build directory,
//     which holds the asset set.
// The application keeps module state (screens are built once), so ctest runs every test case in a
// process of its own.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "i18n/lv_i18n.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "msg/msg.h"
#include "stdout_log.h"

// The wall clock every test starts at: 2023-11-14 22:13:20 UTC.
inline constexpr int64_t kNow = 1700000000;

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override;    // display, tick, build directory, pinned clock, MainScreen_Init
    void TearDown() override; // back to the old working directory, clock unpinned

    bool start_manager_ = true; // false: SetUp leaves MainScreen_Init to the test

    // Parses `json` (the test fails on bad JSON), hands it to MainScreen_SetData and returns the log
    // lines it printed.
    std::vector<std::string> send(const std::string& json);
    // Advances the tick by `ms` in steps of 20 ms (the event loop's rate), running lv_timer_handler().
    void advance(uint32_t ms);
    // The colour shown at (x, y) as 0xRRGGBB, after a refresh.
    uint32_t pixel(lv_coord_t x, lv_coord_t y);

  private:
    std::string old_cwd_;
};

// A status or trigger message built from (path, JSON value) pairs, e.g.
// {{"conns[0].sessionConnInfo.ramData._status", R"("Charging")"}}; objects and arrays on the way are
// made as needed, and a later pair replaces an earlier one with the same path.
using Fields = std::vector<std::pair<std::string, std::string>>;
std::string message(const Fields& fields);
// The same on top of a status message that selects `screen` (one of the screens the rules choose).
std::string screen_message(int screen, const Fields& fields = {});

std::string text(lv_obj_t* label);
bool hidden(lv_obj_t* obj);
std::string img_src(lv_obj_t* img);
