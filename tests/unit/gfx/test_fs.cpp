// File system: drive-letter paths through the stdio driver, reads, seeks, errors and extensions.
#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/misc/misc_internal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// 300 bytes: 0, 1, ..., 255, 0, 1, ..., 43.
std::string sample_bytes() {
    std::string s;
    for (int i = 0; i < 300; i++) s.push_back((char)(i & 0xff));
    return s;
}

class FsTest : public ::testing::Test {
  protected:
    StdoutLog log;
    void SetUp() override {
        gfx_log_reset();
        _lv_fs_init();
        lv_fs_stdio_init();
        abs_path_ = sd_test_out_path("fs/sample.bin");
        std::ofstream(abs_path_, std::ios::binary) << sample_bytes();
        rel_path_ = fs::relative(abs_path_, fs::current_path()).string();
    }
    void TearDown() override {
        gfx_fs_reset();
        gfx_log_reset();
    }

    std::string read_all(const std::string& path) {
        lv_fs_file_t f;
        EXPECT_EQ(lv_fs_open(&f, path.c_str(), LV_FS_MODE_RD), LV_FS_RES_OK) << path;
        std::string out;
        char buf[64];
        uint32_t br = 0;
        do {
            EXPECT_EQ(lv_fs_read(&f, buf, sizeof(buf), &br), LV_FS_RES_OK);
            out.append(buf, br);
        } while (br == sizeof(buf));
        EXPECT_EQ(lv_fs_close(&f), LV_FS_RES_OK);
        return out;
    }

    std::string abs_path_;
    std::string rel_path_;
};

TEST_F(FsTest, ReadsRelativeAndAbsolutePaths) {
    ASSERT_FALSE(rel_path_.empty());
    ASSERT_NE(rel_path_[0], '/');
    EXPECT_EQ(read_all("A:" + rel_path_), sample_bytes());
    EXPECT_EQ(read_all("A:" + abs_path_), sample_bytes());
    EXPECT_EQ(read_all("A" + abs_path_), sample_bytes()); // the ':' is optional
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(FsTest, ShortReadsSeekAndTell) {
    lv_fs_file_t f;
    ASSERT_EQ(lv_fs_open(&f, ("A:" + rel_path_).c_str(), LV_FS_MODE_RD), LV_FS_RES_OK);
    uint8_t buf[400];
    uint32_t br = 1234;
    uint32_t pos = 1234;

    ASSERT_EQ(lv_fs_seek(&f, 100, LV_FS_SEEK_SET), LV_FS_RES_OK);
    ASSERT_EQ(lv_fs_tell(&f, &pos), LV_FS_RES_OK);
    EXPECT_EQ(pos, 100u);
    ASSERT_EQ(lv_fs_read(&f, buf, 10, &br), LV_FS_RES_OK);
    EXPECT_EQ(br, 10u);
    EXPECT_EQ(buf[0], 100);
    EXPECT_EQ(buf[9], 109);

    lv_fs_seek(&f, 5, LV_FS_SEEK_CUR);
    lv_fs_tell(&f, &pos);
    EXPECT_EQ(pos, 115u);

    // Reading past the end is still OK, with fewer bytes.
    ASSERT_EQ(lv_fs_read(&f, buf, sizeof(buf), &br), LV_FS_RES_OK);
    EXPECT_EQ(br, 185u);
    EXPECT_EQ(buf[0], 115);
    ASSERT_EQ(lv_fs_read(&f, buf, sizeof(buf), &br), LV_FS_RES_OK);
    EXPECT_EQ(br, 0u);

    lv_fs_seek(&f, 0, LV_FS_SEEK_END);
    lv_fs_tell(&f, &pos);
    EXPECT_EQ(pos, 300u);

    EXPECT_EQ(lv_fs_close(&f), LV_FS_RES_OK);
    EXPECT_EQ(f.drv, nullptr);
    EXPECT_EQ(f.file_d, nullptr);
    // A closed handle is refused, and reports nothing read.
    EXPECT_EQ(lv_fs_read(&f, buf, 4, &br), LV_FS_RES_INV_PARAM);
    EXPECT_EQ(br, 0u);
    EXPECT_EQ(lv_fs_close(&f), LV_FS_RES_INV_PARAM);
}

TEST_F(FsTest, WritesAndUpdatesInPlace) {
    std::string path = "A:" + sd_test_out_path("fs/written.txt");
    lv_fs_file_t f;
    uint32_t bw = 0;
    ASSERT_EQ(lv_fs_open(&f, path.c_str(), LV_FS_MODE_WR), LV_FS_RES_OK);
    EXPECT_EQ(lv_fs_write(&f, "hello world", 11, &bw), LV_FS_RES_OK);
    EXPECT_EQ(bw, 11u);
    lv_fs_close(&f);

    ASSERT_EQ(lv_fs_open(&f, path.c_str(), LV_FS_MODE_WR | LV_FS_MODE_RD), LV_FS_RES_OK);
    lv_fs_seek(&f, 6, LV_FS_SEEK_SET);
    lv_fs_write(&f, "WORLD", 5, &bw);
    lv_fs_close(&f);
    EXPECT_EQ(read_all(path), "hello WORLD");
}

TEST_F(FsTest, OpenFailures) {
    lv_fs_file_t f;
    EXPECT_EQ(lv_fs_open(&f, "Z:foo.png", LV_FS_MODE_RD), LV_FS_RES_NOT_EX);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("[Warn]\t", 0), 0u);
    EXPECT_NE(log.lines()[0].find(
                  "\t lv_fs_open: Can't open file (Z:foo.png): unknown driver letter \t(in lv_fs.cpp "),
              std::string::npos);

    // Drive letters are case-sensitive.
    EXPECT_EQ(lv_fs_open(&f, ("a:" + rel_path_).c_str(), LV_FS_MODE_RD), LV_FS_RES_NOT_EX);

    log.clear();
    EXPECT_EQ(lv_fs_open(&f, "A:no/such/file.png", LV_FS_MODE_RD), LV_FS_RES_UNKNOWN);
    EXPECT_TRUE(log.lines().empty()); // the caller reports it

    EXPECT_EQ(lv_fs_open(&f, nullptr, LV_FS_MODE_RD), LV_FS_RES_INV_PARAM);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("[Warn]", 0), 0u);
}

