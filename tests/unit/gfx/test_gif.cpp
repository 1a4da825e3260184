// The GIF player and the GIF image widget: frame composition (rectangles, transparency, disposal,
// interlacing, local colours), frame timing and loop counts in virtual time, refused and damaged
// files, and the widget's timer. Every GIF is made here with giflib's encoder.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "gfx_fixture.h"
#include "lvgl.h"
#include "test_paths.h"

#include "../../../gfx/src/extra/gif_player.h"

namespace {

/* ---- Making GIFs ------------------------------------------------------------------------------------ */

struct TestFrame {
    int left = 0, top = 0, w = 0, h = 0;
    std::string px; // w * h palette indexes, '0'..'9', rows top to bottom
    int delay_cs = 0;
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
    bool interlace = false;
    std::vector<GifColorType> local; // a local colour table (power-of-two size) or none
};

struct TestGif {
    int w = 0, h = 0;
    std::vector<GifColorType> palette; // global colour table; empty = none
    std::vector<TestFrame> frames;
    int loop = -1; // NETSCAPE2.0 loop count; -1 = no loop extension
    bool gif89 = true;
};

constexpr GifColorType kBlack = {0, 0, 0};
constexpr GifColorType kRed = {0xFF, 0, 0};
constexpr GifColorType kGreen = {0, 0xFF, 0};
constexpr GifColorType kBlue = {0, 0, 0xFF};
const std::vector<GifColorType> kRgbk = {kBlack, kRed, kGreen, kBlue}; // indexes 0..3

int write_to_vector(GifFileType* gif, const GifByteType* buf, int len) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + len);
    return len;
}

std::vector<uint8_t> encode(const TestGif& t) {
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, write_to_vector, &err);
    EXPECT_NE(gif, nullptr);
    if (gif == nullptr) return out;
    EGifSetGifVersion(gif, t.gif89);

    ColorMapObject* global = nullptr;
    if (!t.palette.empty()) global = GifMakeMapObject((int)t.palette.size(), t.palette.data());
    EXPECT_EQ(EGifPutScreenDesc(gif, t.w, t.h, 8, 0, global), GIF_OK);
    GifFreeMapObject(global);

    if (t.loop >= 0) {
        const uint8_t loop[3] = {1, (uint8_t)(t.loop & 0xFF), (uint8_t)(t.loop >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }

    for (const TestFrame& f : t.frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.DelayTime = f.delay_cs;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, (int)len, ext);

        ColorMapObject* local = nullptr;
        if (!f.local.empty()) local = GifMakeMapObject((int)f.local.size(), f.local.data());
        EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.w, f.h, f.interlace, local), GIF_OK);
        GifFreeMapObject(local);

        // Interlaced images carry their rows in four passes.
        std::vector<int> rows;
        if (f.interlace) {
            constexpr int start[4] = {0, 4, 2, 1};
            constexpr int step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; p++) {
                for (int y = start[p]; y < f.h; y += step[p]) rows.push_back(y);
            }
        } else {
            for (int y = 0; y < f.h; y++) rows.push_back(y);
        }
        EXPECT_EQ((int)f.px.size(), f.w * f.h);
        for (int y : rows) {
            std::vector<GifPixelType> line(f.w);
            for (int x = 0; x < f.w; x++) line[x] = (GifPixelType)(f.px[(size_t)(y * f.w + x)] - '0');
            EXPECT_EQ(EGifPutLine(gif, line.data(), f.w), GIF_OK);
        }
    }
    EXPECT_EQ(EGifCloseFile(gif, &err), GIF_OK);
    return out;
}

std::string write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = sd_test_out_path("gif/" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), (long)bytes.size());
    return path;
}

// Frames of one solid palette colour each, over the whole w x h screen.
TestGif solid_frames(int w, int h, const std::vector<std::pair<char, int>>& index_and_delay, int loop) {
    TestGif t;
    t.w = w;
    t.h = h;
    t.palette = kRgbk;
    t.loop = loop;
    for (const auto& [index, delay] : index_and_delay) {
        TestFrame f;
        f.w = w;
        f.h = h;
        f.px.assign((size_t)(w * h), index);
        f.delay_cs = delay;
        t.frames.push_back(f);
    }
    return t;
}

/* ---- Reading pictures ------------------------------------------------------------------------------- */

