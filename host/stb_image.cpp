// The picture decoder's implementation, compiled once for the whole program.
#define STB_IMAGE_IMPLEMENTATION
// No picture of this program is larger than its atlases (4096 texels); a file
// that declares more than this is refused before its pixels are allocated.
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>
