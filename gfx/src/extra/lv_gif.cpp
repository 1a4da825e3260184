// The GIF image widget: an image whose source is the canvas of a GifPlayer, stepped by a 10 ms timer
// that belongs to the widget. A frame is due once the previous one has been shown for its delay.
#include "extra/gif_player.h"
#include "lv_gif.h"
#include "lv_img.h"
#include "lv_log.h"
#include "misc/misc_internal.h"
#include "widgets/img_widget.h"

namespace gfx {

namespace {

const ObjClass gif_class = {"lv_gif", &img_class};

constexpr uint32_t k_timer_period_ms = 10;

struct GifObj : ImgObj {
    ~GifObj() override;
    const ObjClass& cls() const override { return gif_class; }
    void construct() override;

    // The canvas changed: drop the cached decode and redraw.
    void canvas_changed() {
        lv_img_cache_invalidate_src(&imgdsc);
        lv_obj_invalidate(this);
    }

    GifPlayer player;
    lv_img_dsc_t imgdsc{};
    lv_timer_t* timer = nullptr;
    uint32_t last_call = 0; // tick at which the shown frame appeared
};

void next_frame_cb(lv_timer_t* t) {
    auto* gif = static_cast<GifObj*>(t->user_data);
    if (!gif->player.is_open()) return;
    if (lv_tick_elaps(gif->last_call) < gif->player.frame_delay_ms()) return;
    gif->last_call = lv_tick_get();
    // At the end of the last play the last frame stays and the timer rests.
    if (!gif->player.next_frame()) lv_timer_pause(t);
    gif->canvas_changed();
}

GifObj::~GifObj() {
    // A runtime teardown may have removed every timer already.
    if (timer != nullptr && gfx_timer_is_registered(timer)) lv_timer_del(timer);
    lv_img_cache_invalidate_src(&imgdsc);
}

void GifObj::construct() {
    ImgObj::construct();
    timer = lv_timer_create(next_frame_cb, k_timer_period_ms, this);
    LV_ASSERT_MALLOC(timer);
    if (timer != nullptr) lv_timer_pause(timer);
}

GifObj* as_gif(lv_obj_t* obj) {
    return obj_is_kind_of(obj, gif_class) ? static_cast<GifObj*>(obj) : nullptr;
}

bool open_src(GifPlayer& player, const void* src) {
    switch (lv_img_src_get_type(src)) {
    case LV_IMG_SRC_VARIABLE: {
        const auto* dsc = static_cast<const lv_img_dsc_t*>(src);
        return player.open_data(dsc->data, dsc->data_size);
    }
    case LV_IMG_SRC_FILE:
        return player.open_file(static_cast<const char*>(src));
    default:
        return false;
    }
}

} // namespace

} // namespace gfx

using gfx::GifObj;

extern "C" {

lv_obj_t* lv_gif_create(lv_obj_t* parent) {
    return gfx::obj_create<GifObj>(parent);
}

void lv_gif_set_src(lv_obj_t* obj, const void* src) {
    GifObj* gif = gfx::as_gif(obj);
    if (gif == nullptr) return;

    if (gif->player.is_open()) {
        lv_img_cache_invalidate_src(&gif->imgdsc);
        gif->player.close();
        gif->imgdsc.data = nullptr;
    }
    if (!gfx::open_src(gif->player, src)) {
        LV_LOG_WARN("Could't load the source");
        if (gif->timer != nullptr) lv_timer_pause(gif->timer);
        // An empty descriptor: nothing is drawn and no decoder is asked.
        gif->imgdsc = lv_img_dsc_t{};
        lv_img_set_src(obj, &gif->imgdsc);
        return;
    }

    lv_img_dsc_t& d = gif->imgdsc;
    d.header.always_zero = 0;
    d.header.cf = LV_IMG_CF_TRUE_COLOR_ALPHA;
    d.header.w = gif->player.width();
    d.header.h = gif->player.height();
    d.data_size = (uint32_t)gif->player.width() * gif->player.height() * sizeof(lv_color_t);
    d.data = reinterpret_cast<const uint8_t*>(gif->player.canvas());
    lv_img_set_src(obj, &d);

    gif->last_call = lv_tick_get();
    if (gif->timer != nullptr) {
        lv_timer_resume(gif->timer);
        lv_timer_reset(gif->timer);
    }
    gif->canvas_changed();
}

void lv_gif_restart(lv_obj_t* obj) {
    GifObj* gif = gfx::as_gif(obj);
    if (gif == nullptr || !gif->player.is_open()) return;
    gif->player.restart();
    gif->last_call = lv_tick_get();
    if (gif->timer != nullptr) {
        lv_timer_resume(gif->timer);
        lv_timer_reset(gif->timer);
    }
    gif->canvas_changed();
}

} // extern "C"
