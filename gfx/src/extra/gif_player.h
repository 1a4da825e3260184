// Plays a GIF89a animation frame by frame onto a canvas of the GIF's logical screen size.
//
// Frames are composed the way GIF encoders expect: each frame covers only its own rectangle, its
// transparent index leaves the canvas as it was, and its disposal method (0-3) says what becomes of
// its rectangle before the next frame is drawn. Pixels nobody has drawn are fully transparent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lv_color.h"
#include "lv_fs.h"

struct GifFileType;

namespace gfx {

class GifPlayer {
  public:
    // Plays of an animation that repeats without end.
    static constexpr uint32_t k_forever = 0;

    GifPlayer() = default;
    ~GifPlayer();
    GifPlayer(const GifPlayer&) = delete;
    GifPlayer& operator=(const GifPlayer&) = delete;

    // Reads a whole file through lv_fs ("A:..." paths), then opens it as open_data() does.
    bool open_file(const char* path);
    // Opens GIF bytes that stay owned by the caller and must outlive the player. Only GIF89a with a
    // global colour table is taken; the whole file's structure is checked and the first frame is
    // decoded. False (and the player closed) on any failure.
    bool open_data(const uint8_t* data, size_t size);
    void close();
    bool is_open() const { return gif_ != nullptr; }

    uint16_t width() const { return w_; }
    uint16_t height() const { return h_; }
    // width() x height() pixels, rows tightly packed, alpha in each pixel.
    const lv_color_t* canvas() const { return canvas_.data(); }
    // How long the shown frame wants to stay, from its Graphic Control Extension (1/100 s units).
    uint32_t frame_delay_ms() const { return delay_cs_ * 10u; }
    // Index of the shown frame within the current play.
    uint32_t frame_index() const { return frame_index_; }
    // How many times the animation plays: 1 without a loop extension, N + 1 for a loop count N, and
    // k_forever for a loop count of 0.
    uint32_t plays() const { return plays_; }

    // Shows the next frame, starting the next play after the last frame while plays remain. False when
    // the last play is over or the data is broken; the canvas then keeps what it showed.
    bool next_frame();
    // Back to the first frame of the first play.
    bool restart();

  private:
    struct Rect {
        int32_t x = 0, y = 0, w = 0, h = 0; // clipped to the canvas
    };
    enum class Read { Frame, End, Error };

    static int read_cb(GifFileType* gif, uint8_t* buf, int len);
    bool reopen();
    bool check_structure();
    bool start_play();
    Read read_frame();
    bool read_extension(bool first_pass);
    bool skip_image_data();
    bool decode_image(const Rect& r, int32_t left, int32_t top, int32_t fw, int32_t fh);
    void dispose_previous();

    std::vector<uint8_t> file_bytes_; // the file's contents when opened by path
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    GifFileType* gif_ = nullptr;

    uint16_t w_ = 0;
    uint16_t h_ = 0;
    std::vector<lv_color_t> canvas_;
    std::vector<lv_color_t> saved_; // the rectangle under a "restore to previous" frame
    std::vector<uint8_t> line_;

    // The Graphic Control Extension waiting for the next image.
    uint32_t next_delay_cs_ = 0;
    int32_t next_disposal_ = 0;
    int32_t next_transparent_ = -1;

    // The shown frame.
    Rect shown_;
    int32_t shown_disposal_ = 0;
    bool have_shown_ = false;
    uint32_t delay_cs_ = 0;
    uint32_t frame_index_ = 0;

    uint32_t plays_ = 1;
    uint32_t plays_done_ = 0;
    bool finished_ = false;
};

} // namespace gfx
