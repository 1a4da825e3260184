#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "app_fixture.h"
#include "test_paths.h"
#include "ui/font_loader/font_loader.h"

namespace fs = std::filesystem;

namespace {

class FontLoader : public AppFixture {
  protected:
    FontLoader() { start_manager_ = false; }
    void SetUp() override {
        AppFixture::SetUp();
        old_cwd_ = fs::current_path();
        dir_ = fs::path(sd_test_out_path("font_loader/run/x")).parent_path();
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "qorv_lvgl/assets/font");
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_cwd_);
        AppFixture::TearDown();
    }
    void install(const std::string& from_module, const char* as) {
        fs::copy_file(sd_node_module_path(from_module), dir_ / "qorv_lvgl/assets/font" / as,
                      fs::copy_options::overwrite_existing);
    }
    fs::path old_cwd_, dir_;
};

TEST_F(FontLoader, CreatesEachFontOnceAndRetriesFailures) {
    install("@expo-google-fonts/montserrat/400Regular/Montserrat_400Regular.ttf",
            "HarmonyOS_Sans_Regular.ttf");
    StdoutLog log;

    // An unknown id creates nothing.
    EXPECT_EQ(font_loader_get_font(11), nullptr);
    ASSERT_EQ(log.count("invalid font type index"), 1u);
    EXPECT_NE(log.lines()[0].find("[Error]"), std::string::npos);

    // The sans face loads; the same id gives the same font.
    lv_font_t* sans16 = font_loader_get_font(3);
    ASSERT_NE(sans16, nullptr);
    EXPECT_EQ(font_loader_get_font(3), sans16);
    EXPECT_NE(font_loader_get_font(0), sans16);

    // Without the mono file, ids 6 to 10 fail on every request and say so each time.
    const size_t before = log.count("error when loading a font");
    for (uint32_t id = 6; id <= 10; id++) EXPECT_EQ(font_loader_get_font(id), nullptr) << id;
    EXPECT_EQ(font_loader_get_font(7), nullptr);
    EXPECT_EQ(log.count("error when loading a font") - before, 6u);

    // Once the file is there, the next request succeeds: a different font from the sans one.
    install("@expo-google-fonts/ubuntu-mono/700Bold/UbuntuMono_700Bold.ttf", "UbuntuMono-B.ttf");
    lv_font_t* mono16 = font_loader_get_font(7);
    ASSERT_NE(mono16, nullptr);
    EXPECT_NE(mono16, sans16);
    EXPECT_EQ(font_loader_get_font(7), mono16);
}

} // namespace
