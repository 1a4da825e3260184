// The GIF player and the GIF widget on files made here with giflib's encoder: frame composition
// (rectangles, transparency, disposal, interlacing, local colours), frame timing and loop counts in
// virtual time, and the widget's timer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "gfx_fixture.h"
#include "test_paths.h"

namespace {

struct TestFrame {
    int left = 0, top = 0, w = 0, h = 0;
    std::string px; // w * h palette indexes '0'..'9', rows top to bottom
    int delay_cs = 0;
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
    bool interlace = false;
    std::vector<GifColorType> local; // a local colour table or none
};

constexpr GifColorType kBlack = {0, 0, 0}, kRed = {0xFF, 0, 0}, kGreen = {0, 0xFF, 0}, kBlue = {0, 0, 0xFF};
const std::vector<GifColorType> kRgbk = {kBlack, kRed, kGreen, kBlue}; // indexes 0..3: K R G B

struct TestGif {
    std::vector<TestFrame> frames; // on a 4 x 4 screen
    int loop = -1;                 // NETSCAPE2.0 loop count; -1 = no loop extension
};

int write_to_vector(GifFileType* gif, const GifByteType* buf, int len) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + len);
    return len;
}

std::vector<uint8_t> encode(const TestGif& t) {
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, write_to_vector, &err);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = GifMakeMapObject((int)kRgbk.size(), kRgbk.data());
    EXPECT_EQ(EGifPutScreenDesc(gif, 4, 4, 8, 0, global), GIF_OK);
    GifFreeMapObject(global);
    if (t.loop >= 0) {
        const uint8_t loop[3] = {1, (uint8_t)(t.loop & 0xFF), (uint8_t)(t.loop >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const TestFrame& f : t.frames) {
        GraphicsControlBlock gcb{f.disposal, false, f.delay_cs, f.transparent};
        GifByteType ext[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, (int)EGifGCBToExtension(&gcb, ext), ext);
        ColorMapObject* local =
            f.local.empty() ? nullptr : GifMakeMapObject((int)f.local.size(), f.local.data());
        EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.w, f.h, f.interlace, local), GIF_OK);
        GifFreeMapObject(local);
        // Interlaced images carry their rows in four passes.
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        std::vector<int> rows;
        for (int p = 0; p < (f.interlace ? 4 : 1); p++) {
            for (int y = f.interlace ? kStart[p] : 0; y < f.h; y += f.interlace ? kStep[p] : 1)
                rows.push_back(y);
        }
        for (int y : rows) {
            std::vector<GifPixelType> line;
            for (int x = 0; x < f.w; x++) line.push_back((GifPixelType)(f.px[(size_t)(y * f.w + x)] - '0'));
            EXPECT_EQ(EGifPutLine(gif, line.data(), f.w), GIF_OK);
        }
    }
    EXPECT_EQ(EGifCloseFile(gif, &err), GIF_OK);
    return out;
}

// Writes the bytes below the test output directory; returns the "A:" path.
std::string write_gif(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = sd_test_out_path("gif/" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), (long)bytes.size());
    return "A:" + path;
}

// Frames of one palette index each over the whole screen, with their delays in 1/100 s.
TestGif solid(const std::vector<std::pair<char, int>>& index_and_delay, int loop) {
    TestGif t;
    t.loop = loop;
    for (const auto& [index, delay] : index_and_delay)
        t.frames.push_back({0, 0, 4, 4, std::string(16, index), delay});
    return t;
}

class GifWidget : public GfxFixture {
  protected:
    static constexpr uint32_t kScreen = 0x808080;
    void SetUp() override {
        GfxFixture::SetUp();
        lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(kScreen), 0);
    }
    // The displayed pixels of the top-left w x h as letters: K R G B for the palette colours, '.' for the
    // screen's grey, '?' for anything else.
    std::string shown(lv_coord_t w, lv_coord_t h) {
        refresh();
        static constexpr uint32_t kKnown[] = {kScreen, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        std::string s;
        for (lv_coord_t y = 0; y < h; y++) {
            for (lv_coord_t x = 0; x < w; x++)
                s += ".KRGB?"[std::find(std::begin(kKnown), std::end(kKnown), pixel(x, y)) -
                              std::begin(kKnown)];
            if (y + 1 < h) s += '/';
        }
        return s;
    }
};

