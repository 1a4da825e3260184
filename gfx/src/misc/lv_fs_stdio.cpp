// The stdio driver: drive LV_FS_STDIO_LETTER maps to LV_FS_STDIO_PATH + the rest of the path.
#include "lv_fsdrv.h"

#include <stdio.h>
#include <sys/types.h>

namespace {

// Room for the prefix, the path and its terminator; longer paths are refused, never cut.
constexpr size_t kMaxPathLen = 256;

FILE* as_file(void* f) {
    return static_cast<FILE*>(f);
}

void* stdio_open(lv_fs_drv_t*, const char* path, lv_fs_mode_t mode) {
    const char* flags = nullptr;
    if (mode == LV_FS_MODE_WR)
        flags = "wb";
    else if (mode == LV_FS_MODE_RD)
        flags = "rb";
    else if (mode == (LV_FS_MODE_WR | LV_FS_MODE_RD))
        flags = "rb+";
    if (flags == nullptr) return nullptr;

    char buf[kMaxPathLen];
    int n = snprintf(buf, sizeof(buf), "%s%s", LV_FS_STDIO_PATH, path);
    if (n < 0 || (size_t)n >= sizeof(buf)) return nullptr;
    return fopen(buf, flags);
}

lv_fs_res_t stdio_close(lv_fs_drv_t*, void* f) {
    fclose(as_file(f));
    return LV_FS_RES_OK;
}

lv_fs_res_t stdio_read(lv_fs_drv_t*, void* f, void* buf, uint32_t btr, uint32_t* br) {
    *br = (uint32_t)fread(buf, 1, btr, as_file(f));
    return LV_FS_RES_OK;
}

lv_fs_res_t stdio_write(lv_fs_drv_t*, void* f, const void* buf, uint32_t btw, uint32_t* bw) {
    *bw = (uint32_t)fwrite(buf, 1, btw, as_file(f));
    return LV_FS_RES_OK;
}

lv_fs_res_t stdio_seek(lv_fs_drv_t*, void* f, uint32_t pos, lv_fs_whence_t whence) {
    // The whence values equal SEEK_SET/CUR/END. Errors are ignored, as callers expect.
    int w = whence == LV_FS_SEEK_CUR ? SEEK_CUR : whence == LV_FS_SEEK_END ? SEEK_END : SEEK_SET;
    fseeko(as_file(f), (off_t)pos, w);
    return LV_FS_RES_OK;
}

lv_fs_res_t stdio_tell(lv_fs_drv_t*, void* f, uint32_t* pos_p) {
    *pos_p = (uint32_t)ftello(as_file(f));
    return LV_FS_RES_OK;
}

} // namespace

void lv_fs_stdio_init(void) {
    static lv_fs_drv_t drv;
    lv_fs_drv_init(&drv);
    drv.letter = LV_FS_STDIO_LETTER;
    drv.cache_size = LV_FS_STDIO_CACHE_SIZE;
    drv.open_cb = stdio_open;
    drv.close_cb = stdio_close;
    drv.read_cb = stdio_read;
    drv.write_cb = stdio_write;
    drv.seek_cb = stdio_seek;
    drv.tell_cb = stdio_tell;
    lv_fs_drv_register(&drv);
}