// One letter per pixel: K R G B for the palette colours, '.' for transparent, '?' for anything else.
char letter(lv_color_t c) {
    if (c.ch.alpha == 0) return '.';
    const char* names = "KRGB";
    const uint32_t rgb[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 4; i++) {
        if (c.ch.alpha == 0xFF && (c.full & 0xFFFFFF) == rgb[i]) return names[i];
    }
    return '?';
}

// The canvas as rows of letters separated by '/'.
std::string canvas_map(const gfx::GifPlayer& p) {
    std::string s;
    for (int y = 0; y < p.height(); y++) {
        if (y > 0) s += '/';
        for (int x = 0; x < p.width(); x++) s += letter(p.canvas()[y * p.width() + x]);
    }
    return s;
}

/* ---- The player ------------------------------------------------------------------------------------- */

TEST(GifPlayer, ReadsInterlacedRowsLocalColoursAndClipsToTheScreen) {
    TestGif t;
    t.w = 3;
    t.h = 9;
    t.palette = kRgbk;
    // Row y has index y % 4, written in interlaced order.
    TestFrame rows{0, 0, 2, 9, "", 0, DISPOSE_DO_NOT};
    rows.interlace = true;
    for (int y = 0; y < 9; y++) rows.px += std::string(2, (char)('0' + y % 4));
    t.frames.push_back(rows);
    // Two columns from x = 2, reaching past the right edge, one row past the bottom; its own colours
    // put blue at index 0.
    TestFrame edge{2, 1, 2, 9, std::string(18, '0'), 0, DISPOSE_DO_NOT};
    edge.local = {kBlue, kBlack};
    t.frames.push_back(edge);
    const std::vector<uint8_t> bytes = encode(t);

    gfx::GifPlayer p;
    ASSERT_TRUE(p.open_data(bytes.data(), bytes.size()));
    EXPECT_EQ(canvas_map(p), "KK./RR./GG./BB./KK./RR./GG./BB./KK.");
    ASSERT_TRUE(p.next_frame());
    EXPECT_EQ(canvas_map(p), "KK./RRB/GGB/BBB/KKB/RRB/GGB/BBB/KKB");
}

// Every prefix and a few thousand damaged copies of a small animation: the player may refuse them
// or play them, but reads nothing outside the bytes it was given (the sanitizers watch).
TEST(GifPlayer, SurvivesCutAndDamagedFiles) {
    TestGif t;
    t.w = 5;
    t.h = 4;
    t.palette = kRgbk;
    t.loop = 2;
    t.frames.push_back({0, 0, 5, 4, "12301230123012301230", 3, DISPOSE_DO_NOT, 0});
    TestFrame inter{1, 1, 3, 3, "321321321", 2, DISPOSE_PREVIOUS, 1, true};
    t.frames.push_back(inter);
    t.frames.push_back({3, 2, 4, 4, "0123012301230123", 2, DISPOSE_BACKGROUND, 2, false, kRgbk});
    const std::vector<uint8_t> good = encode(t);

    auto exercise = [](const std::vector<uint8_t>& bytes) {
        // An exactly sized heap copy, so a read past the end is caught.
        std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
        if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
        gfx::GifPlayer p;
        if (!p.open_data(copy.get(), bytes.size())) return false;
        for (int i = 0; i < 50 && p.next_frame(); i++) {
        }
        p.restart();
        return true;
    };

    EXPECT_TRUE(exercise(good));
    int opened = 0;
    for (size_t n = 0; n < good.size(); n++) opened += exercise({good.begin(), good.begin() + (long)n});
    // A cut between two records after the first image leaves a shorter animation (each later frame
    // is two records: its control extension and its image); every other cut is refused.
    EXPECT_EQ(opened, 2 * (int)t.frames.size() - 1);

    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 3000; i++) {
        std::vector<uint8_t> bad = good;
        const int flips = 1 + (int)(next() >> 16) % 4;
        for (int k = 0; k < flips; k++) bad[6 + (next() >> 8) % (bad.size() - 6)] ^= (uint8_t)(next() >> 24);
        exercise(bad);
    }
}

/* ---- The widget ------------------------------------------------------------------------------------- */

class GifWidget : public GfxFixture {
  protected:
    void SetUp() override {
        GfxFixture::SetUp();
        lv_obj_set_style_bg_color(lv_scr_act(), lv_color_hex(kScreen), 0);
    }

