// Every screen, the trigger overlay's commands and a few languages, rendered by status-display-snapshot
// from the messages in screens/ and compared with the pictures committed there. GFX_UPDATE_GOLDEN=1
// writes the pictures instead (scripts/update-golden).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "golden_image.h"
#include "harness.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;

const std::string kScreensDir = std::string(SD_GOLDEN_DIR) + "/screens";

// Runs the snapshot tool with `args` in `dir` (default: the build directory) and returns its output,
// with "failed: " in front unless it exits with 0.
std::string run_tool(const std::vector<std::string>& args, const std::string& dir = "") {
    harness::Program p({.program = SD_SNAPSHOT_TOOL, .args = args, .dir = dir});
    const int status = p.wait_exit(harness::scaled(60000)).value_or(-1);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return (ok ? "" : "failed: status " + std::to_string(status) + "\n") + p.out() + p.err();
}

// The tool's arguments for the steps of states.txt: message files are named relative to screens/.
void add_steps(std::vector<std::string>& args, const std::vector<std::string>& steps) {
    for (const std::string& s : steps)
        args.push_back(s.size() > 5 && s.compare(s.size() - 5, 5, ".json") == 0 ? kScreensDir + "/" + s : s);
}

// Compares a rendered picture with screens/<name>.png, or writes it there when updating.
void expect_golden(const std::string& name, const std::string& rendered_path) {
    const std::string expected_path = kScreensDir + "/" + name + ".png";
    RgbImage actual;
    std::string error;
    ASSERT_TRUE(rgb_image_load(rendered_path, &actual, &error)) << rendered_path << ": " << error;
    if (golden_updating()) {
        ASSERT_TRUE(rgb_image_save(expected_path, actual));
        std::printf("wrote %s\n", expected_path.c_str());
        return;
    }
    const std::string mismatch = golden_check(expected_path, actual);
    EXPECT_TRUE(mismatch.empty()) << name << ": " << mismatch;
}

// A picture's name and the tool's arguments after OUT.png.
using Picture = std::pair<std::string, std::vector<std::string>>;

// screens/states.txt: "time SECONDS", then one picture a line, its name and its steps.
std::string g_time;
const std::vector<Picture> kPictures = [] {
    std::vector<Picture> pictures;
    std::ifstream in(kScreensDir + "/states.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream in_line(line);
        const std::vector<std::string> w{std::istream_iterator<std::string>(in_line), {}};
        if (w.empty() || w[0][0] == '#') continue;
        if (w[0] == "time" && w.size() == 2) {
            g_time = w[1];
        } else {
            pictures.push_back({w[0], {w.begin() + 1, w.end()}});
        }
    }
    return pictures;
}();

class ScreenGolden : public ::testing::TestWithParam<Picture> {};

TEST_P(ScreenGolden, MatchesThePicture) {
    const auto& [name, steps] = GetParam();
    const std::string out = sd_test_out_path("screens/" + name + ".png");
    std::vector<std::string> args{"--time", g_time, "--assets", SD_ASSETS_DIR, out};
    add_steps(args, steps);
    const std::string log = run_tool(args);
    ASSERT_FALSE(log.starts_with("failed: ")) << log;
    expect_golden(name, out);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenGolden, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<Picture>& param) { return param.param.first; });

// Started in a directory without qorv_lvgl/, the modules get no pictures and no TrueType fonts: images
// show the runtime's placeholder, labels with a loader font stay empty, and the built-in font still
// draws. One run goes through several screens and the overlay and must keep handling every message.
TEST(SnapshotWithoutAssets, KeepsRenderingEveryMessage) {
    const fs::path empty = sd_test_out_path("screens/empty/");
    fs::remove_all(empty);
    fs::create_directories(empty);
    const std::vector<std::pair<std::string, std::vector<std::string>>> shots = {
        {"welcome", {"welcome.json", "--wait", "1000"}},
        {"idle", {"idle.json"}},
        {"swipe_normal", {"swipe_normal.json"}},
        {"charging_3_phase", {"charging_3_phase.json", "--wait", "1000"}},
        {"not_available", {"not_available.json"}},
        {"overlay_auth", {"overlay_auth.json"}},
    };
    auto shot_path = [](const std::string& name) {
        return sd_test_out_path("screens/without_assets_" + name + ".png");
    };
    std::vector<std::string> args{"--time", g_time, shot_path("final")};
    for (const auto& [name, steps] : shots) {
        add_steps(args, steps);
        args.insert(args.end(), {"--shot", shot_path(name)});
    }
    const std::string log = run_tool(args, empty.string());
    ASSERT_FALSE(log.starts_with("failed: ")) << log;
    EXPECT_NE(log.find("error when loading a font"), std::string::npos) << "the fonts really were missing";
    EXPECT_NE(log.find("qorv_lvgl/assets/"), std::string::npos) << "the missing files are named";
    EXPECT_TRUE(fs::is_empty(empty)) << "the tool wrote nothing into its working directory";
    for (const auto& [name, steps] : shots) {
        SCOPED_TRACE(name);
        expect_golden("without_assets_" + name, shot_path(name));
    }
}

// The comparison itself, on a 320 x 240 grey picture: where its tolerances lie.
TEST(GoldenImage, Tolerance) {
    const RgbImage expected{320, 240, std::vector<uint32_t>(320 * 240, 0x808080)};
    // clang-format off
    const struct { const char* what; size_t pixels; uint32_t value; bool matches; } cases[] = { // pixels set to value
        {"identical", 0, 0, true},
        {"every pixel 8 off in blue", 320 * 240, 0x808088, true},
        {"0.5 % of the pixels 9 off and one more", 385, 0x807780, false},
        {"a quarter black", 320 * 60, 0x000000, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RgbImage actual = expected;
        std::fill_n(actual.px.begin(), c.pixels, c.value);
        EXPECT_EQ(golden_diff(expected, actual).matches(), c.matches);
    }
}

} // namespace
