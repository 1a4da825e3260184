#include <cerrno>
#include <cjson/cJSON.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "custom_tick.h"
#include "display/fbdev.h"
#include "display/resolution.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "my_lib/my_bmp.h"
#include "input/data_src.h"
#include "input/data_udp.h"
#include "input/sender_filter.h"
#include "service/service_notify.h"

// Milliseconds since the first call. The monotonic clock keeps timers and animations steady when the
// system time is set.
extern "C" uint32_t custom_tick_get(void) {
    static uint64_t start_ms = 0;
    static bool started = false;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t now_ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    if (!started) {
        start_ms = now_ms;
        started = true;
    }
    return uint32_t(now_ms - start_ms);
}

namespace {

constexpr int kUdpPort = 20001;
constexpr int kMaxEvents = 256;
constexpr int kWaitMs = 500;
// How often free heap pages go back to the system.
constexpr uint32_t kHeapTrimPeriodMs = 60 * 1000;

int g_epollfd = -1;
int g_timerfd = -1;
char s_udpRecv_buf[16384];

int epoll_add_fd(int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLET;
    ev.data.fd = fd;
    return epoll_ctl(g_epollfd, EPOLL_CTL_ADD, fd, &ev) == 0 ? 0 : -1;
}

// A 10 ms periodic timer registered with epoll; -1 when any step fails.
int timer_create_10ms() {
    int fd = timerfd_create(CLOCK_MONOTONIC, 0);
    if (fd < 0) {
        LV_LOG_ERROR("timerfd_create failed: %s", strerror(errno));
        return -1;
    }
    itimerspec period{};
    period.it_value.tv_nsec = 10 * 1000 * 1000;
    period.it_interval.tv_nsec = 10 * 1000 * 1000;
    if (timerfd_settime(fd, 0, &period, nullptr) != 0) {
        LV_LOG_ERROR("timerfd_settime failed: %s", strerror(errno));
        close(fd);
        return -1;
    }
    if (epoll_add_fd(fd) != 0) {
        LV_LOG_ERROR("epoll_ctl failed for the timer: %s", strerror(errno));
        close(fd);
        return -1;
    }
    return fd;
}

// The frame is on the panel once its last area is flushed; the first one makes the service ready.
void flush_and_notify(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* color_p) {
    const bool last = lv_disp_flush_is_last(drv);
    fbdev_flush(drv, area, color_p);
    if (last) service_frame_shown();
}

// Parses one datagram's text and hands the message to the screen manager, which ignores a null root
// (not JSON). Nothing keeps pointers into the tree.
void handle_datagram(const char* text) {
    cJSON* root = cJSON_Parse(text);
    MainScreen_SetData(root);
    cJSON_Delete(root);
}

[[noreturn]] void my_app_main(int argc, char** argv) {
    LV_UNUSED(argc);
    LV_UNUSED(argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    MainScreen_Init();
    // Blocks of all sizes come and go with every message; the free pages left between live blocks go
    // back to the system now and then, so the resident set follows what the program holds and does not
    // creep up over months of messages.
    lv_timer_create([](lv_timer_t*) { malloc_trim(0); }, kHeapTrimPeriodMs, nullptr);

    sender_filter_init(getenv("STATUS_DISPLAY_BIND"), getenv("STATUS_DISPLAY_ALLOW"));
    lv_timer_create([](lv_timer_t*) { sender_filter_report(lv_tick_get()); }, 1000, nullptr);
    const int udp_fd = udp_get_fd(kUdpPort, sender_filter_bind_address());
    data_src_init(udp_fd);
    if (g_epollfd >= 0 && udp_fd >= 0) epoll_add_fd(udp_fd);

    // Without an epoll instance there is nothing to wait on: leave so a supervisor can restart us.
    if (g_epollfd < 0) exit(1);

    service_init();
    static epoll_event events[kMaxEvents];
    uint32_t timer_events = 0;
    for (;;) {
        const int n = epoll_wait(g_epollfd, events, kMaxEvents, kWaitMs);
        for (int i = 0; i < n; i++) {
            if (!(events[i].events & EPOLLIN)) continue;
            const int fd = events[i].data.fd;
            if (fd == g_timerfd) {
                uint64_t expiries = 0;
                if (read(fd, &expiries, sizeof expiries) < 0) {
                    // Nothing to do: the next expiry raises a new event.
                }
                // The graphics library runs on every second event: every 20 ms while the loop keeps up.
                // The watchdog is pinged from here, so a loop that stops turning stops the pings.
                if (timer_events++ % 2 == 0) {
                    lv_timer_handler();
                    service_loop_turned();
                }
            } else if (fd == udp_fd) {
                // Edge-triggered: take every datagram queued now, in arrival order.
                data_src_drain(s_udpRecv_buf, int(sizeof s_udpRecv_buf), handle_datagram);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    static lv_disp_draw_buf_t disp_buf;
    static lv_disp_drv_t disp_drv;

    // Decoded pictures come and go with the image cache as screens change. Blocks of 16 KiB and more
    // get mappings of their own, which go back to the system when freed, so the heap does not
    // fragment around them and the resident set stays flat over years of screen changes.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024);

    // No argument: mode 4; otherwise strtol, so an argument that is not a number gives mode 0.
    const long mode = argc < 2 ? 4 : strtol(argv[1], nullptr, 10);
    lv_init();

    g_epollfd = epoll_create(256);
    if (g_epollfd < 0) LV_LOG_ERROR("epoll_create failed: %s", strerror(errno));
    if (g_epollfd >= 0) g_timerfd = timer_create_10ms();

    fbdev_init();
    my_bmp_init();

    // Two full-screen drawing buffers for the life of the process.
    const int32_t w = _g_my_ui_w_max;
    const int32_t h = _g_my_ui_h_max;
    const size_t px = size_t(w) * size_t(h);
    auto* buf1 = static_cast<lv_color_t*>(malloc(px * sizeof(lv_color_t)));
    auto* buf2 = static_cast<lv_color_t*>(malloc(px * sizeof(lv_color_t)));
    if (buf1 == nullptr || buf2 == nullptr) {
        LV_LOG_ERROR("cannot allocate the drawing buffers (%dx%d)", int(w), int(h));
        return 1;
    }
    lv_disp_draw_buf_init(&disp_buf, buf1, buf2, uint32_t(px));

    lv_disp_drv_init(&disp_drv);
    disp_drv.draw_buf = &disp_buf;
    disp_drv.hor_res = lv_coord_t(w);
    disp_drv.ver_res = lv_coord_t(h);
    disp_drv.flush_cb = flush_and_notify;
    if (mode >= 0 && mode <= 3) {
        disp_drv.sw_rotate = 1;
        disp_drv.rotated = uint32_t(mode);
    } else if (mode == 4) {
        disp_drv.full_refresh = 1;
    } else {
        puts("error! none cmd! see README.md\r");
        exit(1);
    }
    lv_disp_drv_register(&disp_drv);

    my_app_main(argc, argv);
}
