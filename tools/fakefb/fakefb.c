/*
 * fakefb: a virtual /dev/fb0 for running the unmodified status display on a PC.
 *
 * Preloaded with LD_PRELOAD, it answers open("/dev/fb0"), the framebuffer ioctls the display driver
 * uses and mmap of that descriptor from a shared-memory file (layout in fakefb_shm.h). Geometry and
 * failures come from the environment; see README.md. Everything else goes to the next definition
 * (libc) unchanged.
 *
 * Built without _TIME_BITS=64/_FILE_OFFSET_BITS=64 so that on 32-bit ARM both the plain names and the
 * 64-bit ones (open64, mmap64, __ioctl_time64) can be defined here side by side.
 */
#undef _FORTIFY_SOURCE /* its inline open() would clash with the definitions below */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/fb.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include "fakefb_shm.h"

#define FAKEFB_DEVICE "/dev/fb0"
#define FAKEFB_MAX_FDS 8

typedef int (*open_fn)(const char*, int, ...);
typedef int (*open2_fn)(const char*, int);
typedef int (*ioctl_fn)(int, unsigned long, ...);
typedef int (*close_fn)(int);
typedef void* (*mmap_fn)(void*, size_t, int, int, int, off_t);
typedef void* (*mmap64_fn)(void*, size_t, int, int, int, off64_t);

/* Set-up steps that FAKEFB_FAIL can make fail, with the errno each failure reports. */
enum fakefb_step {
    STEP_OPEN,
    STEP_BLANK,
    STEP_FSCREENINFO,
    STEP_VSCREENINFO,
    STEP_MMAP,
    STEP_PAN,
    STEP_COUNT
};
static const char* const c_step_names[STEP_COUNT] = {"open",        "blank", "fscreeninfo",
                                                     "vscreeninfo", "mmap",  "pan"};
static const int c_step_errno[STEP_COUNT] = {ENOENT, EINVAL, EIO, EIO, ENOMEM, EINVAL};

/* Descriptors that stand for the device, stored as fd + 1 so that 0 marks a free slot. */
static int s_fds[FAKEFB_MAX_FDS];
static fakefb_header* s_hdr;
static size_t s_hdr_len;

static void* next_symbol(const char* name, const char* fallback) {
    void* p = dlsym(RTLD_NEXT, name);
    if (!p && fallback) p = dlsym(RTLD_NEXT, fallback);
    return p;
}

static int is_fake_fd(int fd) {
    if (fd < 0 || !s_hdr) return 0;
    for (int i = 0; i < FAKEFB_MAX_FDS; i++)
        if (s_fds[i] == fd + 1) return 1;
    return 0;
}

static void remember_fd(int fd) {
    for (int i = 0; i < FAKEFB_MAX_FDS; i++) {
        if (s_fds[i] == 0) {
            s_fds[i] = fd + 1;
            return;
        }
    }
    s_fds[0] = fd + 1; /* more opens than slots: the oldest is forgotten */
}

static void forget_fd(int fd) {
    for (int i = 0; i < FAKEFB_MAX_FDS; i++)
        if (s_fds[i] == fd + 1) s_fds[i] = 0;
}

/* Fails the step (setting errno) when FAKEFB_FAIL names it in its comma-separated list. */
static int step_fails(enum fakefb_step step) {
    const char* list = getenv("FAKEFB_FAIL");
    if (!list) return 0;
    const size_t n = strlen(c_step_names[step]);
    for (const char* p = list; *p;) {
        const char* end = strchr(p, ',');
        const size_t len = end ? (size_t)(end - p) : strlen(p);
        if (len == n && strncmp(p, c_step_names[step], n) == 0) {
            errno = c_step_errno[step];
            return 1;
        }
        if (!end) break;
        p = end + 1;
    }
    return 0;
}

static uint32_t env_u32(const char* name, uint32_t fallback) {
    const char* v = getenv(name);
    if (!v || !*v) return fallback;
    char* end = NULL;
    errno = 0;
    const unsigned long long x = strtoull(v, &end, 10);
    if (*end || errno || x > UINT32_MAX) return fallback;
    return (uint32_t)x;
}

static uint32_t page_size(void) {
    const long p = sysconf(_SC_PAGESIZE);
    return p > 4096 ? (uint32_t)p : 4096u;
}

