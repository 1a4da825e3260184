// Reads the page that a fake framebuffer file shows (tools/fakefb): the header's geometry, the pixels
// at the current offsets, in whichever depth the display driver wrote them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct FbPage {
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> px; // w x h pixels, 0xRRGGBB, row by row
};

// `file` is the whole shared-memory file (`size` bytes). False when it is not a fake framebuffer, when
// its depth cannot be shown, or when its resolution is unusable; `out` is then left as it was.
// Pixels beyond the end of the framebuffer memory read as black.
bool fb_page_read(const uint8_t* file, size_t size, FbPage* out);
