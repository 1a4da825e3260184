// Golden pictures: a rendered picture matches the PNG committed for it when at most 0.5 % of its pixels
// differ by more than 8 in some channel (anti-aliasing). GFX_UPDATE_GOLDEN=1 asks the tests to write
// the expected pictures instead (scripts/update-golden).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kGoldenChannelTolerance = 8;
constexpr double kGoldenMaxDifferingShare = 0.005;

struct RgbImage {
    unsigned w = 0, h = 0;
    std::vector<uint32_t> px; // 0xRRGGBB, row by row
};

bool golden_updating();

// PNG of any colour type, read as RGB (alpha dropped). On failure `error` says why.
bool rgb_image_load(const std::string& path, RgbImage* out, std::string* error);
bool rgb_image_save(const std::string& path, const RgbImage& img);

struct GoldenDiff {
    size_t differing = 0; // pixels off by more than the tolerance in some channel
    size_t allowed = 0;   // how many may be
    int worst = 0;        // largest channel difference seen
    RgbImage picture;     // differing pixels in red over the dimmed expected picture
    bool matches() const { return differing <= allowed; }
};

// Both pictures have the same size.
GoldenDiff golden_diff(const RgbImage& expected, const RgbImage& actual);

// Compares `actual` with the picture at `expected_path` (NAME.png). Returns an empty string on a match
// and removes stale NAME.actual.png and NAME.diff.png; otherwise writes those two to the test output
// directory (<build>/tests/out/golden/, below it as NAME.png is below tests/golden/) and returns a
// message that says how far off it is and where the pictures are.
std::string golden_check(const std::string& expected_path, const RgbImage& actual);
