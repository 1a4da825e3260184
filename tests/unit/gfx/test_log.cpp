// The log line format, the level filter, file-name trimming, the assertion messages, and where lines go:
// standard output with LV_LOG_PRINTF 1 (our configuration), the print callback only with 0.
#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"

#include "../../../gfx/src/misc/misc_internal.h"

// Assertions here count instead of hanging, so their log text can be checked.
static int g_assert_handler_calls = 0;
#undef LV_ASSERT_HANDLER
#define LV_ASSERT_HANDLER ++g_assert_handler_calls;

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

// The same log built with LV_LOG_PRINTF 0, for a program that has no standard output to print to.
#undef LV_LOG_PRINTF
#define LV_LOG_PRINTF 0
namespace callback_build {
#include "../../../gfx/src/misc/lv_log.cpp"
}

namespace {

std::vector<std::string> g_callback_lines;
void capture(const char* line) {
    g_callback_lines.emplace_back(line);
}

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_callback_lines.clear();
        g_assert_handler_calls = 0;
        gfx_log_reset();
        lv_log_register_print_cb(capture);
        gfx_virtual_time_enable(0);
    }
    void TearDown() override {
        gfx_log_reset();
        gfx_virtual_time_disable();
    }
};

TEST_F(LogTest, LinesGoToStandardOutputAndNeverToTheCallback) {
    StdoutLog log;
    gfx_virtual_time_set(1234);
    _lv_log_add(LV_LOG_LEVEL_USER, "/src/app/p_misc.c", 14, "main", "hello %d", 42);
    gfx_virtual_time_set(61300);
    _lv_log_add(LV_LOG_LEVEL_ERROR, "p_misc.c", 7, "udp_get_fd", "exist A UDP connect");
    gfx_virtual_time_set(61305);
    _lv_log_add(LV_LOG_LEVEL_WARN, "a/b.c", 1, "f", "%s|%5.1f", "libc", 2.25);
    // Dropped levels print nothing and do not count as the previous line.
    _lv_log_add(LV_LOG_LEVEL_INFO, "x.c", 1, "f", "info");
    _lv_log_add(LV_LOG_LEVEL_NONE, "x.c", 1, "f", "none");
    gfx_virtual_time_set(61400);
    LV_LOG_USER("u%d", 3);

    ASSERT_EQ(log.lines().size(), 4u);
    EXPECT_EQ(log.lines()[0], "[User]\t(1.234, +1234)\t main: hello 42 \t(in p_misc.c line #14)");
    EXPECT_EQ(log.lines()[1],
              "[Error]\t(61.300, +60066)\t udp_get_fd: exist A UDP connect \t(in p_misc.c line #7)");
    EXPECT_EQ(log.lines()[2], "[Warn]\t(61.305, +5)\t f: libc|  2.2 \t(in b.c line #1)");
    EXPECT_EQ(log.lines()[3].rfind("[User]\t(61.400, +95)\t TestBody: u3 \t(in test_log.cpp line #", 0), 0u);
    EXPECT_TRUE(g_callback_lines.empty());

    // The macros of dropped levels compile to nothing: their arguments are not even evaluated.
    int evaluated = 0;
    LV_LOG_TRACE("%d", ++evaluated);
    LV_LOG_INFO("%d", ++evaluated);
    EXPECT_EQ(evaluated, 0);
}

TEST_F(LogTest, FileNameIsTrimmedToTheLastSeparator) {
    struct Case {
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        {"/home/dev/src/ui/ui_trigger.c", "ui_trigger.c"},
        {"C:\\dev\\src\\font_loader.c", "font_loader.c"},
        {"src/mixed\\style/x.c", "x.c"},
        {"plain.c", "plain.c"},
        {"/rooted.c", "/rooted.c"}, // a separator only at the very start is kept
        {"dir/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        StdoutLog log;
        _lv_log_add(LV_LOG_LEVEL_WARN, c.path, 3, "f", "m");
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.lines()[0], std::string("[Warn]\t(0.000, +0)\t f: m \t(in ") + c.shown + " line #3)");
    }
}

TEST_F(LogTest, AssertionsLogTheExpressionAndCallTheHandler) {
    StdoutLog log;
    void* present = &g_callback_lines;
    void* img_data = nullptr;
    LV_ASSERT_NULL(present);
    LV_ASSERT_MALLOC(present);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(g_assert_handler_calls, 0);

    int line_null = __LINE__ + 1;
    LV_ASSERT_NULL(img_data);
    int line_malloc = __LINE__ + 1;
    LV_ASSERT_MALLOC(img_data);
    int line_msg = __LINE__ + 1;
    LV_ASSERT_MSG(1 + 1 == 3, "arithmetic");
    int line_plain = __LINE__ + 1;
    LV_ASSERT(img_data);
    EXPECT_EQ(g_assert_handler_calls, 4);

    auto line = [](const std::string& msg, int at) {
        return "[Error]\t(0.000, +0)\t TestBody: " + msg + " \t(in test_log.cpp line #" + std::to_string(at) +
               ")";
    };
    std::vector<std::string> want = {
        line("Asserted at expression: img_data != NULL (NULL pointer)", line_null),
        line("Asserted at expression: img_data != NULL (Out of memory)", line_malloc),
        line("Asserted at expression: 1 + 1 == 3 (arithmetic)", line_msg),
        line("Asserted at expression: img_data", line_plain),
    };
    EXPECT_EQ(log.lines(), want);
}

TEST_F(LogTest, WithoutPrintfTheCallbackAloneGetsTheLineCutTo511Characters) {
    testing::internal::CaptureStdout();
    LV_LOG("raw %d\n", 5);
    const std::string longmsg(600, 'x');
    _lv_log_add(LV_LOG_LEVEL_USER, "f.c", 1, "f", "%s", longmsg.c_str());

    callback_build::lv_log_register_print_cb(capture);
    callback_build::lv_log("raw %d\n", 6);
    gfx_virtual_time_set(2005);
    // LVGL's own formatter, which prints no floating point.
    callback_build::_lv_log_add(LV_LOG_LEVEL_WARN, "a/b.c", 9, "g", "%s|%.1f", "lv", 2.25);
    callback_build::_lv_log_add(LV_LOG_LEVEL_INFO, "a/b.c", 9, "g", "dropped");
    callback_build::_lv_log_add(LV_LOG_LEVEL_USER, "f.c", 1, "f", "%s", longmsg.c_str());
    callback_build::lv_log_register_print_cb(nullptr);
    callback_build::_lv_log_add(LV_LOG_LEVEL_USER, "f.c", 1, "f", "nowhere");
    fflush(stdout);

    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "raw 5\n[User]\t(0.000, +0)\t f: " + longmsg + " \t(in f.c line #1)\n");
    ASSERT_EQ(g_callback_lines.size(), 3u);
    EXPECT_EQ(g_callback_lines[0], "raw 6\n");
    EXPECT_EQ(g_callback_lines[1], "[Warn]\t(2.005, +2005)\t g: lv|f \t(in b.c line #9)\n");
    EXPECT_EQ(g_callback_lines[2].size(), 511u);
    EXPECT_EQ(g_callback_lines[2].rfind("[User]\t(2.005, +0)\t f: xxx", 0), 0u);
}

} // namespace
