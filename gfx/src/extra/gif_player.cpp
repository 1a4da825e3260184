// GIF playback on giflib's record-level reader. The bytes are held in memory (a file is read whole
// through lv_fs) and giflib reads them through a bounded callback, so a damaged file can end early but
// never make anything read past its end. A new play re-opens the reader at the start of the bytes.
#include "extra/gif_player.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>

namespace gfx {

namespace {

// Image headers hold 11 bits for each side.
constexpr uint16_t k_max_side = 2047;
constexpr lv_color_t k_clear = {{0, 0, 0, 0}};

constexpr int k_interlace_start[4] = {0, 4, 2, 1};
constexpr int k_interlace_step[4] = {8, 8, 4, 2};

} // namespace

GifPlayer::~GifPlayer() {
    close();
}

int GifPlayer::read_cb(GifFileType* gif, uint8_t* buf, int len) {
    auto* self = static_cast<GifPlayer*>(gif->UserData);
    if (len <= 0 || self->pos_ >= self->size_) return 0;
    const size_t n = std::min((size_t)len, self->size_ - self->pos_);
    std::memcpy(buf, self->data_ + self->pos_, n);
    self->pos_ += n;
    return (int)n;
}

bool GifPlayer::open_file(const char* path) {
    close();
    lv_fs_file_t f;
    if (path == nullptr || lv_fs_open(&f, path, LV_FS_MODE_RD) != LV_FS_RES_OK) return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    uint32_t br = 0;
    while (lv_fs_read(&f, chunk, sizeof(chunk), &br) == LV_FS_RES_OK && br > 0) {
        bytes.insert(bytes.end(), chunk, chunk + br);
    }
    lv_fs_close(&f);
    if (!open_data(bytes.data(), bytes.size())) return false;
    // The reader keeps pointing at the same heap block after the move.
    file_bytes_ = std::move(bytes);
    return true;
}

bool GifPlayer::open_data(const uint8_t* data, size_t size) {
    close();
    if (data == nullptr || size < 6 || std::memcmp(data, "GIF89a", 6) != 0) return false;
    data_ = data;
    size_ = size;
    const bool ok = reopen() && gif_->SColorMap != nullptr && gif_->SWidth > 0 && gif_->SHeight > 0 &&
                    gif_->SWidth <= k_max_side && gif_->SHeight <= k_max_side && check_structure() &&
                    reopen();
    if (!ok) {
        close();
        return false;
    }
    w_ = (uint16_t)gif_->SWidth;
    h_ = (uint16_t)gif_->SHeight;
    canvas_.assign((size_t)w_ * h_, k_clear);
    if (!start_play()) {
        close();
        return false;
    }
    return true;
}

void GifPlayer::close() {
    if (gif_ != nullptr) DGifCloseFile(gif_, nullptr);
    gif_ = nullptr;
    file_bytes_ = std::vector<uint8_t>();
    data_ = nullptr;
    size_ = pos_ = 0;
    w_ = h_ = 0;
    canvas_ = std::vector<lv_color_t>();
    saved_.clear();
    line_.clear();
    have_shown_ = false;
    delay_cs_ = 0;
    frame_index_ = 0;
    plays_ = 1;
    plays_done_ = 0;
    finished_ = false;
}

bool GifPlayer::reopen() {
    if (gif_ != nullptr) DGifCloseFile(gif_, nullptr);
    pos_ = 0;
    int err = 0;
    gif_ = DGifOpen(this, read_cb, &err);
    return gif_ != nullptr;
}

// Walks every record once without decoding pixels: a file cut short or with a broken record is
// refused before anything is shown. Reads the loop count on the way.
bool GifPlayer::check_structure() {
    uint32_t frames = 0;
    plays_ = 1;
    for (;;) {
        // Some encoders leave out the trailer; what came before is still a whole animation.
        if (pos_ >= size_ && frames > 0) return true;
        GifRecordType type;
        if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return false;
        switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
            if (DGifGetImageHeader(gif_) == GIF_ERROR || !skip_image_data()) return false;
            frames++;
            break;
        case EXTENSION_RECORD_TYPE:
            if (!read_extension(true)) return false;
            break;
        case TERMINATE_RECORD_TYPE:
            return frames > 0;
        default:
            return false;
        }
    }
}

bool GifPlayer::read_extension(bool first_pass) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return false;
    // Blocks come Pascal-style: block[0] is the length of what follows.
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] == 4) {
        GraphicsControlBlock gcb;
        DGifExtensionToGCB(4, block + 1, &gcb);
        next_delay_cs_ = (uint32_t)gcb.DelayTime;
        next_disposal_ = gcb.DisposalMode;
        next_transparent_ = gcb.TransparentColor;
    }
    const bool netscape = code == APPLICATION_EXT_FUNC_CODE && block != nullptr && block[0] == 11 &&
                          std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return false;
        if (netscape && first_pass && block != nullptr && block[0] >= 3 && block[1] == 1) {
            const uint32_t loops = (uint32_t)block[2] | ((uint32_t)block[3] << 8);
            plays_ = loops == 0 ? k_forever : loops + 1;
        }
    }
    return true;
}

