#include "golden_image.h"

#include <lodepng.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "test_paths.h"

namespace {

int channel_diff(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return d;
}

// Where the pictures of a mismatch go: the expected picture's path below tests/golden/, in the test
// output directory, without ".png".
std::string mismatch_stem(const std::string& expected_path) {
    std::filesystem::path rel = std::filesystem::path(expected_path).lexically_relative(SD_GOLDEN_DIR);
    if (rel.empty() || *rel.begin() == "..") rel = std::filesystem::path(expected_path).filename();
    return sd_test_out_path("golden/" + rel.replace_extension().string());
}

} // namespace

bool golden_updating() {
    const char* v = std::getenv("GFX_UPDATE_GOLDEN");
    return v != nullptr && std::string(v) == "1";
}

bool rgb_image_load(const std::string& path, RgbImage* out, std::string* error) {
    std::vector<unsigned char> rgb;
    const unsigned err = lodepng::decode(rgb, out->w, out->h, path, LCT_RGB, 8);
    if (err != 0) *error = lodepng_error_text(err);
    out->px.resize(rgb.size() / 3);
    for (size_t i = 0; i < out->px.size(); i++)
        out->px[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    return err == 0;
}

bool rgb_image_save(const std::string& path, const RgbImage& img) {
    std::vector<unsigned char> rgb;
    for (uint32_t c : img.px)
        rgb.insert(rgb.end(), {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c});
    return lodepng::encode(path, rgb, img.w, img.h, LCT_RGB, 8) == 0;
}

GoldenDiff golden_diff(const RgbImage& expected, const RgbImage& actual) {
    GoldenDiff r;
    r.allowed = size_t(std::floor(kGoldenMaxDifferingShare * double(expected.px.size())));
    r.picture.w = expected.w;
    r.picture.h = expected.h;
    r.picture.px.resize(expected.px.size());
    for (size_t i = 0; i < expected.px.size(); i++) {
        const uint32_t e = expected.px[i];
        const int d = channel_diff(e, actual.px[i]);
        r.worst = std::max(r.worst, d);
        if (d > kGoldenChannelTolerance) {
            r.differing++;
            r.picture.px[i] = 0xff0000;
            continue;
        }
        // Dimmed grey, with a blue tint where a difference stayed within the tolerance.
        const uint32_t grey = (((e >> 16) & 0xff) + ((e >> 8) & 0xff) + (e & 0xff)) / 9;
        r.picture.px[i] = grey << 16 | grey << 8 | (d > 0 ? 0x60 : grey);
    }
    return r;
}

std::string golden_check(const std::string& expected_path, const RgbImage& actual) {
    const std::string stem = mismatch_stem(expected_path);
    const std::string actual_path = stem + ".actual.png", diff_path = stem + ".diff.png";
    std::error_code ignored;
    std::filesystem::remove(actual_path, ignored);
    std::filesystem::remove(diff_path, ignored);

    RgbImage expected;
    std::string error, why;
    if (!rgb_image_load(expected_path, &expected, &error)) {
        why = error + " (scripts/update-golden makes the expected pictures)";
    } else if (expected.w != actual.w || expected.h != actual.h) {
        why = "expected " + std::to_string(expected.w) + "x" + std::to_string(expected.h) + ", rendered " +
              std::to_string(actual.w) + "x" + std::to_string(actual.h);
    } else {
        const GoldenDiff d = golden_diff(expected, actual);
        if (d.matches()) return "";
        rgb_image_save(diff_path, d.picture);
        why = std::to_string(d.differing) + " pixels differ by more than " +
              std::to_string(kGoldenChannelTolerance) + " (at most " + std::to_string(d.allowed) +
              " may; worst channel difference " + std::to_string(d.worst) + ")\n  diff:     " + diff_path;
    }
    rgb_image_save(actual_path, actual);
    return why + "\n  expected: " + expected_path + "\n  actual:   " + actual_path;
}
