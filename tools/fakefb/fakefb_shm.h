/*
 * The shared-memory file behind the fake /dev/fb0: one header page, then the framebuffer memory.
 * Written by the preload library when the program opens the device, read by fakefb-png and the tests.
 */
#ifndef FAKEFB_SHM_H
#define FAKEFB_SHM_H

#include <stdint.h>

#define FAKEFB_MAGIC 0x42464b46u /* "FKFB" in a little-endian file */
#define FAKEFB_VERSION 1u
#define FAKEFB_DEFAULT_SHM "/dev/shm/fakefb"

typedef struct fakefb_header {
    uint32_t magic;
    uint32_t version;
    uint32_t data_offset; /* file offset of the framebuffer memory; a multiple of the page size */
    uint32_t smem_len;    /* bytes of framebuffer memory after data_offset */
    uint32_t line_length; /* bytes from one line to the next */
    uint32_t xres;
    uint32_t yres;
    uint32_t xres_virtual;
    uint32_t yres_virtual;
    uint32_t xoffset; /* origin of the visible page; every successful pan moves it */
    uint32_t yoffset;
    uint32_t bits_per_pixel;
    uint32_t pan_count;   /* successful FBIOPAN_DISPLAY calls */
    uint32_t blank_count; /* FBIOBLANK calls that succeeded */
    int32_t blank;        /* argument of the last successful FBIOBLANK; -1 before the first */
} fakefb_header;

#endif