TEST_F(FsTest, PathsLongerThanTheBufferAreRefusedNotCut) {
    // A relative path of exactly 255 characters (padded with "./") that names the sample file.
    std::string tail = rel_path_;
    size_t pad = 255 - tail.size();
    std::string lead = pad % 2 ? ".//" : "";
    while (lead.size() < pad) lead += "./";
    std::string exact = lead + tail;
    ASSERT_EQ(exact.size(), 255u);

    EXPECT_EQ(read_all("A:" + exact), sample_bytes());
    // One more character: cut to 255 it would open the same file, so it must fail instead.
    lv_fs_file_t f;
    EXPECT_EQ(lv_fs_open(&f, ("A:" + exact + "x").c_str(), LV_FS_MODE_RD), LV_FS_RES_UNKNOWN);
}

std::vector<std::string> g_opened;
void* fake_open(lv_fs_drv_t*, const char* path, lv_fs_mode_t) {
    g_opened.emplace_back(path);
    return (void*)1;
}
lv_fs_res_t fake_close(lv_fs_drv_t*, void*) {
    return LV_FS_RES_OK;
}

TEST_F(FsTest, LaterDriversWinAndSeeThePathAfterTheLetter) {
    static lv_fs_drv_t fake;
    lv_fs_drv_init(&fake);
    fake.letter = 'A';
    fake.open_cb = fake_open;
    fake.close_cb = fake_close;
    lv_fs_drv_register(&fake);
    EXPECT_EQ(lv_fs_get_drv('A'), &fake);
    EXPECT_TRUE(lv_fs_is_ready('A'));
    EXPECT_FALSE(lv_fs_is_ready('Q'));

    g_opened.clear();
    lv_fs_file_t f;
    for (const char* p : {"A:img/x.png", "A/abs", "A::twice"}) {
        ASSERT_EQ(lv_fs_open(&f, p, LV_FS_MODE_RD), LV_FS_RES_OK);
        lv_fs_close(&f);
    }
    EXPECT_EQ(g_opened, (std::vector<std::string>{"img/x.png", "/abs", ":twice"}));

    // No seek or tell callbacks: not implemented.
    ASSERT_EQ(lv_fs_open(&f, "A:x", LV_FS_MODE_RD), LV_FS_RES_OK);
    uint32_t pos = 7;
    EXPECT_EQ(lv_fs_seek(&f, 0, LV_FS_SEEK_SET), LV_FS_RES_NOT_IMP);
    EXPECT_EQ(lv_fs_tell(&f, &pos), LV_FS_RES_NOT_IMP);
    EXPECT_EQ(pos, 0u);
    lv_fs_close(&f);
}

TEST(FsExt, TextAfterTheLastDotOfTheFileName) {
    struct Case {
        const char* path;
        const char* ext;
    };
    const Case cases[] = {
        {"A:dir/x.PNG", "PNG"},  {"A:dir.d/x", ""},       {"A:x.tar.gz", "gz"}, {"noext", ""},
        {"A:dir\\y.bmp", "bmp"}, {"A:d.x\\y", ""},        {"A:trailing.", ""},  {".png", ""},
        {"A.png", "png"},        {"A:.hidden", "hidden"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(lv_fs_get_ext(c.path), c.ext);
    }
}

} // namespace
