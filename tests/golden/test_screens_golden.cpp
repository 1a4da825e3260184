// Every screen, the trigger overlay's commands and a few languages, rendered by status-display-snapshot
// from the messages in screens/ and compared with the pictures committed there. GFX_UPDATE_GOLDEN=1
// writes the pictures instead (scripts/update-golden).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

struct ToolRun {
    int status = -1; // as waitpid reports it
    std::string log; // the tool's stdout and stderr

    bool ok() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    int exit_code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
};

// Runs the snapshot tool with `args` in `dir` (default: the build directory), through the harness's
// launcher.
ToolRun run_tool(const std::vector<std::string>& args, const std::string& dir = "") {
    harness::Program p({.program = SD_SNAPSHOT_TOOL, .args = args, .dir = dir});
    const int status = p.wait_exit(harness::scaled(60000)).value_or(-1);
    return {status, p.out() + p.err()};
}

// Message files are named relative to screens/; everything else is passed on as it is.
std::vector<std::string> resolve(const std::vector<std::string>& steps) {
    std::vector<std::string> out;
    for (const std::string& s : steps) {
        const bool is_file = s.size() > 5 && s.compare(s.size() - 5, 5, ".json") == 0;
        out.push_back(is_file ? kScreensDir + "/" + s : s);
    }
    return out;
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

struct Picture {
    std::string name;
    std::vector<std::string> steps; // the tool's arguments after OUT.png
};

std::ostream& operator<<(std::ostream& os, const Picture& p) {
    return os << p.name;
}

// The pictures and their wall time, from screens/states.txt.
struct States {
    std::string time;
    std::vector<Picture> pictures;
};

const States& states() {
    static const States list = [] {
        States s;
        std::ifstream in(kScreensDir + "/states.txt");
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            Picture p;
            if (!(words >> p.name) || p.name[0] == '#') continue;
            for (std::string w; words >> w;) p.steps.push_back(w);
            if (p.name == "time" && p.steps.size() == 1) {
                s.time = p.steps[0];
            } else {
                s.pictures.push_back(p);
            }
        }
        return s;
    }();
    return list;
}

class ScreenGolden : public ::testing::TestWithParam<Picture> {};

TEST(ScreenStates, ListHasATimeAndPictures) {
    EXPECT_FALSE(states().time.empty());
    EXPECT_FALSE(states().pictures.empty());
}

TEST_P(ScreenGolden, MatchesThePicture) {
    const Picture& p = GetParam();
    const std::string out = sd_test_out_path(std::string("screens/") + p.name + ".png");
    std::vector<std::string> args{"--time", states().time, "--assets", SD_ASSETS_DIR, out};
    for (const std::string& s : resolve(p.steps)) args.push_back(s);
    const ToolRun run = run_tool(args);
    ASSERT_TRUE(run.ok()) << "exit " << run.exit_code() << "\n" << run.log;
    expect_golden(p.name, out);
}

std::string picture_name(const ::testing::TestParamInfo<Picture>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenGolden, ::testing::ValuesIn(states().pictures), picture_name);

// Started in a directory without qorv_lvgl/, the modules get no pictures and no TrueType fonts: images
// show the runtime's placeholder, labels with a loader font stay empty, and the built-in font still
// draws. One run goes through several screens and the overlay and must keep handling every message.
TEST(SnapshotWithoutAssets, KeepsRenderingEveryMessage) {
    const fs::path empty = sd_test_out_path("screens/empty/");
    fs::remove_all(empty);
    fs::create_directories(empty);
    struct Shot {
        const char* name;
        std::vector<std::string> steps; // what leads from the previous shot to this one
    };
    const std::vector<Shot> shots = {
        {"without_assets_welcome", {"welcome.json", "--wait", "1000"}},
        {"without_assets_idle", {"idle.json"}},
        {"without_assets_swipe_normal", {"swipe_normal.json"}},
        {"without_assets_charging_3_phase", {"charging_3_phase.json", "--wait", "1000"}},
        {"without_assets_not_available", {"not_available.json"}},
        {"without_assets_overlay_auth", {"overlay_auth.json"}},
    };
    std::vector<std::string> args{"--time", states().time,
                                  sd_test_out_path("screens/without_assets_final.png")};
    for (const Shot& s : shots) {
        for (const std::string& step : resolve(s.steps)) args.push_back(step);
        args.push_back("--shot");
        args.push_back(sd_test_out_path("screens/" + std::string(s.name) + ".png"));
    }
    const ToolRun run = run_tool(args, empty.string());
    ASSERT_TRUE(run.ok()) << "exit " << run.exit_code() << "\n" << run.log;
    EXPECT_NE(run.log.find("error when loading a font"), std::string::npos)
        << "the fonts really were missing";
    EXPECT_TRUE(fs::is_empty(empty)) << "the tool wrote nothing into its working directory";
    for (const Shot& s : shots) {
        SCOPED_TRACE(s.name);
        expect_golden(s.name, sd_test_out_path("screens/" + std::string(s.name) + ".png"));
    }
}

// The comparison itself, on a 320 x 240 grey picture: where its tolerances lie.
TEST(GoldenImage, Tolerance) {
    RgbImage expected;
    expected.w = 320;
    expected.h = 240;
    expected.px.assign(320 * 240, 0x808080);
    const struct {
        const char* what;
        size_t pixels;  // how many pixels are changed
        uint32_t value; // to this colour
        bool matches;
    } cases[] = {
        {"identical", 0, 0, true},
        {"every pixel 8 off in blue", 320 * 240, 0x808088, true},
        {"0.5 % of the pixels 9 off", 384, 0x807780, true},
        {"one more", 385, 0x807780, false},
        {"a quarter black", 320 * 60, 0x000000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RgbImage actual = expected;
        std::fill_n(actual.px.begin(), c.pixels, c.value);
        const GoldenDiff d = golden_diff(expected, actual);
        EXPECT_EQ(d.matches(), c.matches) << d.differing << " differing, " << d.allowed << " allowed";
    }
}

} // namespace