/* The device's geometry from FAKEFB_* variables; 0 when it cannot be represented. */
static int geometry_from_env(fakefb_header* h) {
    memset(h, 0, sizeof *h);
    h->magic = FAKEFB_MAGIC;
    h->version = FAKEFB_VERSION;
    h->data_offset = page_size();
    h->xres = env_u32("FAKEFB_XRES", 320);
    h->yres = env_u32("FAKEFB_YRES", 240);
    h->bits_per_pixel = env_u32("FAKEFB_BPP", 32);
    h->xres_virtual = env_u32("FAKEFB_XRES_VIRTUAL", h->xres);
    h->yres_virtual = env_u32("FAKEFB_YRES_VIRTUAL", 2 * h->yres);
    h->xoffset = env_u32("FAKEFB_XOFFSET", 0);
    h->yoffset = env_u32("FAKEFB_YOFFSET", 0);
    const uint64_t line = ((uint64_t)h->xres_virtual * h->bits_per_pixel + 7) / 8;
    if (line > UINT32_MAX) return 0;
    h->line_length = env_u32("FAKEFB_LINE_LENGTH", (uint32_t)line);
    const uint64_t mem = (uint64_t)h->line_length * h->yres_virtual;
    if (mem > UINT32_MAX) return 0;
    h->smem_len = env_u32("FAKEFB_SMEM_LEN", (uint32_t)mem);
    h->blank = -1;
    /* The file is mapped through a 32-bit off_t here. */
    return (uint64_t)h->data_offset + h->smem_len <= INT32_MAX;
}

