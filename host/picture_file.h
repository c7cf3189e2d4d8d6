// Decoding a picture file to 8-bit pixels.
#pragma once

#include <cstdio>

// Decodes the open file from its current position, keeping the file's own
// number of components (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA), rows top
// to bottom. Returns a block the caller frees with std::free, or null for a
// file that is not a picture, is corrupt, or is larger than this program
// draws. A corrupt file never makes the decoder allocate much more than the
// picture it declares, nor more than twice the file for its compressed data.
unsigned char* DecodePictureFile(std::FILE* file, int* width, int* height, int* components);
