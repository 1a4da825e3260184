// The small pieces: the formatter behind lv_label_set_text_fmt, the file system with its stdio driver
// and the tick.
#include "app_host.h"
#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Formats through lv_vsnprintf. Deliberately without a format attribute: some cases use conversions
// the compiler's checker does not know (%b) or leave arguments out (%f).
std::string fmt(const char* format, ...) {
    char buf[256];
    va_list va;
    va_start(va, format);
    const int n = lv_vsnprintf(buf, sizeof(buf), format, va);
    va_end(va);
    EXPECT_EQ((size_t)n, std::strlen(buf)) << format;
    return buf;
}

TEST(Printf, FormatsLikeLvglsOwnFormatter) {
    EXPECT_EQ(
        fmt("[%d|%02d|%5d|%-4d|%s|%%|%x|%X|%u|%ld|%c]", 7, 7, 42, 3, "str", 255, 255, 4000000000u, -5L, 'Z'),
        "[7|07|   42|3   |str|%|ff|FF|4000000000|-5|Z]");
    EXPECT_EQ(fmt("%+d % d %+d|%05d|%-05d|%+05d", 5, 5, -5, -42, 42, 42), "+5  5 -5|-0042|42   |+0042");
    EXPECT_EQ(fmt("%.3d|%6.3d|%06.3d|%-6.3d|[%.0d]", 7, 7, 7, -7, 0), "007|   007|   007|-007  |[]");
    EXPECT_EQ(fmt("%#x %#X %#o %#b %#x|%#08x|%b", 255, 255, 8, 5, 0, 255, 10),
              "0xff 0XFF 010 0b101 0|0x0000ff|1010");
    EXPECT_EQ(
        fmt("%*d|%-*d|%.*d|%.*s|%5s|%-5s|%.0s|%3c", 4, 7, 4, 7, 3, 5, 2, "abcdef", "ab", "ab", "gone", 'b'),
        "   7|7   |005|ab|   ab|ab   ||  b");
    // No floating point: the letter is printed and nothing consumed; a null string is "(null)".
    EXPECT_EQ(fmt("%.1f kW|%e|%s|%3.2s", (const char*)nullptr, (const char*)nullptr), "f kW|e|(null)| (n");

    // Cut to the buffer, the full length reported; count 0 writes nothing.
    char buf[8];
    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(lv_snprintf(buf, 5, "hello %s", "world"), 11);
    EXPECT_EQ(std::string(buf, 6), std::string("hell\0#", 6));
    EXPECT_EQ(lv_snprintf(buf, 0, "%s", "abc"), 3);
    EXPECT_EQ(buf[0], 'h');
    EXPECT_EQ(lv_snprintf(nullptr, 0, "%05d|%s", 42, "label"), 11);
}

class Fs : public ::testing::Test {
  protected:
    StdoutLog log;
    std::string sample_; // 300 bytes: 0, 1, ..., 255, 0, 1, ..., 43
    void SetUp() override {
        gfx_log_reset();
        _lv_fs_init();
        lv_fs_stdio_init();
        for (int i = 0; i < 300; i++) sample_.push_back((char)i);
        std::ofstream(sd_test_out_path("fs/sample.bin"), std::ios::binary) << sample_;
    }
    void TearDown() override {
        gfx_fs_reset();
        gfx_log_reset();
    }
};

TEST_F(Fs, OpensDriveAPathsRelativeToTheWorkingDirectoryAndReadsThem) {
    const std::string abs = sd_test_out_path("fs/sample.bin");
    const std::string rel = std::filesystem::relative(abs, std::filesystem::current_path()).string();
    // A relative path of exactly 255 characters (padded with "./") fits the driver's buffer.
    std::string exact = (255 - rel.size()) % 2 ? ".//" : "";
    while (exact.size() < 255 - rel.size()) exact += "./";
    exact += rel;
    const struct {
        std::string path;
        lv_fs_res_t res;
    } cases[] = {
        {"A:" + rel, LV_FS_RES_OK},
        {"A:" + abs, LV_FS_RES_OK},
        {"A" + abs, LV_FS_RES_OK}, // ':' optional
        {"A:" + exact, LV_FS_RES_OK},
        {"A:" + exact + "x", LV_FS_RES_UNKNOWN}, // cut to 255 it would open the same file: refused instead
        {"A:no/such/file.png", LV_FS_RES_UNKNOWN},
        {"a:" + rel, LV_FS_RES_NOT_EX}, // letters are case-sensitive
    };
    for (const auto& c : cases) {
        lv_fs_file_t f;
        ASSERT_EQ(lv_fs_open(&f, c.path.c_str(), LV_FS_MODE_RD), c.res) << c.path;
        if (c.res != LV_FS_RES_OK) continue;
        std::string got(400, '\0');
        uint32_t br = 0;
        EXPECT_EQ(lv_fs_read(&f, got.data(), 64, &br), LV_FS_RES_OK); // short reads past the end are OK
        EXPECT_EQ(lv_fs_read(&f, got.data() + 64, 400, &br), LV_FS_RES_OK);
        EXPECT_EQ(got.substr(0, 64 + br), sample_);
        uint32_t pos = 0;
        lv_fs_seek(&f, 100, LV_FS_SEEK_SET);
        lv_fs_seek(&f, 5, LV_FS_SEEK_CUR);
        lv_fs_tell(&f, &pos);
        EXPECT_EQ(pos, 105u);
        lv_fs_seek(&f, 0, LV_FS_SEEK_END);
        lv_fs_tell(&f, &pos);
        EXPECT_EQ(pos, 300u);
        EXPECT_EQ(lv_fs_close(&f), LV_FS_RES_OK);
        EXPECT_EQ(lv_fs_read(&f, got.data(), 4, &br) * 100 + br, LV_FS_RES_INV_PARAM * 100); // closed
    }
    // Only the unknown letter and a missing path are reported; a failed open is the caller's to report.
    lv_fs_file_t f;
    EXPECT_EQ(lv_fs_open(&f, nullptr, LV_FS_MODE_RD), LV_FS_RES_INV_PARAM);
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.count("[Warn]\t("), 2u);
    EXPECT_EQ(log.count("\t lv_fs_open: Can't open file (a:"), 1u);
}

TEST(FsExt, IsTheTextAfterTheLastDotOfTheFileName) {
    const char* cases[][2] = {{"A:dir/x.PNG", "PNG"}, {"A:dir.d/x", ""},   {"A:x.tar.gz", "gz"},
                              {"A:d.x\\y", ""},       {"A:trailing.", ""}, {".png", ""},
                              {"A:.hidden", "hidden"}};
    for (const auto& c : cases) EXPECT_STREQ(lv_fs_get_ext(c[0]), c[1]) << c[0];
}

TEST(Tick, VirtualTimeAndWrapSafeElapsed) {
    gfx_virtual_time_enable(1244);
    EXPECT_EQ(lv_tick_elaps(0xFFFFFFF0u), 1260u);
    gfx_virtual_time_set(0xFFFFFFFFu);
    gfx_virtual_time_advance(2);
    EXPECT_EQ(lv_tick_get(), 1u);
    gfx_virtual_time_disable();
    // Back on the program's own clock (the application host's; it replaces the library's default).
    app_host_tick_set(777);
    EXPECT_EQ(lv_tick_get(), 777u);
}

} // namespace