    static constexpr uint32_t kScreen = 0x808080;

    // The letter of the displayed pixel; the screen's grey reads '.'.
    char shown(lv_coord_t x, lv_coord_t y) {
        refresh();
        const uint32_t c = pixel(x, y);
        if (c == kScreen) return '.';
        lv_color_t px;
        px.full = 0xFF000000u | c;
        return letter(px);
    }

    std::string shown_map(lv_coord_t w, lv_coord_t h) {
        std::string s;
        for (lv_coord_t y = 0; y < h; y++) {
            if (y > 0) s += '/';
            for (lv_coord_t x = 0; x < w; x++) s += shown(x, y);
        }
        return s;
    }

    static size_t timer_count() {
        size_t n = 0;
        for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) n++;
        return n;
    }
};

TEST_F(GifWidget, FramesFollowTheirDelaysAndLoop) {
    // Red for 50 ms, green for 100 ms, black for 20 ms, repeating.
    const std::string path =
        "A:" + write_file("delays.gif", encode(solid_frames(8, 8, {{'1', 5}, {'2', 10}, {'0', 2}}, 0)));
    lv_obj_t* gif = lv_gif_create(lv_scr_act());
    lv_gif_set_src(gif, path.c_str());
    lv_obj_update_layout(gif);
    EXPECT_EQ(lv_obj_get_width(gif), 8);
    EXPECT_EQ(lv_obj_get_height(gif), 8);

    // The time of every change of frame over two rounds.
    const std::vector<std::pair<uint32_t, char>> changes = {{0, 'R'},   {50, 'G'},  {150, 'K'}, {170, 'R'},
                                                            {220, 'G'}, {320, 'K'}, {340, 'R'}};
    size_t next = 0;
    char expected = 'R';
    for (uint32_t t = 0; t <= 380; t += 10) {
        if (t > 0) run_for(10);
        if (next < changes.size() && changes[next].first == t) expected = changes[next++].second;
        SCOPED_TRACE("t = " + std::to_string(t));
        EXPECT_EQ(shown(4, 4), expected);
    }
}

