// status-display-snapshot: renders what the display shows after a sequence of messages, at a pinned
// wall time and virtual tick, into a PNG. Runs the real application modules on a memory display.
//
//   status-display-snapshot [options] OUT.png [MESSAGE | --wait MS]...
//     MESSAGE       a JSON file, or inline JSON when it starts with '{'
//     --wait MS     lets MS milliseconds of virtual time pass (timer handler every 20 ms)
//   options:
//     --time UNIX   wall time in Unix seconds (default 1767225600, 2026-01-01 00:00:00 UTC)
//     --size WxH    display size (default 320x240)
//     --assets DIR  directory that holds qorv_lvgl/ (default: the working directory)
//
// Every message is followed by 100 ms of virtual time, so its changes are drawn.
#include <cjson/cJSON.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <lodepng.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "lvgl.h"
#include "mainscreen.h"
#include "msg/msg.h"
#include "my_lib/my_bmp.h"

namespace {

uint32_t g_tick = 0;
std::vector<lv_color_t> g_frame;
lv_coord_t g_w = 320, g_h = 240;

void flush(lv_disp_drv_t* drv, const lv_area_t* a, lv_color_t* px) {
    const lv_coord_t aw = lv_area_get_width(a);
    for (lv_coord_t y = a->y1; y <= a->y2; y++) {
        memcpy(&g_frame[size_t(y) * size_t(g_w) + size_t(a->x1)], px + size_t(y - a->y1) * size_t(aw),
               size_t(aw) * sizeof(lv_color_t));
    }
    lv_disp_flush_ready(drv);
}

void advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 20) {
        g_tick += 20;
        lv_timer_handler();
    }
}

bool read_text(const std::string& arg, std::string* out) {
    if (!arg.empty() && arg[0] == '{') {
        *out = arg;
        return true;
    }
    std::ifstream in(arg, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

bool write_png(const std::string& path) {
    std::vector<unsigned char> rgb;
    rgb.reserve(g_frame.size() * 3);
    for (const lv_color_t& c : g_frame) {
        rgb.push_back(c.ch.red);
        rgb.push_back(c.ch.green);
        rgb.push_back(c.ch.blue);
    }
    return lodepng::encode(path, rgb, unsigned(g_w), unsigned(g_h), LCT_RGB, 8) == 0;
}

int usage(int status) {
    fprintf(status == 0 ? stdout : stderr,
            "usage: status-display-snapshot [--time UNIX] [--size WxH] [--assets DIR] OUT.png "
            "[MESSAGE.json | '{...}' | --wait MS]...\n");
    return status;
}

} // namespace

extern "C" uint32_t custom_tick_get(void) {
    return g_tick;
}

int main(int argc, char** argv) {
    int64_t wall = 1767225600;
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++) {
        const std::string opt = argv[i];
        if (opt == "--help") return usage(0);
        if (i + 1 >= argc) return usage(2);
        const char* val = argv[++i];
        if (opt == "--time") {
            wall = strtoll(val, nullptr, 10);
        } else if (opt == "--size") {
            int w = 0, h = 0;
            if (sscanf(val, "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || w > 2048 || h > 2048)
                return usage(2);
            g_w = lv_coord_t(w);
            g_h = lv_coord_t(h);
        } else if (opt == "--assets") {
            if (chdir(val) != 0) {
                perror(val);
                return 2;
            }
        } else {
            return usage(2);
        }
    }
    if (i >= argc) return usage(2);
    const std::string out = argv[i++];

    msg_pin_now(wall);
    lv_init();
    my_bmp_init();
    static lv_disp_draw_buf_t draw_buf;
    static lv_disp_drv_t drv;
    g_frame.assign(size_t(g_w) * size_t(g_h), lv_color_black());
    static std::vector<lv_color_t> buf(size_t(g_w) * size_t(g_h));
    lv_disp_draw_buf_init(&draw_buf, buf.data(), nullptr, uint32_t(buf.size()));
    lv_disp_drv_init(&drv);
    drv.hor_res = g_w;
    drv.ver_res = g_h;
    drv.draw_buf = &draw_buf;
    drv.flush_cb = flush;
    lv_disp_drv_register(&drv);

    MainScreen_Init();
    advance(100);
    for (; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--wait") {
            if (i + 1 >= argc) return usage(2);
            advance(uint32_t(strtoul(argv[++i], nullptr, 10)));
            continue;
        }
        std::string text;
        if (!read_text(arg, &text)) {
            fprintf(stderr, "cannot read %s\n", arg.c_str());
            return 2;
        }
        cJSON* root = cJSON_Parse(text.c_str());
        MainScreen_SetData(root);
        cJSON_Delete(root);
        advance(100);
    }
    lv_refr_now(nullptr);
    if (!write_png(out)) {
        fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
