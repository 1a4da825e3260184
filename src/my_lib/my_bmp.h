// BMP image decoder for the graphics library: uncompressed 8, 16, 24 and 32 bits per pixel.
#pragma once

void my_bmp_init(void);
