// The asset set made by the build: every picture the screens load, at the size of the widget that shows
// it, and the charging animation as the GIF widget plays it. (The fonts: tests/unit/app/test_i18n.cpp.)
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <lodepng.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kImg = std::string(SD_BUILD_DIR) + "/qorv_lvgl/assets/img/";

TEST(Assets, EveryPictureHasItsWidgetSizeAlphaAndShowsOnBlack) {
    struct Picture {
        std::string file;
        unsigned w, h;
        bool opaque; // covers its widget; icons have transparent corners
    };
    std::vector<Picture> pictures = {
        {"misc_icon/welcome.png", 320, 240, true},
        {"misc_icon/plug_in.png", 270, 80, false},
        {"misc_icon/charge_suspend.png", 100, 120, false},
        {"misc_icon/fast_charge_suspend.png", 110, 120, false},
        {"misc_icon/swap_card.png", 100, 80, false},
        {"misc_icon/red_exclaim.png", 62, 63, false},
        {"misc_icon/gray_clock.png", 65, 65, false},
        {"misc_icon/plug_in_out/gun.png", 64, 64, false},
        {"misc_icon/plug_in_out/left_arrow.png", 48, 48, false},
        {"misc_icon/plug_in_out/plug.png", 64, 64, false},
    };
    for (const char* f : {"red_triangle_exclaim", "gray_download", "gray_auto_upgrade", "validate_fail",
                          "red_fill_X", "red_fill_exclaim", "red_X", "green_hook", "gray_stop"})
        pictures.push_back({std::string("misc_icon/") + f + ".png", 60, 60, false});
    for (const char* icon : {"online", "rf", "eth", "ammeter", "wifi", "4g"})
        for (const char* state : {"_on", "_err", "_off"})
            pictures.push_back({std::string("statusbar_icon/") + icon + state + ".png", 36, 29, false});

    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.file);
        std::vector<unsigned char> rgba;
        unsigned w = 0, h = 0;
        const unsigned err = lodepng::decode(rgba, w, h, kImg + p.file);
        ASSERT_EQ(err, 0u) << lodepng_error_text(err);
        ASSERT_EQ(w, p.w);
        ASSERT_EQ(h, p.h);
        for (size_t corner : {size_t(0), size_t(w - 1), size_t(h - 1) * w, size_t(h) * w - 1})
            EXPECT_EQ(rgba[corner * 4 + 3], p.opaque ? 255u : 0u) << "alpha of corner pixel " << corner;
        // Pixels that show on the black screen: opaque enough and bright enough.
        size_t shown = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            shown += rgba[i + 3] >= 128 && std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) >= 80;
        EXPECT_GT(shown, size_t(w) * h / 20) << "(nearly) nothing shows on black";
    }
}

// The GIF widget needs a global colour table; without the loop extension the battery would fill once,
// and a frame delay of 0 would make it step every 10 ms. (make-assets checks the format and size.)
TEST(Assets, BatteryAnimationLoopsForeverAtAVisiblePace) {
    int err = 0;
    GifFileType* gif = DGifOpenFileName((kImg + "gif/battery.gif").c_str(), &err);
    ASSERT_NE(gif, nullptr) << GifErrorString(err);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_NE(gif->SColorMap, nullptr);
    EXPECT_GT(gif->ImageCount, 1);
    // The loop extension: NETSCAPE2.0, then a sub-block 1, count (little-endian). giflib keeps the
    // extensions before a frame with that frame.
    int loop_count = -1;
    auto find_loop = [&loop_count](const ExtensionBlock* b, int n) {
        for (int i = 0; i + 1 < n; ++i)
            if (b[i].Function == APPLICATION_EXT_FUNC_CODE && b[i].ByteCount == 11 &&
                std::string(reinterpret_cast<char*>(b[i].Bytes), 11) == "NETSCAPE2.0" &&
                b[i + 1].ByteCount >= 3)
                loop_count = b[i + 1].Bytes[1] | b[i + 1].Bytes[2] << 8;
    };
    find_loop(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    for (int i = 0; i < gif->ImageCount; ++i)
        find_loop(gif->SavedImages[i].ExtensionBlocks, gif->SavedImages[i].ExtensionBlockCount);
    EXPECT_EQ(loop_count, 0) << "0 loops forever";
    for (int i = 0; i < gif->ImageCount; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        GraphicsControlBlock gcb{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
        EXPECT_GE(gcb.DelayTime, 10);
    }
    DGifCloseFile(gif, &err);
}

} // namespace
