// The picture decoder, compiled once for the whole program, with every
// allocation it makes held to a budget set for the file at hand.
#include "host/picture_file.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The largest single block the decoder may ask for while decoding one file.
size_t decode_budget = SIZE_MAX;

void* BudgetMalloc(size_t bytes) { return bytes > decode_budget ? nullptr : std::malloc(bytes); }
void* BudgetRealloc(void* block, size_t bytes) { return bytes > decode_budget ? nullptr : std::realloc(block, bytes); }

}  // namespace

#define STBI_MALLOC(size) BudgetMalloc(size)
#define STBI_REALLOC(block, size) BudgetRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STBI_MAX_DIMENSIONS 16384
// PNG alone, the one format the program's pictures come in: the other decoders
// of the stb_image version built here read out of bounds on some corrupt
// files (a JPEG Huffman code beyond its table, for one).
#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

unsigned char* DecodePictureFile(std::FILE* file, int* width, int* height, int* components, int64_t maxPixels) {
    long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    long end = std::ftell(file);
    if (end < start || std::fseek(file, start, SEEK_SET) != 0) return nullptr;
    int w = 0, h = 0, c = 0;
    if (!stbi_info_from_file(file, &w, &h, &c)) return nullptr;
    int64_t pixels = int64_t(w) * h;
    if (w <= 0 || h <= 0 || pixels > maxPixels) return nullptr;
    // 16 bytes a pixel covers every intermediate the decoders make (16-bit and
    // floating-point conversions included); compressed data grows by doubling
    // up to what the file holds.
    int64_t for_pixels = pixels * 16;
    int64_t for_data = (int64_t(end) - start) * 2;
    decode_budget = static_cast<size_t>((for_pixels > for_data ? for_pixels : for_data) + 65536);
    // 0 keeps the file's own component count.
    unsigned char* result = stbi_load_from_file(file, &w, &h, &c, 0);
    decode_budget = SIZE_MAX;
    if (!result) return nullptr;
    *width = w;
    *height = h;
    *components = c;
    return result;
}
