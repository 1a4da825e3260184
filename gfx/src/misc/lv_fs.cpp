// File system: drivers by drive letter and the file operations that dispatch to them.
#include "lv_assert.h"
#include "lv_fs.h"
#include "lv_log.h"
#include "lv_mem.h"

#include "misc/misc_internal.h"

#include <string.h>

namespace {

// Registered drivers, newest first: a later registration of a letter hides the earlier one.
struct DrvNode {
    lv_fs_drv_t* drv;
    DrvNode* next;
};

DrvNode* s_drivers = nullptr;

// "X:rest" or "Xrest" -> "rest".
const char* real_path(const char* path) {
    path++;
    if (*path == ':') path++;
    return path;
}

} // namespace

void _lv_fs_init(void) {
    gfx_fs_reset();
}

void gfx_fs_reset(void) {
    while (s_drivers != nullptr) {
        DrvNode* next = s_drivers->next;
        lv_mem_free(s_drivers);
        s_drivers = next;
    }
}

void lv_fs_drv_init(lv_fs_drv_t* drv) {
    memset(drv, 0, sizeof(*drv));
}

void lv_fs_drv_register(lv_fs_drv_t* drv) {
    auto* n = static_cast<DrvNode*>(lv_mem_alloc(sizeof(DrvNode)));
    LV_ASSERT_MALLOC(n);
    if (n == nullptr) return;
    n->drv = drv; // the caller keeps the driver alive
    n->next = s_drivers;
    s_drivers = n;
}

lv_fs_drv_t* lv_fs_get_drv(char letter) {
    for (DrvNode* n = s_drivers; n != nullptr; n = n->next) {
        if (n->drv->letter == letter) return n->drv;
    }
    return nullptr;
}

bool lv_fs_is_ready(char letter) {
    lv_fs_drv_t* drv = lv_fs_get_drv(letter);
    if (drv == nullptr) return false;
    return drv->ready_cb == nullptr || drv->ready_cb(drv);
}

lv_fs_res_t lv_fs_open(lv_fs_file_t* file_p, const char* path, lv_fs_mode_t mode) {
    file_p->file_d = nullptr;
    file_p->drv = nullptr;
    file_p->cache = nullptr;
    if (path == nullptr) {
        LV_LOG_WARN("Can't open file: path is NULL");
        return LV_FS_RES_INV_PARAM;
    }

    lv_fs_drv_t* drv = lv_fs_get_drv(path[0]);
    if (drv == nullptr) {
        LV_LOG_WARN("Can't open file (%s): unknown driver letter", path);
        return LV_FS_RES_NOT_EX;
    }
    if (drv->ready_cb != nullptr && !drv->ready_cb(drv)) {
        LV_LOG_WARN("Can't open file (%s): driver not ready", path);
        return LV_FS_RES_HW_ERR;
    }
    if (drv->open_cb == nullptr) {
        LV_LOG_WARN("Can't open file (%s): open function not exists", path);
        return LV_FS_RES_NOT_IMP;
    }

    // A failed open is not logged here: callers (image decoders) report it in their own words.
    void* fd = drv->open_cb(drv, real_path(path), mode);
    if (fd == nullptr || fd == (void*)-1) return LV_FS_RES_UNKNOWN;

    // Drivers' read caches (cache_size) are not implemented: every read goes to the driver.
    file_p->drv = drv;
    file_p->file_d = fd;
    return LV_FS_RES_OK;
}

lv_fs_res_t lv_fs_close(lv_fs_file_t* file_p) {
    if (file_p->drv == nullptr) return LV_FS_RES_INV_PARAM;
    if (file_p->drv->close_cb == nullptr) return LV_FS_RES_NOT_IMP;
    lv_fs_res_t res = file_p->drv->close_cb(file_p->drv, file_p->file_d);
    file_p->file_d = nullptr;
    file_p->drv = nullptr;
    file_p->cache = nullptr;
    return res;
}

lv_fs_res_t lv_fs_read(lv_fs_file_t* file_p, void* buf, uint32_t btr, uint32_t* br) {
    if (br != nullptr) *br = 0;
    if (file_p->drv == nullptr) return LV_FS_RES_INV_PARAM;
    if (file_p->drv->read_cb == nullptr) return LV_FS_RES_NOT_IMP;
    uint32_t n = 0;
    lv_fs_res_t res = file_p->drv->read_cb(file_p->drv, file_p->file_d, buf, btr, &n);
    if (br != nullptr) *br = n;
    return res;
}

lv_fs_res_t lv_fs_write(lv_fs_file_t* file_p, const void* buf, uint32_t btw, uint32_t* bw) {
    if (bw != nullptr) *bw = 0;
    if (file_p->drv == nullptr) return LV_FS_RES_INV_PARAM;
    if (file_p->drv->write_cb == nullptr) return LV_FS_RES_NOT_IMP;
    uint32_t n = 0;
    lv_fs_res_t res = file_p->drv->write_cb(file_p->drv, file_p->file_d, buf, btw, &n);
    if (bw != nullptr) *bw = n;
    return res;
}

lv_fs_res_t lv_fs_seek(lv_fs_file_t* file_p, uint32_t pos, lv_fs_whence_t whence) {
    if (file_p->drv == nullptr) return LV_FS_RES_INV_PARAM;
    if (file_p->drv->seek_cb == nullptr) return LV_FS_RES_NOT_IMP;
    return file_p->drv->seek_cb(file_p->drv, file_p->file_d, pos, whence);
}

lv_fs_res_t lv_fs_tell(lv_fs_file_t* file_p, uint32_t* pos) {
    *pos = 0;
    if (file_p->drv == nullptr) return LV_FS_RES_INV_PARAM;
    if (file_p->drv->tell_cb == nullptr) return LV_FS_RES_NOT_IMP;
    return file_p->drv->tell_cb(file_p->drv, file_p->file_d, pos);
}

const char* lv_fs_get_ext(const char* fn) {
    // Scans back from the end; a directory separator before any '.' means no extension.
    // The first character (the drive letter) is never looked at.
    for (size_t i = strlen(fn); i > 0; i--) {
        if (fn[i] == '.') return &fn[i + 1];
        if (fn[i] == '/' || fn[i] == '\\') return "";
    }
    return "";
}
