#include "host/picture_file.h"

#include <cstdint>
#include <cstdlib>

unsigned char* PremultipliedRgba(unsigned char* pixels, int width, int height, int components) {
    int64_t bytes = static_cast<int64_t>(width) * height * 4;
    // Buffers and uploads count bytes in 32 bits: a picture whose RGBA copy
    // would not fit is refused instead of wrapping to a short block.
    if (components < 1 || components > 4 || width <= 0 || height <= 0 || bytes > INT32_MAX) {
        std::free(pixels);
        return nullptr;
    }
    int64_t count = static_cast<int64_t>(width) * height;
    unsigned char* rgba = pixels;
    if (components != 4) {
        rgba = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(bytes)));
        if (!rgba) {
            std::free(pixels);
            return nullptr;
        }
    }
    unsigned char* out = rgba;
    for (int64_t i = 0; i < count; ++i, out += 4) {
        const unsigned char* in = pixels + i * components;
        switch (components) {
        case 1: out[0] = out[1] = out[2] = in[0]; out[3] = 255; break;
        case 2: out[0] = out[1] = out[2] = in[0]; out[3] = in[1]; break;
        case 3: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; out[3] = 255; break;
        default: break;  // in place: already R, G, B, A
        }
        int a = out[3];
        for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(out[c] * a / 255);
    }
    if (rgba != pixels) std::free(pixels);
    return rgba;
}