static int open_device(int flags) {
    static open_fn real_open;
    static close_fn real_close;
    static mmap_fn real_mmap;
    if (!real_open) real_open = (open_fn)next_symbol("open", NULL);
    if (!real_close) real_close = (close_fn)next_symbol("close", NULL);
    if (!real_mmap) real_mmap = (mmap_fn)next_symbol("mmap", NULL);
    if (!real_open || !real_close || !real_mmap) {
        errno = ENOSYS;
        return -1;
    }
    if (step_fails(STEP_OPEN)) return -1;

    fakefb_header h;
    if (!geometry_from_env(&h)) {
        errno = EINVAL;
        return -1;
    }
    const char* path = getenv("FAKEFB_SHM");
    if (!path || !*path) path = FAKEFB_DEFAULT_SHM;
    const int fd = real_open(path, O_RDWR | O_CREAT | O_TRUNC | (flags & O_CLOEXEC), 0644);
    if (fd < 0) return -1;
    void* hdr = MAP_FAILED;
    if (ftruncate(fd, (off_t)(h.data_offset + h.smem_len)) == 0)
        hdr = real_mmap(NULL, h.data_offset, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (hdr == MAP_FAILED) {
        const int err = errno;
        real_close(fd);
        errno = err;
        return -1;
    }
    if (s_hdr) munmap(s_hdr, s_hdr_len);
    memcpy(hdr, &h, sizeof h);
    s_hdr = (fakefb_header*)hdr;
    s_hdr_len = h.data_offset;
    remember_fd(fd);
    return fd;
}

static int is_device(const char* path) {
    return path && strcmp(path, FAKEFB_DEVICE) == 0;
}

static void set_field(struct fb_bitfield* f, uint32_t offset, uint32_t length) {
    f->offset = offset;
    f->length = length;
    f->msb_right = 0;
}

static void fill_var(struct fb_var_screeninfo* v) {
    memset(v, 0, sizeof *v);
    v->xres = s_hdr->xres;
    v->yres = s_hdr->yres;
    v->xres_virtual = s_hdr->xres_virtual;
    v->yres_virtual = s_hdr->yres_virtual;
    v->xoffset = s_hdr->xoffset;
    v->yoffset = s_hdr->yoffset;
    v->bits_per_pixel = s_hdr->bits_per_pixel;
    v->height = UINT32_MAX; /* physical size unknown */
    v->width = UINT32_MAX;
    switch (s_hdr->bits_per_pixel) {
    case 32:
        set_field(&v->transp, 24, 8);
        /* fall through */
    case 24:
        set_field(&v->red, 16, 8);
        set_field(&v->green, 8, 8);
        set_field(&v->blue, 0, 8);
        break;
    case 16:
        set_field(&v->red, 11, 5);
        set_field(&v->green, 5, 6);
        set_field(&v->blue, 0, 5);
        break;
    case 8:
        set_field(&v->red, 5, 3);
        set_field(&v->green, 2, 3);
        set_field(&v->blue, 0, 2);
        break;
    default:
        set_field(&v->red, 0, 1);
        set_field(&v->green, 0, 1);
        set_field(&v->blue, 0, 1);
        break;
    }
}

static void fill_fix(struct fb_fix_screeninfo* f) {
    memset(f, 0, sizeof *f);
    memcpy(f->id, "fakefb", 7);
    f->smem_len = s_hdr->smem_len;
    f->type = FB_TYPE_PACKED_PIXELS;
    f->visual = s_hdr->bits_per_pixel == 1 ? FB_VISUAL_MONO10 : FB_VISUAL_TRUECOLOR;
    f->ypanstep = 1;
    f->line_length = s_hdr->line_length;
}

static int device_ioctl(unsigned long request, void* arg) {
    switch (request) {
    case FBIOBLANK:
        if (step_fails(STEP_BLANK)) return -1;
        s_hdr->blank = (int32_t)(intptr_t)arg;
        s_hdr->blank_count++;
        return 0;
    case FBIOGET_FSCREENINFO:
        if (step_fails(STEP_FSCREENINFO)) return -1;
        if (!arg) break;
        fill_fix((struct fb_fix_screeninfo*)arg);
        return 0;
    case FBIOGET_VSCREENINFO:
        if (step_fails(STEP_VSCREENINFO)) return -1;
        if (!arg) break;
        fill_var((struct fb_var_screeninfo*)arg);
        return 0;
    case FBIOPAN_DISPLAY: {
        if (step_fails(STEP_PAN)) return -1;
        if (!arg) break;
        const struct fb_var_screeninfo* v = (const struct fb_var_screeninfo*)arg;
        /* Same bounds as the kernel: the page must lie inside the virtual resolution. */
        if ((uint64_t)v->xoffset + s_hdr->xres > s_hdr->xres_virtual ||
            (uint64_t)v->yoffset + s_hdr->yres > s_hdr->yres_virtual) {
            errno = EINVAL;
            return -1;
        }
        s_hdr->xoffset = v->xoffset;
        s_hdr->yoffset = v->yoffset;
        s_hdr->pan_count++;
        return 0;
    }
    default:
        errno = ENOTTY;
        return -1;
    }
    errno = EFAULT;
    return -1;
}

/* Maps framebuffer memory; offsets are relative to the memory, which starts after the header page. */
static void* device_mmap(void* addr, size_t len, int prot, int flags, int fd, uint64_t off) {
    static mmap_fn real_mmap;
    if (!real_mmap) real_mmap = (mmap_fn)next_symbol("mmap", NULL);
    if (step_fails(STEP_MMAP)) return MAP_FAILED;
    const uint64_t page = page_size();
    const uint64_t limit = ((uint64_t)s_hdr->smem_len + page - 1) / page * page;
    if (!real_mmap || len == 0 || off % page != 0 || off + len > limit) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    return real_mmap(addr, len, prot, flags, fd, (off_t)(s_hdr->data_offset + off));
}

static int mode_arg(int flags, va_list ap) {
    return __OPEN_NEEDS_MODE(flags) ? va_arg(ap, int) : 0;
}

int open(const char* path, int flags, ...) {
    static open_fn real;
    va_list ap;
    va_start(ap, flags);
    const int mode = mode_arg(flags, ap);
    va_end(ap);
    if (is_device(path)) return open_device(flags);
    if (!real) real = (open_fn)next_symbol("open", NULL);
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    static open_fn real;
    va_list ap;
    va_start(ap, flags);
    const int mode = mode_arg(flags, ap);
    va_end(ap);
    if (is_device(path)) return open_device(flags);
    if (!real) real = (open_fn)next_symbol("open64", "open");
    return real(path, flags, mode);
}

/* The names that _FORTIFY_SOURCE routes open() through. */
int __open_2(const char* path, int flags) {
    static open2_fn real;
    if (is_device(path)) return open_device(flags);
    if (!real) real = (open2_fn)next_symbol("__open_2", NULL);
    return real(path, flags);
}

int __open64_2(const char* path, int flags) {
    static open2_fn real;
    if (is_device(path)) return open_device(flags);
    if (!real) real = (open2_fn)next_symbol("__open64_2", "__open_2");
    return real(path, flags);
}

int close(int fd) {
    static close_fn real;
    if (is_fake_fd(fd)) forget_fd(fd);
    if (!real) real = (close_fn)next_symbol("close", NULL);
    return real(fd);
}

int ioctl(int fd, unsigned long request, ...) {
    static ioctl_fn real;
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (is_fake_fd(fd)) return device_ioctl(request, arg);
    if (!real) real = (ioctl_fn)next_symbol("ioctl", NULL);
    return real(fd, request, arg);
}

#if __SIZEOF_POINTER__ == 4
/* 32-bit programs built with 64-bit time call this name instead of ioctl. */
int __ioctl_time64(int fd, unsigned long request, ...) {
    static ioctl_fn real;
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (is_fake_fd(fd)) return device_ioctl(request, arg);
    if (!real) real = (ioctl_fn)next_symbol("__ioctl_time64", "ioctl");
    return real(fd, request, arg);
}
#endif

void* mmap(void* addr, size_t len, int prot, int flags, int fd, off_t off) {
    static mmap_fn real;
    if (is_fake_fd(fd))
        return off < 0 ? (errno = EINVAL, MAP_FAILED)
                       : device_mmap(addr, len, prot, flags, fd, (uint64_t)off);
    if (!real) real = (mmap_fn)next_symbol("mmap", NULL);
    return real(addr, len, prot, flags, fd, off);
}

void* mmap64(void* addr, size_t len, int prot, int flags, int fd, off64_t off) {
    static mmap64_fn real;
    if (is_fake_fd(fd))
        return off < 0 ? (errno = EINVAL, MAP_FAILED)
                       : device_mmap(addr, len, prot, flags, fd, (uint64_t)off);
    if (!real) real = (mmap64_fn)next_symbol("mmap64", NULL);
    return real(addr, len, prot, flags, fd, off);
}
