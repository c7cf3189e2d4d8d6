// Decoding a picture file to 8-bit pixels.
#pragma once

#include <cstdint>
#include <cstdio>

// The most pixels (width x height) a picture may have when its caller sets no
// smaller limit: 8192 x 8192 (256 MiB once widened to RGBA), twice the side
// of the largest atlas texture drawn. Callers that know what they load pass
// their own, smaller limit.
constexpr int64_t kMaxPicturePixels = int64_t(8192) * 8192;

// Decodes the open file from its current position, keeping the file's own
// number of components (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA), rows top
// to bottom. Returns a block the caller frees with std::free, or null for a
// file that is not a picture, is corrupt, or is larger than the caller
// accepts: a picture of more than `maxPixels` pixels is refused before anything
// is allocated. A corrupt file never makes the decoder allocate much more than
// the picture it declares, nor more than twice the file for its compressed data.
unsigned char* DecodePictureFile(std::FILE* file, int* width, int* height, int* components,
                                 int64_t maxPixels = kMaxPicturePixels);

// Widens a decoded picture of 1 to 4 components (as DecodePictureFile gives
// it) to R, G, B, A with the colour premultiplied by alpha, and takes
// ownership of `pixels`: the result is a new block, or `pixels` itself for
// four components, to be freed with std::free. Null (and `pixels` freed)
// when the component count is outside 1..4 or the RGBA size does not fit a
// 32-bit byte count.
unsigned char* PremultipliedRgba(unsigned char* pixels, int width, int height, int components);