TEST_F(GifWidget, PlaysOnceOrLoopCountPlusOneTimesThenKeepsTheLastFrame) {
    struct Case {
        int loop;
        int plays;
    };
    const Case cases[] = {{-1, 1}, {1, 2}, {2, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE("loop " + std::to_string(c.loop));
        const std::vector<uint8_t> bytes = encode(solid_frames(4, 4, {{'1', 2}, {'2', 2}}, c.loop));
        const lv_img_dsc_t src = {{}, (uint32_t)bytes.size(), bytes.data()};
        lv_obj_t* gif = lv_gif_create(lv_scr_act());
        lv_gif_set_src(gif, &src);

        int red_to_green = 0;
        char last = shown(1, 1);
        EXPECT_EQ(last, 'R');
        for (int step = 0; step < 100; step++) {
            run_for(10);
            const char now = shown(1, 1);
            if (last == 'R' && now == 'G') red_to_green++;
            last = now;
        }
        EXPECT_EQ(red_to_green, c.plays);
        EXPECT_EQ(last, 'G');

        // A restart shows the first frame at once and plays again.
        lv_gif_restart(gif);
        EXPECT_EQ(shown(1, 1), 'R');
        run_for(20);
        EXPECT_EQ(shown(1, 1), 'G');
        lv_obj_del(gif);
    }
}

TEST_F(GifWidget, ComposesPartialFramesOverTheBackground) {
    TestGif t;
    t.w = 4;
    t.h = 4;
    t.palette = kRgbk;
    // Red with a transparent hole; kept.
    t.frames.push_back({0, 0, 4, 4, "1111133111111111", 1, DISPOSE_DO_NOT, 3});
    // Green square at (1,1) whose transparent corner shows the red beneath; then cleared.
    t.frames.push_back({1, 1, 2, 2, "2220", 1, DISPOSE_BACKGROUND, 0});
    // Blue square at (2,0); then what was under it comes back.
    t.frames.push_back({2, 0, 2, 2, "3333", 1, DISPOSE_PREVIOUS});
    // One green pixel, no disposal; the animation stops here.
    t.frames.push_back({0, 3, 1, 1, "2", 1, DISPOSAL_UNSPECIFIED});
    const std::vector<uint8_t> bytes = encode(t);
    const lv_img_dsc_t src = {{}, (uint32_t)bytes.size(), bytes.data()};
    lv_obj_t* gif = lv_gif_create(lv_scr_act());
    lv_gif_set_src(gif, &src);

    const char* expected[] = {"RRRR./R..R./RRRR./RRRR.", "RRRR./RGGR./RGRR./RRRR.", "RRBB./R.BB./R..R./RRRR.",
                              "RRRR./R..R./R..R./GRRR.", "RRRR./R..R./R..R./GRRR."};
    for (size_t i = 0; i < std::size(expected); i++) {
        SCOPED_TRACE("frame " + std::to_string(i));
        if (i > 0) run_for(10);
        EXPECT_EQ(shown_map(5, 4), expected[i]);
    }
}

TEST_F(GifWidget, UnloadableSourcesWarnAndShowNothing) {
    const std::vector<uint8_t> good = encode(solid_frames(4, 4, {{'1', 1}, {'2', 1}}, 0));
    TestGif gif87 = solid_frames(4, 4, {{'1', 1}}, -1);
    gif87.gif89 = false;
    TestGif no_table = solid_frames(4, 4, {{'1', 1}}, -1);
    no_table.palette.clear();
    no_table.frames[0].local = kRgbk;
    const std::string p87 = "A:" + write_file("old.gif", encode(gif87));

    struct Case {
        const char* name;
        std::string path;           // a file, or
        std::vector<uint8_t> bytes; // a descriptor holding these bytes
    };
    const Case cases[] = {
        {"missing file", "A:/no/such/dir/anim.gif", {}},
        {"GIF87a file", p87, {}},
        {"cut inside the last frame", "", {good.begin(), good.end() - 4}},
        {"cut inside the screen descriptor", "", {good.begin(), good.begin() + 9}},
        {"no global colour table", "", encode(no_table)},
        {"no frames", "", encode(solid_frames(4, 4, {}, 0))},
        {"wider than 2047", "", encode(solid_frames(2048, 1, {{'1', 1}}, -1))},
        {"not a GIF", "", {'P', 'N', 'G', '8', '9', 'a', 4, 0, 4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const lv_img_dsc_t dsc = {{}, (uint32_t)c.bytes.size(), c.bytes.data()};
        StdoutLog log;
        lv_obj_t* gif = lv_gif_create(lv_scr_act());
        lv_gif_set_src(gif, c.path.empty() ? (const void*)&dsc : c.path.c_str());
        EXPECT_EQ(log.count("[Warn]"), 1u);
        EXPECT_EQ(log.count("Could't load the source"), 1u);
        lv_obj_update_layout(gif);
        EXPECT_EQ(lv_obj_get_width(gif), 0);
        run_for(50);
        EXPECT_EQ(shown_map(4, 4), "..../..../..../....");
        lv_obj_del(gif);
    }

    // A GIF that played before goes away when the next source fails.
    const lv_img_dsc_t good_dsc = {{}, (uint32_t)good.size(), good.data()};
    lv_obj_t* gif = lv_gif_create(lv_scr_act());
    lv_gif_set_src(gif, &good_dsc);
    EXPECT_EQ(shown(0, 0), 'R');
    lv_gif_set_src(gif, p87.c_str());
    run_for(50);
    EXPECT_EQ(shown_map(4, 4), "..../..../..../....");
}

TEST_F(GifWidget, TimerBelongsToTheWidget) {
    const size_t before = timer_count();
    const std::vector<uint8_t> bytes = encode(solid_frames(4, 4, {{'1', 0}, {'2', 0}}, 0));
    const lv_img_dsc_t src = {{}, (uint32_t)bytes.size(), bytes.data()};

    lv_obj_t* parent = lv_obj_create(lv_scr_act());
    lv_obj_t* gif = lv_gif_create(parent);
    EXPECT_EQ(timer_count(), before + 1);
    lv_gif_set_src(gif, &src);
    run_for(50);
    lv_obj_del(gif);
    EXPECT_EQ(timer_count(), before);

    // Deleted with its parent while playing; time goes on without it.
    gif = lv_gif_create(parent);
    lv_gif_set_src(gif, &src);
    run_for(30);
    lv_obj_del(parent);
    EXPECT_EQ(timer_count(), before);
    run_for(50);
}

} // namespace
