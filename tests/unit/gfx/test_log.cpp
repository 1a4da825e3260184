// The log line format, the level filter, file-name trimming and the assertion messages.
#include "gfx_ext.h"
#include "lvgl.h"

#include "../../../gfx/src/misc/misc_internal.h"

// Assertions here count instead of hanging, so their log text can be checked.
static int g_assert_handler_calls = 0;
#undef LV_ASSERT_HANDLER
#define LV_ASSERT_HANDLER ++g_assert_handler_calls;

#include <gtest/gtest.h>

#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;
void capture(const char* line) {
    g_lines.emplace_back(line);
}

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_lines.clear();
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

TEST_F(LogTest, LineFormatWithTimeAndDeltaSinceThePreviousLine) {
    gfx_virtual_time_set(1234);
    testing::internal::CaptureStdout();
    _lv_log_add(LV_LOG_LEVEL_USER, "/src/app/p_misc.c", 14, "main", "hello %d", 42);
    gfx_virtual_time_set(61300);
    _lv_log_add(LV_LOG_LEVEL_ERROR, "p_misc.c", 7, "udp_get_fd", "exist A UDP connect");
    gfx_virtual_time_set(61305);
    _lv_log_add(LV_LOG_LEVEL_WARN, "a/b.c", 1, "f", "%s|%5.1f", "libc", 2.25);
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();

    std::vector<std::string> want = {
        "[User]\t(1.234, +1234)\t main: hello 42 \t(in p_misc.c line #14)\n",
        "[Error]\t(61.300, +60066)\t udp_get_fd: exist A UDP connect \t(in p_misc.c line #7)\n",
        "[Warn]\t(61.305, +5)\t f: libc|  2.2 \t(in b.c line #1)\n",
    };
    EXPECT_EQ(g_lines, want);
    EXPECT_EQ(out, want[0] + want[1] + want[2]);
}

TEST_F(LogTest, LevelsBelowWarnAreDropped) {
    gfx_virtual_time_set(100);
    _lv_log_add(LV_LOG_LEVEL_TRACE, "x.c", 1, "f", "trace");
    _lv_log_add(LV_LOG_LEVEL_INFO, "x.c", 1, "f", "info");
    _lv_log_add(LV_LOG_LEVEL_NONE, "x.c", 1, "f", "none");
    EXPECT_TRUE(g_lines.empty());

    // The macros of dropped levels compile to nothing: their arguments are not even evaluated.
    int evaluated = 0;
    LV_LOG_TRACE("%d", ++evaluated);
    LV_LOG_INFO("%d", ++evaluated);
    EXPECT_EQ(evaluated, 0);

    gfx_virtual_time_set(250);
    LV_LOG_WARN("w%d", ++evaluated);
    LV_LOG_ERROR("e%d", ++evaluated);
    LV_LOG_USER("u%d", ++evaluated);
    ASSERT_EQ(g_lines.size(), 3u);
    // Dropped lines do not count as "previous": the delta is from 0.
    EXPECT_EQ(g_lines[0].rfind("[Warn]\t(0.250, +250)\t TestBody: w1 \t(in test_log.cpp line #", 0), 0u);
    EXPECT_EQ(g_lines[1].rfind("[Error]\t(0.250, +0)\t TestBody: e2 \t", 0), 0u);
    EXPECT_EQ(g_lines[2].rfind("[User]\t(0.250, +0)\t TestBody: u3 \t", 0), 0u);
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
        g_lines.clear();
        _lv_log_add(LV_LOG_LEVEL_WARN, c.path, 3, "f", "m");
        ASSERT_EQ(g_lines.size(), 1u);
        EXPECT_EQ(g_lines[0], std::string("[Warn]\t(0.000, +0)\t f: m \t(in ") + c.shown + " line #3)\n");
    }
}

TEST_F(LogTest, AssertionsLogTheExpressionAndCallTheHandler) {
    void* present = &g_lines;
    void* img_data = nullptr;
    LV_ASSERT_NULL(present);
    LV_ASSERT_MALLOC(present);
    EXPECT_TRUE(g_lines.empty());
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
               ")\n";
    };
    std::vector<std::string> want = {
        line("Asserted at expression: img_data != NULL (NULL pointer)", line_null),
        line("Asserted at expression: img_data != NULL (Out of memory)", line_malloc),
        line("Asserted at expression: 1 + 1 == 3 (arithmetic)", line_msg),
        line("Asserted at expression: img_data", line_plain),
    };
    EXPECT_EQ(g_lines, want);
}

TEST_F(LogTest, BareLogAndLongLinesForTheCallback) {
    testing::internal::CaptureStdout();
    LV_LOG("raw %d\n", 5);
    std::string longmsg(600, 'x');
    _lv_log_add(LV_LOG_LEVEL_USER, "f.c", 1, "f", "%s", longmsg.c_str());
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();

    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_EQ(g_lines[0], "raw 5\n");
    // The callback gets at most 511 characters; standard output gets the whole line.
    EXPECT_EQ(g_lines[1].size(), 511u);
    EXPECT_EQ(g_lines[1].rfind("[User]\t(0.000, +0)\t f: xxx", 0), 0u);
    EXPECT_EQ(out, "raw 5\n[User]\t(0.000, +0)\t f: " + longmsg + " \t(in f.c line #1)\n");

    // Without a callback the line still goes to standard output.
    lv_log_register_print_cb(nullptr);
    testing::internal::CaptureStdout();
    LV_LOG_USER("quiet");
    fflush(stdout);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(" TestBody: quiet \t"), std::string::npos);
    EXPECT_EQ(g_lines.size(), 2u);
}

} // namespace
