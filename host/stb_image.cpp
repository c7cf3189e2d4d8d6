// The picture decoder's implementation, compiled once for the whole program.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
