// Memory: plain libc allocation behind LVGL's names (LV_MEM_CUSTOM).
#include "lv_log.h"
#include "lv_mem.h"

#include LV_MEM_CUSTOM_INCLUDE

namespace {
// Every zero-byte request gets this address: non-null, never handed to free().
uint32_t s_zero_alloc = 0xa1b2c3d4;
} // namespace

void* lv_mem_alloc(size_t size) {
    if (size == 0) return &s_zero_alloc;
    void* p = LV_MEM_CUSTOM_ALLOC(size);
    if (p == nullptr) LV_LOG_INFO("couldn't allocate memory (%zu bytes)", size);
    return p;
}

void lv_mem_free(void* data) {
    if (data == nullptr || data == &s_zero_alloc) return;
    LV_MEM_CUSTOM_FREE(data);
}

void* lv_mem_realloc(void* data_p, size_t new_size) {
    if (new_size == 0) {
        lv_mem_free(data_p);
        return &s_zero_alloc;
    }
    if (data_p == &s_zero_alloc) return lv_mem_alloc(new_size);
    void* p = LV_MEM_CUSTOM_REALLOC(data_p, new_size);
    if (p == nullptr) LV_LOG_ERROR("couldn't allocate memory");
    return p;
}