TEST_F(GifWidget, FramesFollowTheirDelaysAndPlayAsOftenAsTheLoopCountSays) {
    const struct {
        const char* name;
        TestGif gif;
        const char* shown; // every 10 ms from 0
    } cases[] = {
        {"R 50 ms, G 100 ms, K 20 ms, forever", solid({{'1', 5}, {'2', 10}, {'0', 2}}, 0),
         "RRRRRGGGGGGGGGGKKRRRRRGGGGGGGGGGKKRRRR"},
        {"no loop extension: once", solid({{'1', 2}, {'2', 2}}, -1), "RRGGGGGGGG"},
        {"loop count 1: twice", solid({{'1', 2}, {'2', 2}}, 1), "RRGGRRGGGGGG"},
        {"delay 0: a frame every timer run", solid({{'1', 0}, {'2', 0}, {'3', 0}}, 0), "RGBRGBR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = encode(c.gif);
        const lv_img_dsc_t src = {{}, (uint32_t)bytes.size(), bytes.data()};
        const size_t timers = gfx_test_timer_count();
        lv_obj_t* gif = lv_gif_create(lv_scr_act());
        lv_gif_set_src(gif, &src);
        EXPECT_EQ(gfx_test_timer_count(), timers + 1);
        std::string seen;
        for (size_t i = 0; i < std::strlen(c.shown); i++) {
            if (i > 0) run_for(10);
            seen += shown(1, 1);
        }
        EXPECT_EQ(seen, c.shown);
        // A restart shows the first frame at once and plays again.
        lv_gif_restart(gif);
        EXPECT_EQ(shown(1, 1), "R");
        lv_obj_del(gif); // and its timer
        EXPECT_EQ(gfx_test_timer_count(), timers);
    }
}

TEST_F(GifWidget, ComposesPartialFramesByTransparencyAndDisposal) {
    TestGif t;
    t.frames = {
        {0, 0, 4, 4, "1111133111111111", 1, DISPOSE_DO_NOT, 3}, // red with a transparent hole; kept
        {1, 1, 2, 2, "2220", 1, DISPOSE_BACKGROUND, 0}, // green; its transparent corner shows red; cleared
        {2, 0, 2, 2, "3333", 1, DISPOSE_PREVIOUS},      // blue; what was under it comes back
        {0, 3, 1, 1, "2", 1, DISPOSAL_UNSPECIFIED},     // one green pixel
        // Interlaced rows in colours of its own (B K R G), one column past the right edge; the end.
        {2, 0, 3, 4, "000111222333", 1},
    };
    t.frames.back().interlace = true;
    t.frames.back().local = {kBlue, kBlack, kRed, kGreen};
    lv_obj_t* gif = lv_gif_create(lv_scr_act());
    lv_gif_set_src(gif, write_gif("compose.gif", encode(t)).c_str());
    lv_obj_update_layout(gif);
    EXPECT_EQ(lv_obj_get_width(gif), 4);
    const char* expected[] = {"RRRR./R..R./RRRR./RRRR.", "RRRR./RGGR./RGRR./RRRR.",
                              "RRBB./R.BB./R..R./RRRR.", "RRRR./R..R./R..R./GRRR.",
                              "RRBB./R.KK./R.RR./GRGG.", "RRBB./R.KK./R.RR./GRGG."};
    for (size_t i = 0; i < std::size(expected); i++) {
        if (i > 0) run_for(10);
        EXPECT_EQ(shown(5, 4), expected[i]) << "frame " << i;
    }
}

} // namespace