bool GifPlayer::skip_image_data() {
    int code_size = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif_, &code_size, &block) == GIF_ERROR) return false;
    while (block != nullptr) {
        if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return false;
    }
    return true;
}

bool GifPlayer::start_play() {
    std::fill(canvas_.begin(), canvas_.end(), k_clear);
    have_shown_ = false;
    frame_index_ = 0;
    next_delay_cs_ = 0;
    next_disposal_ = 0;
    next_transparent_ = -1;
    return read_frame() == Read::Frame;
}

GifPlayer::Read GifPlayer::read_frame() {
    for (;;) {
        if (pos_ >= size_) return Read::End;
        GifRecordType type;
        if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return Read::Error;
        if (type == TERMINATE_RECORD_TYPE) return Read::End;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!read_extension(false)) return Read::Error;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageHeader(gif_) == GIF_ERROR) return Read::Error;

        const GifImageDesc& d = gif_->Image;
        Rect r;
        r.x = std::min<int32_t>(d.Left, w_);
        r.y = std::min<int32_t>(d.Top, h_);
        r.w = std::min<int32_t>(d.Left + d.Width, w_) - r.x;
        r.h = std::min<int32_t>(d.Top + d.Height, h_) - r.y;
        if (r.w == 0 || r.h == 0) r = Rect{}; // wholly outside the screen

        // Only now is it sure that a frame follows, so the shown one may go.
        dispose_previous();
        if (next_disposal_ == DISPOSE_PREVIOUS) {
            saved_.resize((size_t)r.w * r.h);
            for (int32_t y = 0; y < r.h; y++) {
                const lv_color_t* src = canvas_.data() + (size_t)(r.y + y) * w_ + r.x;
                std::copy(src, src + r.w, saved_.data() + (size_t)y * r.w);
            }
        }
        if (!decode_image(r, d.Left, d.Top, d.Width, d.Height)) return Read::Error;

        shown_ = r;
        shown_disposal_ = next_disposal_;
        have_shown_ = true;
        delay_cs_ = next_delay_cs_;
        // A Graphic Control Extension applies to the one image after it.
        next_delay_cs_ = 0;
        next_disposal_ = 0;
        next_transparent_ = -1;
        return Read::Frame;
    }
}

bool GifPlayer::decode_image(const Rect& r, int32_t left, int32_t top, int32_t fw, int32_t fh) {
    if (fw <= 0 || fh <= 0) return skip_image_data();

    // Colours by index; transparent and undefined indexes keep alpha 0 and leave the canvas alone.
    lv_color_t palette[256];
    std::fill(std::begin(palette), std::end(palette), k_clear);
    const ColorMapObject* map = gif_->Image.ColorMap != nullptr ? gif_->Image.ColorMap : gif_->SColorMap;
    const int count = std::min(map->ColorCount, 256);
    for (int i = 0; i < count; i++) {
        palette[i] = lv_color_make(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    }
    if (next_transparent_ >= 0 && next_transparent_ < 256) palette[next_transparent_] = k_clear;

    line_.resize((size_t)fw);
    const int passes = gif_->Image.Interlace ? 4 : 1;
    for (int p = 0; p < passes; p++) {
        const int start = passes == 1 ? 0 : k_interlace_start[p];
        const int step = passes == 1 ? 1 : k_interlace_step[p];
        for (int32_t row = start; row < fh; row += step) {
            if (DGifGetLine(gif_, line_.data(), fw) == GIF_ERROR) return false;
            const int32_t y = top + row;
            if (y >= r.y + r.h || r.w <= 0) continue;
            const uint8_t* in = line_.data() + (r.x - left);
            lv_color_t* out = canvas_.data() + (size_t)y * w_ + r.x;
            for (int32_t i = 0; i < r.w; i++) {
                const lv_color_t c = palette[in[i]];
                if (c.ch.alpha != 0) out[i] = c;
            }
        }
    }
    return true;
}

void GifPlayer::dispose_previous() {
    if (!have_shown_) return;
    have_shown_ = false;
    const Rect& r = shown_;
    if (shown_disposal_ == DISPOSE_BACKGROUND) {
        for (int32_t y = 0; y < r.h; y++) {
            lv_color_t* row = canvas_.data() + (size_t)(r.y + y) * w_ + r.x;
            std::fill(row, row + r.w, k_clear);
        }
    } else if (shown_disposal_ == DISPOSE_PREVIOUS && saved_.size() == (size_t)r.w * r.h) {
        for (int32_t y = 0; y < r.h; y++) {
            const lv_color_t* src = saved_.data() + (size_t)y * r.w;
            std::copy(src, src + r.w, canvas_.data() + (size_t)(r.y + y) * w_ + r.x);
        }
    }
}

bool GifPlayer::next_frame() {
    if (gif_ == nullptr || finished_) return false;
    switch (read_frame()) {
    case Read::Frame:
        frame_index_++;
        return true;
    case Read::End:
        plays_done_++;
        if ((plays_ == k_forever || plays_done_ < plays_) && reopen() && start_play()) return true;
        break;
    case Read::Error:
        break;
    }
    finished_ = true;
    return false;
}

bool GifPlayer::restart() {
    if (data_ == nullptr) return false;
    plays_done_ = 0;
    finished_ = !(reopen() && start_play());
    return !finished_;
}

} // namespace gfx
